#pragma once

#include "system/WindowSystem.h"

namespace lumatide {

// The window-system calls on X11, made on Qt's own XCB connection. On other platforms (Wayland
// through its own plugin, offscreen) Wayland counts as composited and nothing is remapped.
class XcbWindowSystem final : public WindowSystem {
public:
    // Wayland sessions always composite; on X11 a compositor owns the _NET_WM_CM_S<screen>
    // selection.
    bool compositorIsRunning() const override;
    void remapWindow(quintptr nativeWindow) override;
};

} // namespace lumatide
