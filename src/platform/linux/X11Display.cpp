// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/X11Display.h"

#include <X11/Xlib.h>

namespace lumatide {

std::unique_ptr<X11Display> X11Display::open(const QByteArray& displayName) {
    Display* display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (display == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<X11Display>(new X11Display(display));
}

X11Display::~X11Display() {
    XCloseDisplay(display_);
}

} // namespace lumatide
