// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandRoundtrip.h"

#include <cerrno>
#include <poll.h>
#include <wayland-client.h>

namespace lumatide {

namespace {

void markDone(void* data, wl_callback*, std::uint32_t) {
    *static_cast<bool*>(data) = true;
}

constexpr wl_callback_listener syncListener{&markDone};

} // namespace

bool boundedRoundtrip(wl_display* display, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    bool done = false;
    wl_callback* callback = wl_display_sync(display);
    wl_callback_add_listener(callback, &syncListener, &done);
    bool ok = true;
    while (ok && !done) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) {
                ok = false;
                break;
            }
        }
        if (!ok || done) {
            if (ok) {
                wl_display_cancel_read(display);
            }
            break;
        }
        // A full socket is retried while waiting for the answer.
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            ok = false;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd descriptor{wl_display_get_fd(display), POLLIN, 0};
        const int ready =
            left.count() > 0 ? ::poll(&descriptor, 1, static_cast<int>(left.count())) : 0;
        if (ready <= 0) {
            wl_display_cancel_read(display);
            ok = ready < 0 && errno == EINTR; // interrupted: try again; timed out: give up
            continue;
        }
        ok = wl_display_read_events(display) >= 0 && wl_display_dispatch_pending(display) >= 0;
    }
    wl_callback_destroy(callback);
    return ok && done;
}

bool readWaylandEvents(wl_display* display) {
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            return false;
        }
    }
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) {
        return false;
    }
    wl_display_flush(display);
    return true;
}

} // namespace lumatide
