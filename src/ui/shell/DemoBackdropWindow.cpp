#include "shell/DemoBackdropWindow.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

namespace lumatide {

QColor DemoBackdropWindow::backdropColor() {
    return QColor::fromRgbF(0.027F, 0.071F, 0.075F, 1.0F);
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
