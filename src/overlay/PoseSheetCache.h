#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"

#include <QImage>
#include <QSizeF>

class QPainter;
class QRectF;

namespace lumatide {

// The float offset moved to the nearest whole device pixel: the sheet then only ever moves by
// whole pixels, so a drawing made once can be copied instead of drawn again.
double snappedFloatOffset(double offset, double devicePixelRatio);

// Keeps the pose sheet drawn into an image at the target's device pixel ratio and copies it,
// moved up by the float, on each frame. The sheet looks the same for the whole of a step, so it
// is drawn again only when the step, size, kind, language or pixel ratio changes.
class PoseSheetCache final {
public:
    // Paints what paintPoseSheet paints after translating the painter up by the snapped float
    // offset (points, upward).
    void paint(QPainter& painter, const QRectF& bounds, ActionKind kind, AppLanguage language,
               double elapsedSeconds, double floatOffset);

    // How often the sheet was drawn from scratch.
    int renderCount() const { return renders_; }

private:
    QImage image_;
    QSizeF size_;
    double ratio_ = 0.0;
    ActionKind kind_ = ActionKind::drink;
    AppLanguage language_ = AppLanguage::english;
    int step_ = -1;
    int renders_ = 0;
};

} // namespace lumatide
