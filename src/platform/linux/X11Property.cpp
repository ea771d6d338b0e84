// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/X11Property.h"

#include <X11/Xlib.h>

namespace lumatide {

std::optional<std::vector<unsigned long>> x11LongProperty(Display* display, Window window,
                                                          Atom name, Atom type, long maxItems) {
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, name, 0, maxItems, False, type,
                                          &actualType, &actualFormat, &count, &bytesAfter, &data);
    if (status != Success || data == nullptr) {
        return std::nullopt;
    }
    std::optional<std::vector<unsigned long>> items;
    if (actualType == type && actualFormat == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.emplace(values, values + count);
    }
    XFree(data);
    return items;
}

} // namespace lumatide
