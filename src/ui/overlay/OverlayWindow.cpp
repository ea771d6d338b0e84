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

OverlayWindow::OverlayWindow(QScreen* screen, WindowSystem* windowSystem, Placement placement)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                  (placement == Placement::managed ? Qt::Widget : Qt::X11BypassWindowManagerHint)),
      screen_(screen), windowSystem_(windowSystem), placement_(placement) {
    const bool offScreen = placement == Placement::offScreen;
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
    // A managed window belongs to one workspace unless told otherwise; the rest covers them all.
    if (placement == Placement::managed && windowSystem != nullptr) {
        windowSystem->showOnEveryWorkspace(winId());
    }
    raiseTimer_.setInterval(raiseIntervalMs);
    connect(&raiseTimer_, &QTimer::timeout, this, &OverlayWindow::reassertPosition);
}

void OverlayWindow::setOnLost(std::function<void()> onLost) {
    onLost_ = std::move(onLost);
}

bool OverlayWindow::restorePosition() {
    // A managed window is the window manager's to place.
    if (placement_ == Placement::managed || windowSystem_ == nullptr || screen_ == nullptr ||
        !isVisible() || windowHandle() == nullptr) {
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
        if (placement_ == Placement::managed && !isActiveWindow()) {
            takeFocusBack();
        }
    }
}

void OverlayWindow::takeFocusBack() {
    if (windowSystem_ != nullptr && windowHandle() != nullptr) {
        windowSystem_->activateWindow(windowHandle()->winId());
    }
}

void OverlayWindow::closeEvent(QCloseEvent* event) {
    // Only the passcode or the end of the rest removes the panel.
    event->ignore();
}

void OverlayWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placement_ != Placement::offScreen) {
        raiseTimer_.start();
    }
}

void OverlayWindow::hideEvent(QHideEvent* event) {
    raiseTimer_.stop();
    QWidget::hideEvent(event);
}

} // namespace lumatide
