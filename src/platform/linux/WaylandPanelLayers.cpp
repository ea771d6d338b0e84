// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandPanelLayers.h"

#include "fractional-scale-v1-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "linux/WaylandKeyboard.h"
#include "linux/WaylandLayerShell.h"
#include "linux/WaylandPanelBuffers.h"
#include "linux/WaylandRoundtrip.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-cursor.h>

namespace lumatide {

namespace {

constexpr std::chrono::milliseconds answerLimit{500};
// A surface the compositor gave the keyboard to instead of the panel is answered once the
// compositor's events at hand are read (a burst of focus changes costs one request): every
// moment the keyboard is away, keys typed go to another window (KWin took 15 to 140 ms more to
// hand it back when another window was activated).
constexpr int keyboardRearmDelayMs = 0;
constexpr int cursorSize = 24;

// The surface rectangle a rectangle of pixels lies in, rounded outwards.
QRect surfaceRect(const QRect& pixels, qreal scale) {
    const auto left = static_cast<int>(std::floor(pixels.x() / scale));
    const auto top = static_cast<int>(std::floor(pixels.y() / scale));
    const auto right = static_cast<int>(std::ceil((pixels.x() + pixels.width()) / scale));
    const auto bottom = static_cast<int>(std::ceil((pixels.y() + pixels.height()) / scale));
    return {left, top, right - left, bottom - top};
}

} // namespace

struct WaylandPanelLayers::Connection final : WaylandLayerShell::Watcher {
    using Output = WaylandLayerShell::Output;
    struct Panel {
        Connection* connection = nullptr;
        int index = 0;
        Output* output = nullptr;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        zwp_keyboard_shortcuts_inhibitor_v1* inhibitor = nullptr;
        wp_fractional_scale_v1* fractional = nullptr;
        wp_viewport* viewport = nullptr;
        // The compositor's wish, in 120ths; 0 until it says.
        std::uint32_t preferredScale = 0;
        wl_callback* frame = nullptr;
        bool configured = false;
        QSize logicalSize;
        std::unique_ptr<WaylandPanelBuffers> buffers;
        // A frame was refused: the client is told when one can be drawn.
        bool waiting = false;

        qreal scale() const { return preferredScale > 0 ? preferredScale / 120.0 : output->scale; }
        QSize pixelSize() const {
            const qreal s = scale();
            return {static_cast<int>(std::lround(logicalSize.width() * s)),
                    static_cast<int>(std::lround(logicalSize.height() * s))};
        }
    };

    WaylandLayerShell& wayland;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_cursor_theme* cursorTheme = nullptr;
    wl_surface* cursorSurface = nullptr;
    std::vector<std::unique_ptr<Panel>> panels;
    PanelLayersClient* client = nullptr;
    int keyboardPanel = 0;
    Panel* keyboardFocus = nullptr;
    Panel* pointerFocus = nullptr;
    WaylandKeyboard keys;
    QTimer rearmTimer;
    QTimer outputsTimer;

