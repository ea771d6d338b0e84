// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandLayerShell.h"

#include "fractional-scale-v1-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "linux/WaylandRoundtrip.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <wayland-client.h>

namespace lumatide {

namespace {

constexpr std::chrono::milliseconds answerLimit{500};

} // namespace

WaylandLayerShell::WaylandLayerShell(QByteArray displayName)
    : displayName_(std::move(displayName)) {
}

WaylandLayerShell::~WaylandLayerShell() {
    disconnect();
}

void WaylandLayerShell::addWatcher(Watcher* watcher) {
    if (std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end()) {
        watchers_.push_back(watcher);
    }
}

void WaylandLayerShell::removeWatcher(Watcher* watcher) {
    std::erase(watchers_, watcher);
}

bool WaylandLayerShell::available() {
    if (!tried_) {
        tried_ = true;
        if (!connect()) {
            disconnect();
        }
    }
    return display_ != nullptr && !lost_;
}

void WaylandLayerShell::flush() {
    if (display_ != nullptr) {
        wl_display_flush(display_);
    }
}

bool WaylandLayerShell::connect() {
    if (displayName_.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return false;
    }
    display_ = wl_display_connect(displayName_.isEmpty() ? nullptr : displayName_.constData());
    if (display_ == nullptr) {
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    static constexpr wl_registry_listener registryListener{&global, &globalRemove};
    wl_registry_add_listener(registry_, &registryListener, this);
    // The globals; then the outputs' scales and the seat's devices.
    for (int round = 0; round < 2; ++round) {
        if (!boundedRoundtrip(display_, answerLimit)) {
            return false;
        }
    }
    if (shell_ == nullptr || compositor_ == nullptr || shm_ == nullptr) {
        return false;
    }
    socket_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(socket_.get(), &QSocketNotifier::activated, socket_.get(),
                     [this] { readEvents(); });
    return true;
}

void WaylandLayerShell::disconnect() {
    socket_.reset();
    for (const auto& output : outputs_) {
        wl_output_destroy(output->output);
    }
    outputs_.clear();
    if (seat_ != nullptr) {
        wl_seat_destroy(seat_);
        seat_ = nullptr;
    }
    if (inhibitManager_ != nullptr) {
        zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(inhibitManager_);
        inhibitManager_ = nullptr;
    }
    if (fractionalManager_ != nullptr) {
        wp_fractional_scale_manager_v1_destroy(fractionalManager_);
        fractionalManager_ = nullptr;
    }
    if (viewporter_ != nullptr) {
        wp_viewporter_destroy(viewporter_);
        viewporter_ = nullptr;
    }
    if (shell_ != nullptr) {
        zwlr_layer_shell_v1_destroy(shell_);
        shell_ = nullptr;
    }
    if (shm_ != nullptr) {
        wl_shm_destroy(shm_);
        shm_ = nullptr;
    }
    if (compositor_ != nullptr) {
        wl_compositor_destroy(compositor_);
        compositor_ = nullptr;
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
        registry_ = nullptr;
    }
    if (display_ != nullptr) {
        wl_display_flush(display_);
        wl_display_disconnect(display_);
        display_ = nullptr;
    }
}

void WaylandLayerShell::readEvents() {
    // A compositor that went away stays away for this connection: the surfaces' owners are
    // told, and find no layers when they ask again.
    if (!readWaylandEvents(display_)) {
        lost_ = true;
        socket_->setEnabled(false);
        const std::vector<Watcher*> watchers = watchers_;
        for (Watcher* watcher : watchers) {
            watcher->connectionLost();
        }
    }
}

void WaylandLayerShell::global(void* data, wl_registry* registry, std::uint32_t name,
                               const char* interface, std::uint32_t version) {
    auto* self = static_cast<WaylandLayerShell*>(data);
    const auto is = [interface](const wl_interface& known) {
        return std::strcmp(interface, known.name) == 0;
    };
    const auto bind = [registry, name](const wl_interface& known, std::uint32_t at) {
        return wl_registry_bind(registry, name, &known, at);
    };
    if (is(wl_compositor_interface) && version >= 3) {
        // Version 4 damages in buffer pixels, which a fractional scale needs.
        self->compositorVersion_ = std::min(version, 4U);
        self->compositor_ =
            static_cast<wl_compositor*>(bind(wl_compositor_interface, self->compositorVersion_));
    } else if (is(wl_shm_interface)) {
        self->shm_ = static_cast<wl_shm*>(bind(wl_shm_interface, 1));
    } else if (is(zwlr_layer_shell_v1_interface)) {
        self->shell_ = static_cast<zwlr_layer_shell_v1*>(bind(zwlr_layer_shell_v1_interface, 1));
    } else if (is(zwp_keyboard_shortcuts_inhibit_manager_v1_interface)) {
        self->inhibitManager_ = static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(
            bind(zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        self->fractionalManager_ = static_cast<wp_fractional_scale_manager_v1*>(
            bind(wp_fractional_scale_manager_v1_interface, 1));
    } else if (is(wp_viewporter_interface)) {
        self->viewporter_ = static_cast<wp_viewporter*>(bind(wp_viewporter_interface, 1));
    } else if (is(wl_seat_interface) && version >= 4 && self->seat_ == nullptr) {
        self->seat_ = static_cast<wl_seat*>(bind(wl_seat_interface, std::min(version, 5U)));
        static constexpr wl_seat_listener seatListener{&capabilities,
                                                       [](void*, wl_seat*, const char*) {}};
        wl_seat_add_listener(self->seat_, &seatListener, self);
    } else if (is(wl_output_interface) && version >= 2) {
        auto output = std::make_unique<Output>();
        output->name = name;
        output->output = static_cast<wl_output*>(bind(wl_output_interface, 2));
        static constexpr wl_output_listener listener{
            [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
               std::int32_t, const char*, const char*, std::int32_t) {},
            [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
            [](void*, wl_output*) {},
            &outputScale,
            [](void*, wl_output*, const char*) {},
            [](void*, wl_output*, const char*) {}};
        wl_output_add_listener(output->output, &listener, self);
        self->outputs_.push_back(std::move(output));
        const std::vector<Watcher*> watchers = self->watchers_;
        for (Watcher* watcher : watchers) {
            watcher->outputAdded(*self->outputs_.back());
        }
    }
}

void WaylandLayerShell::globalRemove(void* data, wl_registry*, std::uint32_t name) {
    auto* self = static_cast<WaylandLayerShell*>(data);
    const auto gone = std::find_if(self->outputs_.begin(), self->outputs_.end(),
                                   [name](const auto& output) { return output->name == name; });
    if (gone == self->outputs_.end()) {
        return;
    }
    const std::vector<Watcher*> watchers = self->watchers_;
    for (Watcher* watcher : watchers) {
        watcher->outputRemoved(**gone);
    }
    wl_output_destroy((*gone)->output);
    self->outputs_.erase(gone);
}

void WaylandLayerShell::outputScale(void* data, wl_output* which, std::int32_t factor) {
    auto* self = static_cast<WaylandLayerShell*>(data);
    for (const auto& output : self->outputs_) {
        if (output->output == which && output->scale != std::max(factor, 1)) {
            output->scale = std::max(factor, 1);
            const std::vector<Watcher*> watchers = self->watchers_;
            for (Watcher* watcher : watchers) {
                watcher->outputScaleChanged(*output);
            }
        }
    }
}

void WaylandLayerShell::capabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    auto* self = static_cast<WaylandLayerShell*>(data);
    self->seatCapabilities_ = capabilities;
    const std::vector<Watcher*> watchers = self->watchers_;
    for (Watcher* watcher : watchers) {
        watcher->seatChanged(capabilities);
    }
}

} // namespace lumatide
