// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

class QSocketNotifier;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct zwlr_layer_shell_v1;
struct zwp_keyboard_shortcuts_inhibit_manager_v1;

namespace lumatide {

// The program's own Wayland connection for the surfaces it keeps in the compositor's layers
// (the rest panels and the toast), next to whatever Qt uses (X11 through XWayland, usually):
// the compositor's globals, bound once, and its outputs with their scales. Made at the first
// question rather than at start, and kept; its events are read from the event loop.
class WaylandLayerShell {
public:
    struct Output {
        std::uint32_t name = 0;
        wl_output* output = nullptr;
        int scale = 1;
    };
    // Hears of the outputs and of the compositor going away; called from its events.
    class Watcher {
    public:
        virtual ~Watcher() = default;
        // An output came; or one is about to go (`output` is still valid during the call).
        virtual void outputAdded(Output& output) = 0;
        virtual void outputRemoved(Output& output) = 0;
        virtual void outputScaleChanged(Output& output) = 0;
        virtual void seatChanged(std::uint32_t capabilities) = 0;
        virtual void connectionLost() = 0;

    protected:
        Watcher() = default;
        Watcher(const Watcher&) = default;
        Watcher& operator=(const Watcher&) = default;
    };

    // An empty name means $WAYLAND_DISPLAY; without one there is no connection.
    explicit WaylandLayerShell(QByteArray displayName = {});
    ~WaylandLayerShell();
    WaylandLayerShell(const WaylandLayerShell&) = delete;
    WaylandLayerShell& operator=(const WaylandLayerShell&) = delete;

    // Whether the compositor offers a layer shell (connects at the first call) and is still
    // there.
    bool available();

    void addWatcher(Watcher* watcher);
    void removeWatcher(Watcher* watcher);

    wl_display* display() const { return display_; }
    wl_compositor* compositor() const { return compositor_; }
    std::uint32_t compositorVersion() const { return compositorVersion_; }
    wl_shm* shm() const { return shm_; }
    zwlr_layer_shell_v1* shell() const { return shell_; }
    // Null where the compositor does not offer them.
    wl_seat* seat() const { return seat_; }
    std::uint32_t seatCapabilities() const { return seatCapabilities_; }
    zwp_keyboard_shortcuts_inhibit_manager_v1* inhibitManager() const { return inhibitManager_; }
    wp_fractional_scale_manager_v1* fractionalManager() const { return fractionalManager_; }
    wp_viewporter* viewporter() const { return viewporter_; }
    const std::vector<std::unique_ptr<Output>>& outputs() const { return outputs_; }

    // Sends what was asked; callers flush after a burst of requests.
    void flush();

private:
    bool connect();
    void disconnect();
    void readEvents();

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, std::uint32_t name);
    static void outputScale(void* data, wl_output* output, std::int32_t factor);
    static void capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);

    QByteArray displayName_;
    bool tried_ = false;
    bool lost_ = false;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    std::uint32_t compositorVersion_ = 0;
    wl_shm* shm_ = nullptr;
    zwlr_layer_shell_v1* shell_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::uint32_t seatCapabilities_ = 0;
    zwp_keyboard_shortcuts_inhibit_manager_v1* inhibitManager_ = nullptr;
    wp_fractional_scale_manager_v1* fractionalManager_ = nullptr;
    wp_viewporter* viewporter_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
    std::vector<Watcher*> watchers_;
    std::unique_ptr<QSocketNotifier> socket_;
};

} // namespace lumatide
