// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Include after any Qt header: Xlib defines macros (None, Bool, Status) that clash with Qt's.
#include <X11/Xlib.h>

namespace lumatide {

// Catches X protocol errors (a window that went away between two requests) while it lives,
// instead of Xlib's default handler, which ends the process. Requests with a reply report
// their error before the reply returns, so no extra round trip is needed for those.
// Main thread only: the handler is process-wide.
class X11ErrorTrap final {
public:
    X11ErrorTrap();
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // True once any X error arrived since the trap was set.
    bool caughtError() const;

private:
    XErrorHandler previous_;
};

} // namespace lumatide
