// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>

namespace lumatide {

// Drawing geometry is written with the origin at the bottom left and y growing upwards; Qt's
// goes down from the top left. This is the one place that converts: a frame in Qt coordinates
// that answers points and rectangles given bottom-up, either in units of the frame (0..1) or
// in pixels from its bottom-left corner.
class BottomUpFrame final {
public:
    explicit BottomUpFrame(const QRectF& qtRect) : rect_(qtRect) {}

    const QRectF& qtRect() const { return rect_; }
    double width() const { return rect_.width(); }
    double height() const { return rect_.height(); }

    // (u, v) in units of the frame: (0, 0) is the bottom-left corner, (1, 1) the top right.
    QPointF unit(double u, double v) const {
        return {rect_.left() + u * rect_.width(), rect_.top() + (1.0 - v) * rect_.height()};
    }
    // (x, y) in pixels from the bottom-left corner.
    QPointF point(double x, double y) const {
        return {rect_.left() + x, rect_.top() + rect_.height() - y};
    }
    // A rectangle whose bottom-left corner is (x, y) in pixels from the bottom-left corner.
    QRectF rect(double x, double y, double w, double h) const {
        return {rect_.left() + x, rect_.top() + rect_.height() - y - h, w, h};
    }

private:
    QRectF rect_;
};

} // namespace lumatide
