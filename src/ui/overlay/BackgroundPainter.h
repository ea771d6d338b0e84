// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <array>

class QPainter;

namespace lumatide {

// One soft glow of the background: an ellipse 0.62 times as high as wide that is brightest in
// the middle and fades to nothing at its rim.
struct BackgroundGlow {
    QPointF center; // Qt coordinates
    double radius = 0.0;
    QColor color;
};

// Everything that moves in the background at one instant, in Qt coordinates.
struct BackgroundScene {
    double breath = 0.5; // 0 .. 1 over the 36-second breathing cycle
    double drift = 0.0;  // -1 .. 1 over the 54-second drift
    QColor bottomColor;
    QColor topColor;
    BackgroundGlow upperGlow;
    BackgroundGlow lowerGlow;
};

BackgroundScene backgroundSceneAt(const QRectF& bounds, double elapsedSeconds);

// How a glow is filled. Both give the same picture: the stacked version fills the 36 nested
// translucent ellipses one by one; the gradient version paints their composite, a stepped radial
// profile, with one gradient fill and is far cheaper on a full screen.
enum class GlowRendering { radialGradient, stackedEllipses };

// A glow is 36 nested flat bands: band k holds the points at normalised elliptic distance
// ((k - 1) / 36, k / 36] from its centre, and shows the glow's colour with the combined opacity
// of the passes that cover it. Index 0 is unused; band 36, the rim, is fully transparent.
inline constexpr int glowBands = 36;
inline constexpr double glowFlattening = 0.62; // height of a glow relative to its width
std::array<double, glowBands + 1> glowBandOpacities(double alpha);

// The whole pixels a glow can touch, with a pixel to spare on each side.
QRectF glowBoundingRect(const BackgroundGlow& glow);

void paintSoftGlow(QPainter& painter, const BackgroundGlow& glow,
                   GlowRendering rendering = GlowRendering::radialGradient);

// The still wave line drawn once into a transparent image, to be copied on every frame instead
// of stroked: a long antialiased curve is one of the dearest things on the panel to draw.
struct WaveLineImage {
    QImage image;    // at the device pixel ratio it was drawn for
    QPointF topLeft; // where the image goes, in the coordinates of the bounds
    QRectF bounds;   // the background it belongs to
};

WaveLineImage renderWaveLine(const QRectF& bounds, double devicePixelRatio);

// The eye-care background: breathing gradient, two drifting glows and the still wave line.
// With a dirty rectangle, layers that lie wholly outside it are left out (the painter's clip
// is expected to keep the rest inside it). A wave image drawn for these bounds and the
// painter's pixel density is copied in place of the stroke.
void paintBackground(QPainter& painter, const QRectF& bounds, double elapsedSeconds,
                     GlowRendering rendering = GlowRendering::radialGradient,
                     const QRectF& dirty = QRectF(), const WaveLineImage* wave = nullptr);

// The wave line alone, as paintBackground draws it last.
void paintWaveLine(QPainter& painter, const QRectF& bounds, const QRectF& dirty = QRectF(),
                   const WaveLineImage* wave = nullptr);

} // namespace lumatide
