// SPDX-License-Identifier: GPL-3.0-or-later
// The interface tables of the Wayland protocol extensions the program speaks, as wayland-scanner
// writes them (C). Each header comes first: its extern declarations give the C++ definitions
// below external linkage, which a const object at namespace scope would otherwise lack.
#include "ext-idle-notify-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "plasma-window-management-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// The tables are marked hidden after the header declared them without the mark.
#pragma GCC diagnostic ignored "-Wattributes"
extern "C" {
#include "ext-idle-notify-v1-protocol.c"
#include "fractional-scale-v1-protocol.c"
#include "kde-idle-protocol.c"
#include "keyboard-shortcuts-inhibit-unstable-v1-protocol.c"
#include "plasma-window-management-protocol.c"
#include "viewporter-protocol.c"
#include "wlr-foreign-toplevel-management-unstable-v1-protocol.c"
#include "wlr-layer-shell-unstable-v1-protocol.c"
#include "xdg-shell-protocol.c"
}
#pragma GCC diagnostic pop
