// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/LayerPanel.h"

#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <cmath>
#include <numeric>

namespace lumatide {

LayerPanel::LayerPanel(int index, PanelLayers& layers, OverlayPanel& panel)
    : index_(index), layers_(layers), panel_(panel) {
    // Qt paints the changed widgets of a window in one go when it syncs the window; drawing
    // the picture right after that covers them all.
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &LayerPanel::flush);
    watch(panel_.window());
    for (QWidget* child : panel_.window()->findChildren<QWidget*>()) {
        watch(child);
    }
}

LayerPanel::~LayerPanel() = default;

void LayerPanel::watch(QWidget* widget) {
    widget->installEventFilter(this);
}

void LayerPanel::configure(QSize logicalSize, qreal scale) {
    scale_ = scale > 0 ? scale : 1;
    panel_.window()->resize(logicalSize);
    dirty_ = QRegion(QRect(QPoint(0, 0), logicalSize));
    flush();
}

bool LayerPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !drawing_) {
        // The window is never on screen: what Qt would paint there is drawn into the picture
        // instead, once, by flush().
        auto* widget = static_cast<QWidget*>(watched);
        dirty_ += static_cast<QPaintEvent*>(event)->region().translated(
            widget->mapTo(panel_.window(), QPoint(0, 0)));
        flushTimer_.start();
        return true;
    }
    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            watch(child);
        }
    }
    return QObject::eventFilter(watched, event);
}

void LayerPanel::retire() {
    index_ = -1;
    flushTimer_.stop();
}

void LayerPanel::flush() {
    flushTimer_.stop();
    OverlayWindow* window = panel_.window();
    if (index_ < 0 || scale_ <= 0 || dirty_.isEmpty()) {
        return;
    }
    const qreal scale = scale_;
    // Logical rectangles on a grid whose corners fall on whole pixels at this scale (every
    // pixel at 1 or 2; every other one at 1.5), so that what is drawn is exactly the pixels the
    // layer is told of, no partly covered pixel left between two frames.
    const auto twelfths = static_cast<int>(std::lround(scale * 120));
    const int grid = 120 / std::gcd(std::max(twelfths, 1), 120);
    const auto snap = [grid](int value, bool up) {
        return (up ? (value + grid - 1) / grid : value / grid) * grid;
    };
    QRegion region;
    for (const QRect& rect : dirty_.intersected(QRect(QPoint(0, 0), window->size()))) {
        region += QRect(QPoint(snap(rect.x(), false), snap(rect.y(), false)),
                        QPoint(snap(rect.x() + rect.width(), true) - 1,
                               snap(rect.y() + rect.height(), true) - 1));
    }
    std::vector<QRect> changed;
    for (const QRect& rect : region) {
        changed.emplace_back(QPoint(static_cast<int>(std::lround(rect.x() * scale)),
                                    static_cast<int>(std::lround(rect.y() * scale))),
                             QSize(static_cast<int>(std::lround(rect.width() * scale)),
                                   static_cast<int>(std::lround(rect.height() * scale))));
    }
    const bool drawn = layers_.drawFrame(
        index_, std::move(changed),
        [this, window, scale](const LayerCanvas& canvas, const std::vector<QRect>& rects) {
            QImage image(canvas.pixels, canvas.size.width(), canvas.size.height(),
                         canvas.bytesPerLine, QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
            // Back in logical pixels: exact for the rectangles asked for; what the layer adds
            // (all it could not keep of its frame before) is the rest of the canvas.
            QRegion source;
            for (const QRect& rect : rects) {
                source += QRectF(QPointF(rect.topLeft()) / scale, QSizeF(rect.size()) / scale)
                              .toAlignedRect();
            }
            drawing_ = true;
            window->render(&image, source.boundingRect().topLeft(), source,
                           QWidget::DrawWindowBackground | QWidget::DrawChildren);
            drawing_ = false;
        });
    if (drawn) {
        dirty_ = QRegion();
    }
}

void LayerPanel::key(const LayerKey& key) {
    QKeyEvent event(key.pressed ? QEvent::KeyPress : QEvent::KeyRelease, key.key, key.modifiers,
                    key.text, key.autoRepeat);
    QCoreApplication::sendEvent(panel_.field(), &event);
}

void LayerPanel::pointer(const LayerPointer& pointer) {
    OverlayWindow* window = panel_.window();
    if (pointer.kind == LayerPointer::Kind::leave) {
        buttons_ = Qt::NoButton;
        pressed_ = nullptr;
        return;
    }
    QEvent::Type type = QEvent::MouseMove;
    if (pointer.kind == LayerPointer::Kind::move) {
        pointerPosition_ = pointer.position;
    } else if (pointer.kind == LayerPointer::Kind::press) {
        type = QEvent::MouseButtonPress;
        buttons_ |= pointer.button;
        if (pressed_ == nullptr) {
            QWidget* under = window->childAt(pointerPosition_.toPoint());
            pressed_ = under != nullptr ? under : window;
        }
    } else {
        type = QEvent::MouseButtonRelease;
        buttons_ &= ~pointer.button;
    }
    QWidget* target = pressed_;
    if (target == nullptr) {
        return; // moves without a button pressed: nothing on the panel follows the pointer
    }
    const QPointF local = target->mapFrom(window, pointerPosition_);
    QMouseEvent event(type, local, pointerPosition_, pointerPosition_, pointer.button, buttons_,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    if (type == QEvent::MouseButtonRelease && buttons_ == Qt::NoButton) {
        pressed_ = nullptr;
    }
}

} // namespace lumatide
