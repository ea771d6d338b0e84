// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/WindowSystem.h"

#include <memory>

class QSocketNotifier;

namespace lumatide {

class X11Display;

// The window-system calls on X11. The compositor check asks on Qt's own connection; putting
// windows back and watching the stacking order use a connection of their own, so that the
// requests and events never meet Qt's. On any other platform (offscreen, native Wayland) no
// window is checked and nothing is watched; Wayland counts as composited.
class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem();
    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    // On X11 a compositor owns the _NET_WM_CM_S<screen> selection.
    bool compositorIsRunning() const override;
    bool restoreWindow(quintptr nativeWindow, const QRect& nativeGeometry) override;
    void watchWindows(std::function<void(quintptr nativeWindow)> onChange) override;
    void stopWatchingWindows() override;
    // _NET_WM_DESKTOP 0xFFFFFFFF (all desktops), which the window manager reads at the map.
    void showOnEveryWorkspace(quintptr nativeWindow) override;
    void activateWindow(quintptr nativeWindow) override;

private:
    // The own connection, opened at the first need; null when not on X11.
    X11Display* display();
    void readEvents();

    std::unique_ptr<X11Display> display_;
    bool displayTried_ = false;
    bool hasShape_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void(quintptr)> onChange_;
};

} // namespace lumatide
