// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "overlay/BackgroundPainter.h"

#include <QRegion>
#include <initializer_list>

namespace lumatide {

// Which part of the background a frame must repaint. The gradient moves by a fiftieth of a
// colour level per frame at most and is left to the view's whole repaints; between those, only
// the glows move, and of a glow only the part that shows.

// Height of the strips of rows the glow regions are made of, in logical pixels: narrow enough
// to follow the ellipse, wide enough to keep the region, and each flush to the X server, to a
// few dozen rectangles.
inline constexpr int glowStripHeight = 16;

// The fraction of its radius within which a glow changes a pixel by half a colour level or more,
// laid over any mix of the given colours. Its outer bands are so faint that beyond this they
// move no pixel by more than one level, and most by none.
double visibleGlowExtent(const BackgroundGlow& glow, std::initializer_list<QColor> beneath);

// The logical pixels each glow of the scene shows on, in strips of glowStripHeight rows aligned
// to the view's top, with a pixel to spare around each strip. Regions of two frames united
// stay one rectangle or two per strip.
QRegion glowRegion(const BackgroundScene& scene, const QRectF& bounds);

// Where the glows show now and where they showed before, in one region.
QRegion glowRegion(const BackgroundScene& scene, const BackgroundScene& before,
                   const QRectF& bounds);

} // namespace lumatide
