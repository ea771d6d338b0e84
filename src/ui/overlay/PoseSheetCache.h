// SPDX-License-Identifier: GPL-3.0-or-later
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
// moved up by the float, on each frame. The sheet looks the same for the whole of a step: a new
// step redraws only the cells whose emphasis changed, and the whole sheet is drawn again only
// when its size, kind, language or pixel ratio changes.
class PoseSheetCache final {
public:
    // Paints what paintPoseSheet paints after translating the painter up by the snapped float
    // offset (points, upward).
    void paint(QPainter& painter, const QRectF& bounds, ActionKind kind, AppLanguage language,
               double elapsedSeconds, double floatOffset);

    // How often the sheet was drawn from scratch, and how often only its changed cells were.
    int renderCount() const { return renders_; }
    int cellRedrawCount() const { return cellRedraws_; }

private:
    void redrawCells(const QRectF& bounds, int step);

    QImage image_;
    QSizeF size_;
    double ratio_ = 0.0;
    ActionKind kind_ = ActionKind::drink;
    AppLanguage language_ = AppLanguage::english;
    int step_ = -1;
    int renders_ = 0;
    int cellRedraws_ = 0;
};

} // namespace lumatide
