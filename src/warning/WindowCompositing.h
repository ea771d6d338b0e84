#pragma once

namespace lumatide {

// Whether a compositing manager blends the program's windows with what is beneath them, so
// that a window with a translucent background really is see-through. Wayland sessions always
// composite; on X11 a compositor owns the _NET_WM_CM_S<screen> selection; other platforms
// (offscreen) do not.
bool compositorIsRunning();

} // namespace lumatide
