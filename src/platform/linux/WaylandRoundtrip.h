// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

struct wl_display;

namespace lumatide {

// wl_display_roundtrip with a deadline: sends what is queued, then reads and dispatches events
// until the compositor has answered everything asked so far. False when the connection broke
// or the compositor did not answer in time; a hung compositor must not stall the program.
bool boundedRoundtrip(wl_display* display, std::chrono::milliseconds limit);

// Reads and dispatches what the compositor sent, once its socket is readable, and sends what
// the handlers queued; never waits. False when the connection broke: it stays broken.
bool readWaylandEvents(wl_display* display);

} // namespace lumatide
