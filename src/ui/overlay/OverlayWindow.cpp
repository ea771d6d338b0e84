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

OverlayWindow::OverlayWindow(QScreen* screen, WindowSystem* windowSystem)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint),
      windowSystem_(windowSystem) {
    setWindowTitle(QStringLiteral("Lumatide rest panel"));
    // Opaque from the first frame: the background view paints over this dark teal.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, rgba(0.03, 0.09, 0.10));
    setPalette(dark);
    setAutoFillBackground(true);
    if (screen != nullptr) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    raiseTimer_.setInterval(raiseIntervalMs);
    connect(&raiseTimer_, &QTimer::timeout, this, &OverlayWindow::reassertPosition);
}

void OverlayWindow::reassertPosition() {
    // The panel bypasses the window manager, so any client may unmap it (xdotool windowunmap).
    if (windowSystem_ != nullptr && isVisible() && windowHandle() != nullptr &&
        !windowHandle()->isExposed()) {
        windowSystem_->remapWindow(windowHandle()->winId());
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
    raiseTimer_.start();
}

void OverlayWindow::hideEvent(QHideEvent* event) {
    raiseTimer_.stop();
    QWidget::hideEvent(event);
}

} // namespace lumatide
