// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DemoBackdropWindow.h"

#include "common/Colors.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

namespace lumatide {

QColor DemoBackdropWindow::backdropColor() {
    return rgba(0.027, 0.071, 0.075);
}

DemoBackdropWindow::DemoBackdropWindow(QScreen& screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, backdropColor());
    setPalette(colours);
    setAutoFillBackground(true);
    setScreen(&screen);
    setGeometry(screen.geometry());
}

void DemoBackdropWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), backdropColor());
}

} // namespace lumatide
