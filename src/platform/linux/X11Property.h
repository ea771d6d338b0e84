// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

struct _XDisplay; // NOLINT(bugprone-reserved-identifier): Xlib's own name for Display

namespace lumatide {

// The 32-bit items of a window property of the given type (Xlib hands them over as longs), at
// most maxItems; nothing when the window or the property is missing or of another type.
// Windows and atoms are Xlib's XIDs.
std::optional<std::vector<unsigned long>> x11LongProperty(_XDisplay* display, unsigned long window,
                                                          unsigned long name, unsigned long type,
                                                          long maxItems);

} // namespace lumatide