    explicit Connection(WaylandLayerShell& shell)
        : wayland(shell), keys([this](const LayerKey& key) {
              if (client != nullptr && keyboardFocus != nullptr) {
                  client->panelKey(keyboardFocus->index, key);
              }
          }) {
        rearmTimer.setSingleShot(true);
        rearmTimer.setInterval(keyboardRearmDelayMs);
        QObject::connect(&rearmTimer, &QTimer::timeout, [this] { rearmKeyboard(); });
        // Outputs arrive and leave in bursts, and their scale after them: one report after the
        // burst, from the event loop rather than from inside the compositor's events.
        outputsTimer.setSingleShot(true);
        outputsTimer.setInterval(0);
        QObject::connect(&outputsTimer, &QTimer::timeout, [this] {
            if (client != nullptr) {
                client->outputsChanged();
            }
        });
        wayland.addWatcher(this);
        seatChanged(wayland.seatCapabilities());
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() override {
        wayland.removeWatcher(this);
        destroyPanels();
        if (cursorSurface != nullptr) {
            wl_surface_destroy(cursorSurface);
        }
        if (cursorTheme != nullptr) {
            wl_cursor_theme_destroy(cursorTheme);
        }
        if (keyboard != nullptr) {
            wl_keyboard_destroy(keyboard);
        }
        if (pointer != nullptr) {
            wl_pointer_destroy(pointer);
        }
        wayland.flush();
    }

    // --- panels -----------------------------------------------------------------------------

    void createSurface(Panel& panel) {
        panel.surface = wl_compositor_create_surface(wayland.compositor());
        panel.layer = zwlr_layer_shell_v1_get_layer_surface(
            wayland.shell(), panel.surface, panel.output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "lumatide-rest");
        zwlr_layer_surface_v1_add_listener(panel.layer, &layerListener, &panel);
        zwlr_layer_surface_v1_set_anchor(panel.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(panel.layer, 0, 0);
        // Over the whole output, panels and docks included.
        zwlr_layer_surface_v1_set_exclusive_zone(panel.layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(panel.layer,
                                                         panel.index == keyboardPanel ? 1 : 0);
        if (wayland.inhibitManager() != nullptr && wayland.seat() != nullptr) {
            panel.inhibitor = zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(
                wayland.inhibitManager(), panel.surface, wayland.seat());
        }
        // Scales such as 1.5 are drawn at the output's own pixels and shown through a viewport.
        if (wayland.fractionalManager() != nullptr && wayland.viewporter() != nullptr) {
            panel.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(
                wayland.fractionalManager(), panel.surface);
            wp_fractional_scale_v1_add_listener(panel.fractional, &fractionalListener, &panel);
            panel.viewport = wp_viewporter_get_viewport(wayland.viewporter(), panel.surface);
        }
        wl_surface_commit(panel.surface);
    }

    void destroySurface(Panel& panel) {
        if (keyboardFocus == &panel) {
            keyboardFocus = nullptr;
            keys.stopRepeat();
        }
        if (pointerFocus == &panel) {
            pointerFocus = nullptr;
        }
        if (panel.frame != nullptr) {
            wl_callback_destroy(panel.frame);
            panel.frame = nullptr;
        }
        if (panel.inhibitor != nullptr) {
            zwp_keyboard_shortcuts_inhibitor_v1_destroy(panel.inhibitor);
            panel.inhibitor = nullptr;
        }
        if (panel.viewport != nullptr) {
            wp_viewport_destroy(panel.viewport);
            panel.viewport = nullptr;
        }
        if (panel.fractional != nullptr) {
            wp_fractional_scale_v1_destroy(panel.fractional);
            panel.fractional = nullptr;
        }
        panel.preferredScale = 0;
        if (panel.layer != nullptr) {
            zwlr_layer_surface_v1_destroy(panel.layer);
            panel.layer = nullptr;
        }
        if (panel.surface != nullptr) {
            wl_surface_destroy(panel.surface);
            panel.surface = nullptr;
        }
        panel.buffers->clear();
        panel.configured = false;
        panel.waiting = false;
    }

    void destroyPanels() {
        rearmTimer.stop();
        for (const auto& panel : panels) {
            destroySurface(*panel);
        }
        panels.clear();
    }

    Panel* panelOf(wl_surface* surface) const {
        for (const auto& panel : panels) {
            if (panel->surface == surface && surface != nullptr) {
                return panel.get();
            }
        }
        return nullptr;
    }

    void setInteractivity(Panel& panel, bool keyboardWanted) {
        if (panel.layer != nullptr) {
            zwlr_layer_surface_v1_set_keyboard_interactivity(panel.layer, keyboardWanted ? 1 : 0);
            wl_surface_commit(panel.surface);
        }
    }

    // Asks for the keyboard again: the compositor hands it to an exclusive surface when that
    // surface's wish changes, even when another surface (Alt+Tab's switcher) took it meanwhile.
    void rearmKeyboard() {
        if (keyboardPanel < 0 || keyboardPanel >= static_cast<int>(panels.size())) {
            return;
        }
        Panel& panel = *panels[static_cast<std::size_t>(keyboardPanel)];
        if (keyboardFocus == &panel) {
            return;
        }
        setInteractivity(panel, false);
        setInteractivity(panel, true);
        wayland.flush();
    }

    // --- pictures ---------------------------------------------------------------------------

    // Draws a frame into a free buffer and commits it, unless the compositor has not yet shown
    // the last one or holds both buffers: then the client hears when it may try again.
    bool drawFrame(Panel& panel, std::vector<QRect> changed, const PanelLayers::FrameDrawer& draw) {
        if (!panel.configured || panel.surface == nullptr) {
            return false;
        }
        if (panel.frame != nullptr) {
            panel.waiting = true;
            return false;
        }
        const QSize size = panel.pixelSize();
        const QRect bounds(QPoint(0, 0), size);
        for (QRect& rect : changed) {
            rect = rect.intersected(bounds);
        }
        std::erase_if(changed, [](const QRect& rect) { return rect.isEmpty(); });
        WaylandPanelBuffers::Buffer* buffer = panel.buffers->acquire(wayland.shm(), size, changed);
        if (buffer == nullptr) {
            panel.waiting = true;
            return false;
        }
        const qreal scale = panel.scale();
        draw(LayerCanvas{static_cast<uchar*>(buffer->memory), size, buffer->bytesPerLine, scale},
             changed);
        if (panel.viewport != nullptr) {
            wl_surface_set_buffer_scale(panel.surface, 1);
            wp_viewport_set_destination(panel.viewport, panel.logicalSize.width(),
                                        panel.logicalSize.height());
        } else {
            wl_surface_set_buffer_scale(panel.surface, panel.output->scale);
        }
        wl_surface_attach(panel.surface, buffer->buffer, 0, 0);
        for (const QRect& rect : changed) {
            if (wayland.compositorVersion() >= 4) {
                wl_surface_damage_buffer(panel.surface, rect.x(), rect.y(), rect.width(),
                                         rect.height());
            } else {
                const QRect area = surfaceRect(rect, scale);
                wl_surface_damage(panel.surface, area.x(), area.y(), area.width(), area.height());
            }
        }
        panel.waiting = false;
        panel.frame = wl_surface_frame(panel.surface);
        wl_callback_add_listener(panel.frame, &frameListener, &panel);
        wl_surface_commit(panel.surface);
        panel.buffers->shown(*buffer, changed);
        wayland.flush();
        return true;
    }

    void ready(Panel& panel) {
        if (panel.waiting && panel.frame == nullptr && client != nullptr) {
            panel.waiting = false;
            client->panelReady(panel.index);
        }
    }

    void setCursor(std::uint32_t serial) {
        if (cursorTheme == nullptr) {
            cursorTheme = wl_cursor_theme_load(nullptr, cursorSize, wayland.shm());
        }
        wl_cursor* cursor = nullptr;
        if (cursorTheme != nullptr) {
            cursor = wl_cursor_theme_get_cursor(cursorTheme, "left_ptr");
            if (cursor == nullptr) {
                cursor = wl_cursor_theme_get_cursor(cursorTheme, "default");
            }
        }
        if (cursor == nullptr || cursor->image_count == 0) {
            // No theme: the compositor's own pointer, not the last client's.
            wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
            return;
        }
        wl_cursor_image* image = cursor->images[0];
        if (cursorSurface == nullptr) {
            cursorSurface = wl_compositor_create_surface(wayland.compositor());
        }
        wl_surface_attach(cursorSurface, wl_cursor_image_get_buffer(image), 0, 0);
        wl_surface_damage(cursorSurface, 0, 0, static_cast<std::int32_t>(image->width),
                          static_cast<std::int32_t>(image->height));
        wl_surface_commit(cursorSurface);
        wl_pointer_set_cursor(pointer, serial, cursorSurface,
                              static_cast<std::int32_t>(image->hotspot_x),
                              static_cast<std::int32_t>(image->hotspot_y));
    }

    void reportPointer(LayerPointer::Kind kind, QPointF position, Qt::MouseButton button) {
        if (client != nullptr && pointerFocus != nullptr) {
            client->panelPointer(pointerFocus->index, LayerPointer{kind, position, button});
        }
    }

    // --- the compositor's events --------------------------------------------------------------

    // --- the outputs and the seat, from the shared connection --------------------------------

    void outputAdded(Output&) override {
        if (!panels.empty()) {
            outputsTimer.start();
        }
    }
    void outputRemoved(Output& output) override {
        if (std::none_of(panels.begin(), panels.end(),
                         [&output](const auto& panel) { return panel->output == &output; })) {
            return;
        }
        // The panels are built anew for the outputs that are left.
        destroyPanels();
        outputsTimer.start();
    }
    void outputScaleChanged(Output& output) override {
        // A scale changed during a rest: the panels on that output are drawn anew at it.
        for (const auto& panel : panels) {
            if (panel->output == &output && panel->configured && panel->preferredScale == 0 &&
                client != nullptr) {
                client->panelConfigured(panel->index, panel->logicalSize, output.scale);
            }
        }
    }
    void connectionLost() override {
        destroyPanels();
        if (client != nullptr) {
            outputsTimer.start();
        }
    }
    void seatChanged(std::uint32_t capabilities) override {
        wl_seat* seat = wayland.seat();
        const bool hasKeyboard =
            seat != nullptr && (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
        const bool hasPointer = seat != nullptr && (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
        if (hasKeyboard && keyboard == nullptr) {
            keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(keyboard, &keyboardListener, this);
        } else if (!hasKeyboard && keyboard != nullptr) {
            wl_keyboard_release(keyboard);
            keyboard = nullptr;
            keyboardFocus = nullptr;
            keys.stopRepeat();
        }
        if (hasPointer && pointer == nullptr) {
            pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(pointer, &pointerListener, this);
        } else if (!hasPointer && pointer != nullptr) {
            wl_pointer_release(pointer);
            pointer = nullptr;
            pointerFocus = nullptr;
        }
    }

    // --- the compositor's events --------------------------------------------------------------

    static void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                          std::uint32_t width, std::uint32_t height) {
        auto* panel = static_cast<Panel*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        const QSize size(static_cast<int>(width), static_cast<int>(height));
        if (size.isEmpty() || (panel->configured && size == panel->logicalSize)) {
            return;
        }
        panel->configured = true;
        panel->logicalSize = size;
        Connection& self = *panel->connection;
        // An opaque panel: the compositor may skip drawing what it covers.
        wl_region* opaque = wl_compositor_create_region(self.wayland.compositor());
        wl_region_add(opaque, 0, 0, size.width(), size.height());
        wl_surface_set_opaque_region(panel->surface, opaque);
        wl_region_destroy(opaque);
        if (self.client != nullptr) {
            self.client->panelConfigured(panel->index, size, panel->scale());
        }
    }
    static void closed(void* data, zwlr_layer_surface_v1*) {
        // The compositor took the panel down (KWin does on Alt+F4): put up a new one.
        auto* panel = static_cast<Panel*>(data);
        Connection& self = *panel->connection;
        self.destroySurface(*panel);
        self.createSurface(*panel);
        self.wayland.flush();
    }
    static void frameDone(void* data, wl_callback* callback, std::uint32_t) {
        auto* panel = static_cast<Panel*>(data);
        wl_callback_destroy(callback);
        panel->frame = nullptr;
        panel->connection->ready(*panel);
    }
    static void preferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
        auto* panel = static_cast<Panel*>(data);
        if (scale == panel->preferredScale) {
            return;
        }
        panel->preferredScale = scale;
        Connection& self = *panel->connection;
        if (panel->configured && self.client != nullptr) {
            self.client->panelConfigured(panel->index, panel->logicalSize, panel->scale());
        }
    }
    static void keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
                       std::uint32_t size) {
        auto* self = static_cast<Connection*>(data);
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
            void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (text != MAP_FAILED) {
                self->keys.setKeymap(static_cast<const char*>(text), size);
                munmap(text, size);
            }
        }
        close(fd);
    }
    static void keyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface,
                              wl_array*) {
        auto* self = static_cast<Connection*>(data);
        self->keyboardFocus = self->panelOf(surface);
    }
    static void keyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface) {
        auto* self = static_cast<Connection*>(data);
        self->keys.stopRepeat();
        Panel* left = self->panelOf(surface);
        if (left == self->keyboardFocus) {
            self->keyboardFocus = nullptr;
        }
        if (left != nullptr && left->index == self->keyboardPanel) {
            self->rearmTimer.start();
        }
    }
    static void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t code,
                    std::uint32_t state) {
        auto* self = static_cast<Connection*>(data);
        if (self->keyboardFocus != nullptr) {
            self->keys.key(code, state == WL_KEYBOARD_KEY_STATE_PRESSED);
        }
    }
    static void modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                          std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
        static_cast<Connection*>(data)->keys.setModifiers(depressed, latched, locked, group);
    }
    static void repeatInfo(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
        static_cast<Connection*>(data)->keys.setRepeat(rate, delay);
    }

    static void pointerEnter(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface,
                             wl_fixed_t x, wl_fixed_t y) {
        auto* self = static_cast<Connection*>(data);
        self->pointerFocus = self->panelOf(surface);
        if (self->pointerFocus != nullptr) {
            self->setCursor(serial);
            self->reportPointer(LayerPointer::Kind::move,
                                QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y)),
                                Qt::NoButton);
        }
    }
    static void pointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
        auto* self = static_cast<Connection*>(data);
        self->reportPointer(LayerPointer::Kind::leave, {}, Qt::NoButton);
        self->pointerFocus = nullptr;
    }
    static void pointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        static_cast<Connection*>(data)->reportPointer(
            LayerPointer::Kind::move, QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y)),
            Qt::NoButton);
    }
    static void pointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t,
                              std::uint32_t button, std::uint32_t state) {
        Qt::MouseButton which = Qt::NoButton;
        switch (button) {
        case BTN_LEFT:
            which = Qt::LeftButton;
            break;
        case BTN_RIGHT:
            which = Qt::RightButton;
            break;
        case BTN_MIDDLE:
            which = Qt::MiddleButton;
            break;
        default:
            return;
        }
        static_cast<Connection*>(data)->reportPointer(state == WL_POINTER_BUTTON_STATE_PRESSED
                                                          ? LayerPointer::Kind::press
                                                          : LayerPointer::Kind::release,
                                                      {}, which);
    }

    static constexpr zwlr_layer_surface_v1_listener layerListener{&configure, &closed};
    static constexpr wl_callback_listener frameListener{&frameDone};
    static constexpr wp_fractional_scale_v1_listener fractionalListener{&preferredScale};
    static constexpr wl_keyboard_listener keyboardListener{&keymap, &keyboardEnter, &keyboardLeave,
                                                           &key,    &modifiers,     &repeatInfo};
    static constexpr wl_pointer_listener pointerListener{
        &pointerEnter,
        &pointerLeave,
        &pointerMotion,
        &pointerButton,
        [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
        [](void*, wl_pointer*) {},
        [](void*, wl_pointer*, std::uint32_t) {},
        [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
        [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
        [](void*, wl_pointer*, std::uint32_t, std::int32_t) {}};
};

WaylandPanelLayers::WaylandPanelLayers(WaylandLayerShell& wayland) : wayland_(wayland) {
}

WaylandPanelLayers::~WaylandPanelLayers() = default;

bool WaylandPanelLayers::connect() {
    if (!wayland_.available()) {
        return false;
    }
    if (connection_ == nullptr) {
        connection_ = std::make_unique<Connection>(wayland_);
        // The keymap of a keyboard just asked for, before any key.
        boundedRoundtrip(wayland_.display(), answerLimit);
    }
    return true;
}

bool WaylandPanelLayers::available() {
    return connect();
}

int WaylandPanelLayers::openPanels(PanelLayersClient* client) {
    closePanels();
    if (!connect() || wayland_.outputs().empty()) {
        return 0;
    }
    Connection& c = *connection_;
    c.client = client;
    c.keyboardPanel = 0;
    for (const auto& output : wayland_.outputs()) {
        auto panel = std::make_unique<Connection::Panel>();
        panel->connection = &c;
        panel->index = static_cast<int>(c.panels.size());
        panel->output = output.get();
        panel->buffers =
            std::make_unique<WaylandPanelBuffers>([&c, raw = panel.get()] { c.ready(*raw); });
        c.createSurface(*panel);
        c.panels.push_back(std::move(panel));
    }
    wayland_.flush();
    return static_cast<int>(c.panels.size());
}

void WaylandPanelLayers::closePanels() {
    if (connection_ == nullptr) {
        return;
    }
    connection_->client = nullptr;
    connection_->outputsTimer.stop();
    connection_->destroyPanels();
    wayland_.flush();
}

bool WaylandPanelLayers::drawFrame(int panel, std::vector<QRect> changed, const FrameDrawer& draw) {
    if (connection_ == nullptr || panel < 0 ||
        panel >= static_cast<int>(connection_->panels.size())) {
        return false;
    }
    return connection_->drawFrame(*connection_->panels[static_cast<std::size_t>(panel)],
                                  std::move(changed), draw);
}

void WaylandPanelLayers::setKeyboardPanel(int panel) {
    if (connection_ == nullptr || panel == connection_->keyboardPanel) {
        return;
    }
    Connection& c = *connection_;
    const auto count = static_cast<int>(c.panels.size());
    if (c.keyboardPanel >= 0 && c.keyboardPanel < count) {
        c.setInteractivity(*c.panels[static_cast<std::size_t>(c.keyboardPanel)], false);
    }
    c.keyboardPanel = panel;
    if (panel >= 0 && panel < count) {
        c.setInteractivity(*c.panels[static_cast<std::size_t>(panel)], true);
    }
    wayland_.flush();
}

} // namespace lumatide
