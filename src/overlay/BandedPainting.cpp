#include "overlay/BandedPainting.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

// Device rows per band: below the 96 spans at which the raster engine starts to use threads,
// also at a device pixel ratio of 2 or 3 for the fills given in logical rows.
constexpr int bandRows = 32;

} // namespace

void fillInBands(QPainter& painter, const QRectF& area, const QBrush& brush) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (double top = area.top(); top < area.bottom(); top += bandRows) {
        painter.fillRect(
            QRectF(area.left(), top, area.width(), std::min<double>(bandRows, area.bottom() - top)),
            brush);
    }
    painter.restore();
}

void drawImageInBands(QPainter& painter, QPointF topLeft, const QImage& image) {
    const double ratio = image.devicePixelRatio() > 0.0 ? image.devicePixelRatio() : 1.0;
    // Qt places a part of an image on whole device pixels the way it places the whole image
    // only when the image lands on whole device pixels at a whole-number density; otherwise
    // the bands could come out shifted against each other, so the copy is made in one piece.
    const QPointF device = painter.deviceTransform().map(topLeft);
    if (ratio != std::floor(ratio) || !painter.deviceTransform().isAffine() ||
        painter.deviceTransform().isRotating() || device.x() != std::floor(device.x()) ||
        device.y() != std::floor(device.y())) {
        painter.drawImage(topLeft, image);
        return;
    }
    for (int row = 0; row < image.height(); row += bandRows) {
        const int rows = std::min(bandRows, image.height() - row);
        const QRectF source(0.0, row, image.width(), rows);
        const QRectF target(topLeft.x(), topLeft.y() + row / ratio, image.width() / ratio,
                            rows / ratio);
        painter.drawImage(target, image, source);
    }
}

} // namespace lumatide
