// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandPanelLayers.h"

#include "fractional-scale-v1-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "linux/WaylandKeyboard.h"
#include "linux/WaylandPanelBuffers.h"
#include "linux/WaylandRoundtrip.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QSocketNotifier>
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
// A surface the compositor gave the keyboard to instead of the panel is answered this soon:
// long enough that a burst of focus changes costs one request, short enough that the next key
// typed is the panel's.
constexpr int keyboardRearmDelayMs = 50;
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

struct WaylandPanelLayers::Connection {
    struct Output {
        Connection* connection = nullptr;
        std::uint32_t name = 0;
        wl_output* output = nullptr;
        int scale = 1;
    };
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

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    std::uint32_t compositorVersion = 0;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* shell = nullptr;
    zwp_keyboard_shortcuts_inhibit_manager_v1* inhibitManager = nullptr;
    wp_fractional_scale_manager_v1* fractionalManager = nullptr;
    wp_viewporter* viewporter = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_cursor_theme* cursorTheme = nullptr;
    wl_surface* cursorSurface = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    std::vector<std::unique_ptr<Panel>> panels;
    PanelLayersClient* client = nullptr;
    int keyboardPanel = 0;
    Panel* keyboardFocus = nullptr;
    Panel* pointerFocus = nullptr;
    WaylandKeyboard keys;
    std::unique_ptr<QSocketNotifier> socket;
    QTimer rearmTimer;
    QTimer outputsTimer;
    bool lost = false;

