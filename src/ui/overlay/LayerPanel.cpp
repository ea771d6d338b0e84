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

void LayerPanel::configure(QSize logicalSize, int scale) {
    scale = std::max(scale, 1);
    OverlayWindow* window = panel_.window();
    window->resize(logicalSize);
    picture_ = QImage(logicalSize * scale, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(scale);
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
    if (index_ < 0 || picture_.isNull() || dirty_.isEmpty()) {
        return;
    }
    const QRegion region = dirty_.intersected(QRect(QPoint(0, 0), panel_.window()->size()));
    dirty_ = QRegion();
    drawing_ = true;
    panel_.window()->render(&picture_, region.boundingRect().topLeft(), region,
                            QWidget::DrawWindowBackground | QWidget::DrawChildren);
    drawing_ = false;
    const auto scale = static_cast<int>(std::lround(picture_.devicePixelRatio()));
    std::vector<QRect> damage;
    for (const QRect& rect : region) {
        damage.emplace_back(rect.topLeft() * scale, rect.size() * scale);
    }
    LayerPicture picture{picture_.constBits(), picture_.size(), picture_.bytesPerLine(), scale};
    layers_.present(index_, picture, damage);
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
