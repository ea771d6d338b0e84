// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DemoBackdropWindow.h"

#include "common/Colors.h"
#include "system/WindowSystem.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWindow>

namespace lumatide {

QColor DemoBackdropWindow::backdropColor() {
    return rgba(0.027, 0.071, 0.075);
}

DemoBackdropWindow::DemoBackdropWindow(QScreen& screen, WindowSystem* windowSystem)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus),
      windowSystem_(windowSystem) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, backdropColor());
    setPalette(colours);
    setAutoFillBackground(true);
    setScreen(&screen);
    setGeometry(screen.availableGeometry());
    qApp->installEventFilter(this);
}

DemoBackdropWindow::~DemoBackdropWindow() {
    qApp->removeEventFilter(this);
}

void DemoBackdropWindow::present() {
    show();
    raise();
}

bool DemoBackdropWindow::eventFilter(QObject* watched, QEvent* event) {
    // Lifted into the backdrop's layer before it is mapped, a window comes up as the newest
    // of that layer, above the backdrop. Menus and tooltips are above every layer already.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && widget != nullptr && widget != this &&
        widget->isWindow() && widget->windowType() != Qt::Popup &&
        widget->windowType() != Qt::ToolTip && widget->windowHandle() != nullptr) {
        QWindow* window = widget->windowHandle();
        window->setFlags(window->flags() | Qt::WindowStaysOnTopHint);
    }
    return QWidget::eventFilter(watched, event);
}

void DemoBackdropWindow::paintEvent(QPaintEvent* event) {
    // Exposed, the window is mapped and the window manager has taken it on: only now does it
    // act on requests about it.
    if (!placed_ && windowSystem_ != nullptr) {
        placed_ = true;
        windowSystem_->placeBackdrop(winId());
    }
    QPainter painter(this);
    painter.fillRect(event->rect(), backdropColor());
}

} // namespace lumatide
