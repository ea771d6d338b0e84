// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandToplevelCoverage.h"

#include "linux/PlasmaWindowList.h"
#include "linux/WaylandRoundtrip.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>
#include <wayland-client.h>

namespace lumatide {

namespace {

constexpr std::chrono::milliseconds answerLimit{500};
// Version 2 is the first with the full-screen state.
constexpr std::uint32_t wantedVersion = 2;

struct Toplevel {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    bool pendingActive = false, pendingFullScreen = false;
    bool active = false, fullScreen = false;
};

// What one look at the compositor's window list sees: wlroots' list, or else KDE's.
struct WindowList {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> toplevels;
    std::uint32_t plasmaName = 0, plasmaVersion = 0;
    std::unique_ptr<PlasmaWindowList> plasma;

    WindowList() = default;
    WindowList(const WindowList&) = delete;
    WindowList& operator=(const WindowList&) = delete;
    ~WindowList() {
        for (const auto& toplevel : toplevels) {
            zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        }
        if (manager != nullptr) {
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
        }
        plasma.reset();
        if (registry != nullptr) {
            wl_registry_destroy(registry);
        }
        if (display != nullptr) {
            wl_display_disconnect(display);
        }
    }

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto* self = static_cast<WindowList*>(data);
        if (self->manager == nullptr && version >= wantedVersion &&
            std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
            self->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
                registry, name, &zwlr_foreign_toplevel_manager_v1_interface, wantedVersion));
            zwlr_foreign_toplevel_manager_v1_add_listener(self->manager, &managerListener, self);
        }
        if (PlasmaWindowList::offered(interface, version)) {
            self->plasmaName = name;
            self->plasmaVersion = version;
        }
    }
    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<WindowList*>(data);
        self->toplevels.push_back(std::make_unique<Toplevel>());
        self->toplevels.back()->handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener,
                                                     self->toplevels.back().get());
    }
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        auto* toplevel = static_cast<Toplevel*>(data);
        const auto* first = static_cast<const std::uint32_t*>(states->data);
        const auto* last = first + states->size / sizeof(std::uint32_t);
        const auto has = [&](std::uint32_t value) { return std::find(first, last, value) != last; };
        toplevel->pendingActive = has(ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED);
        toplevel->pendingFullScreen = has(ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_FULLSCREEN);
    }
    // A window's changes count once the compositor says they are complete.
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->active = toplevel->pendingActive;
        toplevel->fullScreen = toplevel->pendingFullScreen;
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->active = toplevel->fullScreen = false;
    }

    static constexpr wl_registry_listener registryListener{
        &global, [](void*, wl_registry*, std::uint32_t) {}};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener managerListener{
        &toplevel, [](void*, zwlr_foreign_toplevel_manager_v1*) {}};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener handleListener{
        [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}, // title
        [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}, // app_id
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},  // output_enter
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},  // output_leave
        &state,
        &done,
        &closed,
        [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}}; // parent

    // Connects and reads the list; false when there is none to read.
    bool read(const QByteArray& displayName) {
        display = wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
        if (display == nullptr) {
            return false;
        }
        registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &registryListener, this);
        if (!boundedRoundtrip(display, answerLimit)) {
            return false;
        }
        // The globals came; then the windows, then each window's first state.
        if (manager != nullptr) {
            return boundedRoundtrip(display, answerLimit) && boundedRoundtrip(display, answerLimit);
        }
        if (plasmaName == 0) {
            return false;
        }
        plasma = std::make_unique<PlasmaWindowList>(registry, plasmaName, plasmaVersion);
        return plasma->read(display, answerLimit);
    }
};

} // namespace

WaylandToplevelCoverage::WaylandToplevelCoverage(QByteArray displayName)
    : displayName_(std::move(displayName)) {
}

bool WaylandToplevelCoverage::activeWindowCoversScreen() const {
    WindowList list;
    if (!list.read(displayName_)) {
        return false;
    }
    if (list.plasma != nullptr) {
        return list.plasma->activeWindowFullScreen();
    }
    return std::any_of(list.toplevels.begin(), list.toplevels.end(), [](const auto& toplevel) {
        return toplevel->active && toplevel->fullScreen;
    });
}

bool WaylandToplevelCoverage::available() const {
    WindowList list;
    return list.read(displayName_);
}

} // namespace lumatide
