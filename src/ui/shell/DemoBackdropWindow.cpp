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
    // Marked before it is mapped, so that the window manager places it once, as it places
    // every new window: a request after the map could move it over the dialog that follows.
    if (windowSystem_ != nullptr) {
        windowSystem_->showOnEveryWorkspace(winId());
    }
    show();
}

void DemoBackdropWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), backdropColor());
}

} // namespace lumatide
