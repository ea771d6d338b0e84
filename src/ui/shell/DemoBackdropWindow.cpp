// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DemoBackdropWindow.h"

#include "common/Colors.h"
#include "system/WindowSystem.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

namespace lumatide {

QColor DemoBackdropWindow::backdropColor() {
    return rgba(0.027, 0.071, 0.075);
}

DemoBackdropWindow::DemoBackdropWindow(QScreen& screen, WindowSystem* windowSystem)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus),
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
}

void DemoBackdropWindow::present() {
    show();
    raise();
}

void DemoBackdropWindow::paintEvent(QPaintEvent* event) {
    // Exposed, the window is mapped and the window manager has taken it on: only now does it
    // act on requests about it.
    if (!placed_ && windowSystem_ != nullptr) {
        placed_ = true;
        windowSystem_->showOnEveryWorkspace(winId());
    }
    QPainter painter(this);
    painter.fillRect(event->rect(), backdropColor());
}

} // namespace lumatide
