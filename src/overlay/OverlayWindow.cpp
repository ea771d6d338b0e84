#include "overlay/OverlayWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWindow>
#include <xcb/xcb.h>

namespace lumatide {

namespace {

constexpr int raiseIntervalMs = 1000;

// Maps the window again behind Qt's back. The panel bypasses the window manager, so any client
// may unmap it (xdotool windowunmap); Qt then only sees it unexposed and still thinks it shown,
// and a hide() and show() would lose the keyboard grab and the focus.
void remapX11Window(QWindow& window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_map_window(x11->connection(), static_cast<xcb_window_t>(window.winId()));
    xcb_flush(x11->connection());
}

} // namespace

OverlayWindow::OverlayWindow(QScreen* screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint) {
    setWindowTitle(QStringLiteral("Lumatide rest panel"));
    // Opaque from the first frame: the background view paints over this dark teal.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor::fromRgbF(0.03f, 0.09f, 0.10f));
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
    if (isVisible() && windowHandle() != nullptr && !windowHandle()->isExposed()) {
        remapX11Window(*windowHandle());
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
