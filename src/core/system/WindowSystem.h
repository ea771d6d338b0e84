#pragma once

#include <QtGlobal>

namespace lumatide {

// What the program's windows need from the display server beyond what Qt offers. The windows
// ask through this interface so that the desktop code never calls the display server itself.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Whether a compositing manager blends windows with what is beneath them, so that a window
    // with a translucent background really is see-through.
    virtual bool compositorIsRunning() const = 0;
    // Maps the native window again behind the toolkit's back, after another program unmapped
    // it: the toolkit would only see it unexposed, and a hide and show would lose the keyboard
    // grab and the focus.
    virtual void remapWindow(quintptr nativeWindow) = 0;

protected:
    WindowSystem() = default;
    WindowSystem(const WindowSystem&) = default;
    WindowSystem& operator=(const WindowSystem&) = default;
};

} // namespace lumatide
