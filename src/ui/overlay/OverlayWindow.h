#pragma once

#include <QTimer>
#include <QWidget>

class QScreen;

namespace lumatide {

class WindowSystem;

// The borderless, opaque top-level window of one rest panel: it covers its screen's full
// geometry, stays above every other window (full-screen ones included) and on every
// workspace without asking the window manager, ignores close requests, and raises itself
// again once a second in case another window was stacked above it.
class OverlayWindow final : public QWidget {
    Q_OBJECT

public:
    // The window system, when given, maps the window again after another program unmapped it.
    OverlayWindow(QScreen* screen, WindowSystem* windowSystem);

    // Maps the window again if another program unmapped it, stacks it on top again and, when the
    // keyboard is grabbed by one of its children, asks the display for the grab again (a menu or
    // another program may have taken it meanwhile).
    void reassertPosition();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    WindowSystem* windowSystem_;
    QTimer raiseTimer_;
};

} // namespace lumatide
