// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

class QBrush;
class QImage;
class QPainter;

namespace lumatide {

// Large fills and copies in bands of a few rows. Qt's raster engine hands an operation of many
// rows to its worker threads and waits for them; on a small machine the hand-over costs more
// than the work (it took a third of the program's time during a rest), so each band stays
// below the size at which that happens. The pixels are the same as in one operation.

// Fills a rectangle with a brush, without antialiasing, so that neighbouring bands meet without
// a seam at any device pixel ratio.
void fillInBands(QPainter& painter, const QRectF& area, const QBrush& brush);

// Copies an image with its top left corner at a point, as QPainter::drawImage would.
void drawImageInBands(QPainter& painter, QPointF topLeft, const QImage& image);
// Copies the part `source` (in the image's pixels) so that its top left corner lands on a point.
void drawImageInBands(QPainter& painter, QPointF topLeft, const QImage& image, const QRect& source);

} // namespace lumatide