    Connection()
        : keys([this](const LayerKey& key) {
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
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        socket.reset();
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
        if (seat != nullptr) {
            wl_seat_destroy(seat);
        }
        for (const auto& output : outputs) {
            wl_output_destroy(output->output);
        }
        if (inhibitManager != nullptr) {
            zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(inhibitManager);
        }
        if (fractionalManager != nullptr) {
            wp_fractional_scale_manager_v1_destroy(fractionalManager);
        }
        if (viewporter != nullptr) {
            wp_viewporter_destroy(viewporter);
        }
        if (shell != nullptr) {
            zwlr_layer_shell_v1_destroy(shell);
        }
        if (shm != nullptr) {
            wl_shm_destroy(shm);
        }
        if (compositor != nullptr) {
            wl_compositor_destroy(compositor);
        }
        if (registry != nullptr) {
            wl_registry_destroy(registry);
        }
        if (display != nullptr) {
            wl_display_flush(display);
            wl_display_disconnect(display);
        }
    }

    // --- panels -----------------------------------------------------------------------------

    void createSurface(Panel& panel) {
        panel.surface = wl_compositor_create_surface(compositor);
        panel.layer = zwlr_layer_shell_v1_get_layer_surface(
            shell, panel.surface, panel.output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
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
        if (inhibitManager != nullptr && seat != nullptr) {
            panel.inhibitor = zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(
                inhibitManager, panel.surface, seat);
        }
        // Scales such as 1.5 are drawn at the output's own pixels and shown through a viewport.
        if (fractionalManager != nullptr && viewporter != nullptr) {
            panel.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(
                fractionalManager, panel.surface);
            wp_fractional_scale_v1_add_listener(panel.fractional, &fractionalListener, &panel);
            panel.viewport = wp_viewporter_get_viewport(viewporter, panel.surface);
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
        wl_display_flush(display);
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
        WaylandPanelBuffers::Buffer* buffer = panel.buffers->acquire(shm, size, changed);
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
            if (compositorVersion >= 4) {
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
        wl_display_flush(display);
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
            cursorTheme = wl_cursor_theme_load(nullptr, cursorSize, shm);
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
            cursorSurface = wl_compositor_create_surface(compositor);
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

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto* self = static_cast<Connection*>(data);
        const auto is = [interface](const wl_interface& known) {
            return std::strcmp(interface, known.name) == 0;
        };
        if (is(wl_compositor_interface) && version >= 3) {
            self->compositorVersion = std::min(version, 4U);
            self->compositor = static_cast<wl_compositor*>(wl_registry_bind(
                registry, name, &wl_compositor_interface, self->compositorVersion));
        } else if (is(wl_shm_interface)) {
            self->shm =
                static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (is(zwlr_layer_shell_v1_interface)) {
            self->shell = static_cast<zwlr_layer_shell_v1*>(
                wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
        } else if (is(wp_fractional_scale_manager_v1_interface)) {
            self->fractionalManager = static_cast<wp_fractional_scale_manager_v1*>(
                wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
        } else if (is(wp_viewporter_interface)) {
            self->viewporter = static_cast<wp_viewporter*>(
                wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
        } else if (is(zwp_keyboard_shortcuts_inhibit_manager_v1_interface)) {
            self->inhibitManager =
                static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(wl_registry_bind(
                    registry, name, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
        } else if (is(wl_seat_interface) && version >= 4 && self->seat == nullptr) {
            self->seat = static_cast<wl_seat*>(
                wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5U)));
            wl_seat_add_listener(self->seat, &seatListener, self);
        } else if (is(wl_output_interface) && version >= 2) {
            auto output = std::make_unique<Output>();
            output->connection = self;
            output->name = name;
            output->output =
                static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
            wl_output_add_listener(output->output, &outputListener, output.get());
            self->outputs.push_back(std::move(output));
            if (!self->panels.empty()) {
                self->outputsTimer.start();
            }
        }
    }
    static void globalRemove(void* data, wl_registry*, std::uint32_t name) {
        auto* self = static_cast<Connection*>(data);
        const auto gone = std::find_if(self->outputs.begin(), self->outputs.end(),
                                       [name](const auto& output) { return output->name == name; });
        if (gone == self->outputs.end()) {
            return;
        }
        if (!self->panels.empty()) {
            // The panels are built anew for the outputs that are left.
            self->destroyPanels();
            self->outputsTimer.start();
        }
        wl_output_destroy((*gone)->output);
        self->outputs.erase(gone);
    }

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
        wl_region* opaque = wl_compositor_create_region(self.compositor);
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
        wl_display_flush(self.display);
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
    static void outputScale(void* data, wl_output*, std::int32_t factor) {
        auto* output = static_cast<Output*>(data);
        const int scale = std::max(factor, 1);
        if (scale == output->scale) {
            return;
        }
        output->scale = scale;
        // A scale changed during a rest: the panels on that output are drawn anew at it.
        Connection& self = *output->connection;
        for (const auto& panel : self.panels) {
            if (panel->output == output && panel->configured && panel->preferredScale == 0 &&
                self.client != nullptr) {
                self.client->panelConfigured(panel->index, panel->logicalSize, scale);
            }
        }
    }

    static void capabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
        auto* self = static_cast<Connection*>(data);
        const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
        const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
        if (hasKeyboard && self->keyboard == nullptr) {
            self->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(self->keyboard, &keyboardListener, self);
        } else if (!hasKeyboard && self->keyboard != nullptr) {
            wl_keyboard_release(self->keyboard);
            self->keyboard = nullptr;
            self->keyboardFocus = nullptr;
            self->keys.stopRepeat();
        }
        if (hasPointer && self->pointer == nullptr) {
            self->pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(self->pointer, &pointerListener, self);
        } else if (!hasPointer && self->pointer != nullptr) {
            wl_pointer_release(self->pointer);
            self->pointer = nullptr;
            self->pointerFocus = nullptr;
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

    static constexpr wl_registry_listener registryListener{&global, &globalRemove};
    static constexpr zwlr_layer_surface_v1_listener layerListener{&configure, &closed};
    static constexpr wl_callback_listener frameListener{&frameDone};
    static constexpr wp_fractional_scale_v1_listener fractionalListener{&preferredScale};
    static constexpr wl_output_listener outputListener{
        [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
           const char*, const char*, std::int32_t) {},
        [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
        [](void*, wl_output*) {},
        &outputScale,
        [](void*, wl_output*, const char*) {},
        [](void*, wl_output*, const char*) {}};
    static constexpr wl_seat_listener seatListener{&capabilities,
                                                   [](void*, wl_seat*, const char*) {}};
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

WaylandPanelLayers::WaylandPanelLayers(QByteArray displayName)
    : displayName_(std::move(displayName)) {
}

WaylandPanelLayers::~WaylandPanelLayers() = default;

bool WaylandPanelLayers::connect() {
    if (tried_) {
        return connection_ != nullptr && !connection_->lost;
    }
    tried_ = true;
    if (displayName_.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return false;
    }
    auto connection = std::make_unique<Connection>();
    connection->display =
        wl_display_connect(displayName_.isEmpty() ? nullptr : displayName_.constData());
    if (connection->display == nullptr) {
        return false;
    }
    connection->registry = wl_display_get_registry(connection->display);
    wl_registry_add_listener(connection->registry, &Connection::registryListener, connection.get());
    // The globals; then the outputs' scales, the seat's devices; then the keymap.
    for (int round = 0; round < 3; ++round) {
        if (!boundedRoundtrip(connection->display, answerLimit)) {
            return false;
        }
    }
    if (connection->shell == nullptr || connection->compositor == nullptr ||
        connection->shm == nullptr) {
        return false;
    }
    connection_ = std::move(connection);
    connection_->socket = std::make_unique<QSocketNotifier>(wl_display_get_fd(connection_->display),
                                                            QSocketNotifier::Read);
    QObject::connect(connection_->socket.get(), &QSocketNotifier::activated,
                     connection_->socket.get(), [this] {
                         // A compositor that went away stays away for this connection: the
                         // owner is told, and finds no panels when it asks again.
                         if (!readWaylandEvents(connection_->display)) {
                             connection_->lost = true;
                             connection_->socket->setEnabled(false);
                             connection_->destroyPanels();
                             if (connection_->client != nullptr) {
                                 connection_->outputsTimer.start();
                             }
                         }
                     });
    return true;
}

bool WaylandPanelLayers::available() {
    return connect();
}

int WaylandPanelLayers::openPanels(PanelLayersClient* client) {
    closePanels();
    if (!connect() || connection_->outputs.empty()) {
        return 0;
    }
    Connection& c = *connection_;
    c.client = client;
    c.keyboardPanel = 0;
    for (const auto& output : c.outputs) {
        auto panel = std::make_unique<Connection::Panel>();
        panel->connection = &c;
        panel->index = static_cast<int>(c.panels.size());
        panel->output = output.get();
        panel->buffers =
            std::make_unique<WaylandPanelBuffers>([&c, raw = panel.get()] { c.ready(*raw); });
        c.createSurface(*panel);
        c.panels.push_back(std::move(panel));
    }
    wl_display_flush(c.display);
    return static_cast<int>(c.panels.size());
}

void WaylandPanelLayers::closePanels() {
    if (connection_ == nullptr) {
        return;
    }
    connection_->client = nullptr;
    connection_->outputsTimer.stop();
    connection_->destroyPanels();
    wl_display_flush(connection_->display);
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
    wl_display_flush(c.display);
}

} // namespace lumatide
