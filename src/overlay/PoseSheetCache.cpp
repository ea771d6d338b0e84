#include "overlay/PoseSheetCache.h"

#include "overlay/PoseSheetPainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <cmath>

namespace lumatide {

double snappedFloatOffset(double offset, double devicePixelRatio) {
    const double ratio = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    return std::round(offset * ratio) / ratio;
}

void PoseSheetCache::paint(QPainter& painter, const QRectF& bounds, ActionKind kind,
                           AppLanguage language, double elapsedSeconds, double floatOffset) {
    const QPaintDevice* device = painter.device();
    const double ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    const int step = poseStepIndex(elapsedSeconds);
    if (image_.isNull() || size_ != bounds.size() || ratio_ != ratio || kind_ != kind ||
        language_ != language || step_ != step) {
        const int width = static_cast<int>(std::ceil(bounds.width() * ratio));
        const int height = static_cast<int>(std::ceil(bounds.height() * ratio));
        if (width <= 0 || height <= 0) {
            return;
        }
        // Reuse the buffer while the size stays: a new step needs no new allocation.
        if (image_.width() != width || image_.height() != height) {
            image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        }
        image_.setDevicePixelRatio(ratio);
        image_.fill(Qt::transparent);
        QPainter sheet(&image_);
        sheet.translate(-bounds.topLeft());
        paintPoseSheet(sheet, bounds, kind, language, elapsedSeconds);
        sheet.end();
        size_ = bounds.size();
        ratio_ = ratio;
        kind_ = kind;
        language_ = language;
        step_ = step;
        ++renders_;
    }
    // Up on the screen is towards smaller y.
    painter.drawImage(QPointF(bounds.left(), bounds.top() - snappedFloatOffset(floatOffset, ratio)),
                      image_);
}

} // namespace lumatide
