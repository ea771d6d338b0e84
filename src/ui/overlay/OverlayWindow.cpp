// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/OverlayWindow.h"

#include "common/Colors.h"
#include "system/WindowSystem.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWindow>

namespace lumatide {

namespace {

constexpr int raiseIntervalMs = 1000;

} // namespace

OverlayWindow::OverlayWindow(QScreen* screen, WindowSystem* windowSystem, bool offScreen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint),
      screen_(screen), windowSystem_(windowSystem), offScreen_(offScreen) {
    // Shown as far as the widgets know (they animate, take focus and paint), never mapped.
    setAttribute(Qt::WA_DontShowOnScreen, offScreen);
    setWindowTitle(QStringLiteral("Lumatide rest panel"));
    // Opaque from the first frame: the background view paints over this dark teal.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, rgba(0.03, 0.09, 0.10));
    setPalette(dark);
    setAutoFillBackground(true);
    if (screen != nullptr && !offScreen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    raiseTimer_.setInterval(raiseIntervalMs);
    connect(&raiseTimer_, &QTimer::timeout, this, &OverlayWindow::reassertPosition);
}

void OverlayWindow::setOnLost(std::function<void()> onLost) {
    onLost_ = std::move(onLost);
}

bool OverlayWindow::restorePosition() {
    if (windowSystem_ == nullptr || screen_ == nullptr || !isVisible() ||
        windowHandle() == nullptr) {
        return true;
    }
    // The display's own pixels: the screen's corner stays, its size is scaled. The screen it
    // was made for, not its geometry now: another program may have moved it.
    const QRect area = screen_->geometry();
    const qreal ratio = screen_->devicePixelRatio();
    const QRect native(area.topLeft(),
                       QSize(qRound(area.width() * ratio), qRound(area.height() * ratio)));
    if (!windowSystem_->restoreWindow(windowHandle()->winId(), native)) {
        raiseTimer_.stop();
        if (onLost_) {
            onLost_();
        }
        return false;
    }
    return true;
}

void OverlayWindow::reassertPosition() {
    if (!restorePosition()) {
        return; // the owner builds a new window
    }
    raise();
    QWidget* grabber = QWidget::keyboardGrabber();
    if (grabber != nullptr && grabber->window() == this && windowHandle() != nullptr) {
        windowHandle()->setKeyboardGrabEnabled(true);
    }
}

void OverlayWindow::closeEvent(QCloseEvent* event) {
    // Only the passcode or the end of the rest removes the panel.
    event->ignore();
}

void OverlayWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!offScreen_) {
        raiseTimer_.start();
    }
}

void OverlayWindow::hideEvent(QHideEvent* event) {
    raiseTimer_.stop();
    QWidget::hideEvent(event);
}

} // namespace lumatide
