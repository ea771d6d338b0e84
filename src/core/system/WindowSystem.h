// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QtGlobal>
#include <functional>

namespace lumatide {

// What the program's windows need from the display server beyond what Qt offers. The windows
// ask through this interface so that the desktop code never calls the display server itself.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Whether a compositing manager blends windows with what is beneath them, so that a window
    // with a translucent background really is see-through.
    virtual bool compositorIsRunning() const = 0;

    // Puts a window of the program back as the program made it after another program
    // interfered behind the toolkit's back: mapped, a child of the root window, unshaped, at
    // the given place in the display's own pixels. False when the window no longer exists.
    virtual bool restoreWindow(quintptr nativeWindow, const QRect& nativeGeometry) = 0;

    // Until stopped, reports from the event loop each top-level window that was stacked,
    // mapped, moved, reparented or destroyed, the program's own included. One watch at a time.
    virtual void watchWindows(std::function<void(quintptr nativeWindow)> onChange) = 0;
    virtual void stopWatchingWindows() = 0;

    // Asks the window manager to give a window of the program the keyboard, as a task bar
    // asks for the window clicked there (which window managers grant without the recent input
    // they expect of a program asking for itself).
    virtual void activateWindow(quintptr nativeWindow) = 0;
    // Marks a window of the program, before it is first shown, for every workspace.
    virtual void showOnEveryWorkspace(quintptr nativeWindow) = 0;

protected:
    WindowSystem() = default;
    WindowSystem(const WindowSystem&) = default;
    WindowSystem& operator=(const WindowSystem&) = default;
};

} // namespace lumatide
