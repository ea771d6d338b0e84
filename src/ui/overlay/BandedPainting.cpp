// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BandedPainting.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

// Rows per band: below the 96 spans at which the raster engine starts to use threads, also for
// fills given in logical rows at a device pixel ratio of 2 (64 device rows).
constexpr int bandRows = 32;

} // namespace

void fillInBands(QPainter& painter, const QRectF& area, const QBrush& brush) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int band = 0; area.top() + band * bandRows < area.bottom(); ++band) {
        const double top = area.top() + band * bandRows;
        painter.fillRect(
            QRectF(area.left(), top, area.width(), std::min<double>(bandRows, area.bottom() - top)),
            brush);
    }
    painter.restore();
}

void drawImageInBands(QPainter& painter, QPointF topLeft, const QImage& image) {
    drawImageInBands(painter, topLeft, image, image.rect());
}

void drawImageInBands(QPainter& painter, QPointF topLeft, const QImage& image,
                      const QRect& source) {
    const double ratio = image.devicePixelRatio() > 0.0 ? image.devicePixelRatio() : 1.0;
    const QRect part = source.intersected(image.rect());
    const auto copy = [&](int row, int rows) {
        const QRectF from(part.left(), row, part.width(), rows);
        const QRectF to(topLeft.x(), topLeft.y() + (row - part.top()) / ratio, part.width() / ratio,
                        rows / ratio);
        painter.drawImage(to, image, from);
    };
    // Qt places a part of an image on whole device pixels the way it places the whole image
    // only when the image lands on whole device pixels at a whole-number density; otherwise
    // the bands could come out shifted against each other, so the copy is made in one piece.
    const QPointF device = painter.deviceTransform().map(topLeft);
    if (ratio != std::floor(ratio) || !painter.deviceTransform().isAffine() ||
        painter.deviceTransform().isRotating() || device.x() != std::floor(device.x()) ||
        device.y() != std::floor(device.y())) {
        copy(part.top(), part.height());
        return;
    }
    for (int row = part.top(); row <= part.bottom(); row += bandRows) {
        copy(row, std::min(bandRows, part.bottom() + 1 - row));
    }
}

} // namespace lumatide
