// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/PlasmaWindowList.h"

#include "linux/WaylandRoundtrip.h"
#include "plasma-window-management-client-protocol.h"

#include <algorithm>
#include <cstring>
#include <wayland-client.h>

namespace lumatide {

namespace {

// Version 4 is the first whose windows can be destroyed by request; KWin 5.27 offers 16.
constexpr std::uint32_t oldestVersion = 4;
constexpr std::uint32_t wanted = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE |
                                 ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_FULLSCREEN;

// For the events that say nothing about the state of a window.
template <typename... Arguments> void ignore(void*, Arguments...) {
}

using Manager = org_kde_plasma_window_management*;
using Handle = org_kde_plasma_window*;
using Text = const char*;

void stateChanged(void* data, Handle, std::uint32_t flags) {
    *static_cast<std::uint32_t*>(data) = flags;
}
// A window that went while it was being asked about is no longer there to be active.
void unmapped(void* data, Handle) {
    *static_cast<std::uint32_t*>(data) = 0;
}

constexpr org_kde_plasma_window_listener windowListener{
    &ignore<Handle, Text>,         // title_changed
    &ignore<Handle, Text>,         // app_id_changed
    &stateChanged,                 // state_changed
    &ignore<Handle, std::int32_t>, // virtual_desktop_changed
    &ignore<Handle, Text>,         // themed_icon_name_changed
    &unmapped,                     // unmapped
    &ignore<Handle>,               // initial_state
    &ignore<Handle, Handle>,       // parent_window
    &ignore<Handle, std::int32_t, std::int32_t, std::uint32_t, std::uint32_t>, // geometry
    &ignore<Handle>,                                                           // icon_changed
    &ignore<Handle, std::uint32_t>,                                            // pid_changed
    &ignore<Handle, Text>,       // virtual_desktop_entered
    &ignore<Handle, Text>,       // virtual_desktop_left
    &ignore<Handle, Text, Text>, // application_menu
    &ignore<Handle, Text>,       // activity_entered
    &ignore<Handle, Text>,       // activity_left
    &ignore<Handle, Text>};      // resource_name_changed

} // namespace

bool PlasmaWindowList::offered(const char* interface, std::uint32_t version) {
    return version >= oldestVersion &&
           std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0;
}

PlasmaWindowList::PlasmaWindowList(wl_registry* registry, std::uint32_t name,
                                   std::uint32_t version) {
    // No higher than both this program's copy of the protocol and the compositor know.
    const auto bound = std::min(
        version, static_cast<std::uint32_t>(org_kde_plasma_window_management_interface.version));
    manager_ = static_cast<Manager>(
        wl_registry_bind(registry, name, &org_kde_plasma_window_management_interface, bound));
    static constexpr org_kde_plasma_window_management_listener managerListener{
        &ignore<Manager, std::uint32_t>, // show_desktop_changed
        &announced,                      // window (before version 13)
        &ignore<Manager, wl_array*>,     // stacking_order_changed
        &ignore<Manager, Text>,          // stacking_order_uuid_changed
        &announcedWithUuid};             // window_with_uuid (from version 13)
    org_kde_plasma_window_management_add_listener(manager_, &managerListener, this);
}

PlasmaWindowList::~PlasmaWindowList() {
    for (const auto& window : windows_) {
        org_kde_plasma_window_destroy(window->proxy);
    }
    org_kde_plasma_window_management_destroy(manager_);
}

void PlasmaWindowList::announced(void* data, Manager manager, std::uint32_t id) {
    static_cast<PlasmaWindowList*>(data)->track(
        org_kde_plasma_window_management_get_window(manager, id));
}

void PlasmaWindowList::announcedWithUuid(void* data, Manager manager, std::uint32_t,
                                         const char* uuid) {
    static_cast<PlasmaWindowList*>(data)->track(
        org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
}

void PlasmaWindowList::track(org_kde_plasma_window* proxy) {
    windows_.push_back(std::make_unique<Window>());
    windows_.back()->proxy = proxy;
    org_kde_plasma_window_add_listener(proxy, &windowListener, &windows_.back()->state);
}

bool PlasmaWindowList::read(wl_display* display, std::chrono::milliseconds limit) {
    // The windows come on binding; each window's state comes when it is asked for.
    return boundedRoundtrip(display, limit) && boundedRoundtrip(display, limit);
}

bool PlasmaWindowList::activeWindowFullScreen() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& window) { return (window->state & wanted) == wanted; });
}

} // namespace lumatide
