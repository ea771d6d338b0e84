#pragma once

#include <QRect>
#include <QRectF>

class QImage;

namespace lumatide {

// Paints the gradient and the two glows of the background (everything but the wave line) into
// an opaque 32-bit image, for the device pixels of `area`. The picture is that of
// paintBackground, built the cheap way: along a row the gradient has one colour and each glow
// is a set of nested flat bands, so a row is a few runs of one colour each, and every run is
// one fill. A full screen costs about what clearing it would.
//
// `area` is in device pixels of `bounds` at `ratio` (its top left corner is pixel 0, 0); the
// image holds device rows from `firstRow` on, as many as it has, and is as wide as the area's
// right edge at least: a band of rows is enough, the screen need not be held twice.
void rasterizeBackground(QImage& image, int firstRow, const QRectF& bounds, double ratio,
                         double elapsedSeconds, const QRect& area);

} // namespace lumatide
