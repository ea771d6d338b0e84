// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct org_kde_plasma_window;
struct org_kde_plasma_window_management;
struct wl_display;
struct wl_registry;

namespace lumatide {

// KDE's list of windows (plasma window management), which KWin offers instead of wlroots' list,
// and only to programs whose desktop file names it in X-KDE-Wayland-Interfaces with an Exec
// path that leads to the program. Each window carries its state as flags. Read once, on a
// connection that the caller opened and closes.
class PlasmaWindowList {
public:
    // Whether a global of the registry is the list, at a version this reading understands.
    static bool offered(const char* interface, std::uint32_t version);

    // Binds the global `name`, offered at `version`.
    PlasmaWindowList(wl_registry* registry, std::uint32_t name, std::uint32_t version);
    PlasmaWindowList(const PlasmaWindowList&) = delete;
    PlasmaWindowList& operator=(const PlasmaWindowList&) = delete;
    ~PlasmaWindowList();

    // The windows, then each window's state; false when the compositor did not answer in time.
    bool read(wl_display* display, std::chrono::milliseconds limit);
    // As of the last read.
    bool activeWindowFullScreen() const;

private:
    struct Window {
        org_kde_plasma_window* proxy = nullptr;
        std::uint32_t state = 0;
    };

    static void announced(void* data, org_kde_plasma_window_management*, std::uint32_t id);
    static void announcedWithUuid(void* data, org_kde_plasma_window_management*, std::uint32_t,
                                  const char* uuid);
    void track(org_kde_plasma_window* proxy);

    org_kde_plasma_window_management* manager_;
    std::vector<std::unique_ptr<Window>> windows_;
};

} // namespace lumatide
