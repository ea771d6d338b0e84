// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandScreenLayers.h"

#include "linux/WaylandRoundtrip.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

namespace lumatide {

namespace {

constexpr std::chrono::milliseconds answerLimit{500};

// One picture handed to the compositor; freed when the compositor lets go of it.
struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    void* memory = MAP_FAILED;
    std::size_t bytes = 0;
};

void releaseBuffer(void* data, wl_buffer* buffer) {
    auto* shm = static_cast<ShmBuffer*>(data);
    wl_buffer_destroy(buffer);
    if (shm->memory != MAP_FAILED) {
        munmap(shm->memory, shm->bytes);
    }
    delete shm;
}

constexpr wl_buffer_listener bufferListener{&releaseBuffer};

} // namespace

struct WaylandScreenLayers::Connection {
    struct Output {
        std::uint32_t name = 0;
        wl_output* output = nullptr;
        int scale = 1;
    };
    // A corner picture on one output.
    struct Corner {
        Connection* connection = nullptr;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        bool configured = false;
        bool closed = false;
        QByteArray pixels; // the picture waiting for the first configure
        QSize size;
        qsizetype bytesPerLine = 0;
        int scale = 1;
    };

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* shell = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    std::vector<std::unique_ptr<Corner>> corners; // parallel to outputs while shown
    std::unique_ptr<QSocketNotifier> socket;
    bool lost = false;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        socket.reset();
        removeCorners();
        for (const auto& output : outputs) {
            wl_output_destroy(output->output);
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

    void removeCorner(Corner& corner) {
        if (corner.layer != nullptr) {
            zwlr_layer_surface_v1_destroy(corner.layer);
            corner.layer = nullptr;
        }
        if (corner.surface != nullptr) {
            wl_surface_destroy(corner.surface);
            corner.surface = nullptr;
        }
    }
    void removeCorners() {
        for (const auto& corner : corners) {
            if (corner != nullptr) {
                removeCorner(*corner);
            }
        }
        corners.clear();
    }

    // Copies the corner's picture into a new shared-memory buffer and shows it.
    void present(Corner& corner) {
        const std::size_t bytes = static_cast<std::size_t>(corner.bytesPerLine) *
                                  static_cast<std::size_t>(corner.size.height());
        const int fd = memfd_create("lumatide-layer", MFD_CLOEXEC);
        if (fd < 0) {
            return;
        }
        auto* buffer = new ShmBuffer;
        buffer->bytes = bytes;
        if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
            buffer->memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        }
        if (buffer->memory == MAP_FAILED) {
            close(fd);
            delete buffer;
            return;
        }
        std::memcpy(buffer->memory, corner.pixels.constData(), bytes);
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
        buffer->buffer = wl_shm_pool_create_buffer(
            pool, 0, corner.size.width(), corner.size.height(),
            static_cast<std::int32_t>(corner.bytesPerLine), WL_SHM_FORMAT_ARGB8888);
        wl_shm_pool_destroy(pool);
        close(fd);
        wl_buffer_add_listener(buffer->buffer, &bufferListener, buffer);
        wl_surface_set_buffer_scale(corner.surface, corner.scale);
        wl_surface_attach(corner.surface, buffer->buffer, 0, 0);
        wl_surface_damage(corner.surface, 0, 0, INT32_MAX, INT32_MAX);
        wl_surface_commit(corner.surface);
    }

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto* self = static_cast<Connection*>(data);
        if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= 3) {
            self->compositor = static_cast<wl_compositor*>(
                wl_registry_bind(registry, name, &wl_compositor_interface, 3));
        } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
            self->shm =
                static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
            self->shell = static_cast<zwlr_layer_shell_v1*>(
                wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
        } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
            auto output = std::make_unique<Output>();
            output->name = name;
            output->output =
                static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
            wl_output_add_listener(output->output, &outputListener, output.get());
            self->outputs.push_back(std::move(output));
            // Pictures shown meanwhile belong to the old set of outputs.
            self->removeCorners();
        }
    }
    static void globalRemove(void* data, wl_registry*, std::uint32_t name) {
        auto* self = static_cast<Connection*>(data);
        const auto gone = std::find_if(self->outputs.begin(), self->outputs.end(),
                                       [name](const auto& output) { return output->name == name; });
        if (gone != self->outputs.end()) {
            self->removeCorners();
            wl_output_destroy((*gone)->output);
            self->outputs.erase(gone);
        }
    }
    static void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                          std::uint32_t, std::uint32_t) {
        auto* corner = static_cast<Corner*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        if (!corner->configured) {
            corner->configured = true;
            corner->connection->present(*corner);
        }
    }
    static void closed(void* data, zwlr_layer_surface_v1*) {
        static_cast<Corner*>(data)->closed = true;
    }

    static constexpr wl_registry_listener registryListener{&global, &globalRemove};
    static constexpr wl_output_listener outputListener{
        [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
           const char*, const char*, std::int32_t) {},
        [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
        [](void*, wl_output*) {},
        [](void* data, wl_output*, std::int32_t factor) {
            static_cast<Output*>(data)->scale = std::max(factor, 1);
        },
        [](void*, wl_output*, const char*) {},
        [](void*, wl_output*, const char*) {}};
    static constexpr zwlr_layer_surface_v1_listener layerListener{&configure, &closed};
};

WaylandScreenLayers::WaylandScreenLayers(QByteArray displayName)
    : displayName_(std::move(displayName)) {
}

WaylandScreenLayers::~WaylandScreenLayers() = default;

int WaylandScreenLayers::outputCount() {
    if (!tried_) {
        tried_ = true;
        if (displayName_.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            return 0;
        }
        auto connection = std::make_unique<Connection>();
        connection->display =
            wl_display_connect(displayName_.isEmpty() ? nullptr : displayName_.constData());
        if (connection->display == nullptr) {
            return 0;
        }
        connection->registry = wl_display_get_registry(connection->display);
        wl_registry_add_listener(connection->registry, &Connection::registryListener,
                                 connection.get());
        // The globals, then each output's scale.
        if (!boundedRoundtrip(connection->display, answerLimit) || connection->shell == nullptr ||
            connection->compositor == nullptr || connection->shm == nullptr ||
            !boundedRoundtrip(connection->display, answerLimit)) {
            return 0;
        }
        connection_ = std::move(connection);
        connection_->socket = std::make_unique<QSocketNotifier>(
            wl_display_get_fd(connection_->display), QSocketNotifier::Read);
        QObject::connect(connection_->socket.get(), &QSocketNotifier::activated,
                         connection_->socket.get(), [this] { readEvents(); });
    }
    if (connection_ == nullptr || connection_->lost) {
        return 0;
    }
    return static_cast<int>(connection_->outputs.size());
}

int WaylandScreenLayers::outputScale(int output) const {
    if (connection_ == nullptr || output < 0 ||
        output >= static_cast<int>(connection_->outputs.size())) {
        return 1;
    }
    return connection_->outputs[static_cast<std::size_t>(output)]->scale;
}

void WaylandScreenLayers::showCorner(int output, const LayerPicture& picture, int margin) {
    if (connection_ == nullptr || connection_->lost || output < 0 ||
        output >= static_cast<int>(connection_->outputs.size()) || picture.pixels == nullptr ||
        picture.size.isEmpty()) {
        return;
    }
    Connection& c = *connection_;
    c.corners.resize(c.outputs.size());
    auto& corner = c.corners[static_cast<std::size_t>(output)];
    if (corner != nullptr && corner->closed) {
        c.removeCorner(*corner);
        corner.reset();
    }
    const int scale = std::max(picture.scale, 1);
    if (corner == nullptr) {
        corner = std::make_unique<Connection::Corner>();
        corner->connection = &c;
        corner->surface = wl_compositor_create_surface(c.compositor);
        // An empty input region: clicks go to whatever is beneath.
        wl_region* nothing = wl_compositor_create_region(c.compositor);
        wl_surface_set_input_region(corner->surface, nothing);
        wl_region_destroy(nothing);
        corner->layer = zwlr_layer_shell_v1_get_layer_surface(
            c.shell, corner->surface, c.outputs[static_cast<std::size_t>(output)]->output,
            ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "lumatide-toast");
        zwlr_layer_surface_v1_add_listener(corner->layer, &Connection::layerListener, corner.get());
        zwlr_layer_surface_v1_set_size(corner->layer,
                                       static_cast<std::uint32_t>(picture.size.width() / scale),
                                       static_cast<std::uint32_t>(picture.size.height() / scale));
        zwlr_layer_surface_v1_set_anchor(corner->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_margin(corner->layer, margin, margin, 0, 0);
        zwlr_layer_surface_v1_set_keyboard_interactivity(corner->layer, 0);
        wl_surface_commit(corner->surface);
    }
    corner->pixels = QByteArray(reinterpret_cast<const char*>(picture.pixels),
                                picture.bytesPerLine * picture.size.height());
    corner->size = picture.size;
    corner->bytesPerLine = picture.bytesPerLine;
    corner->scale = scale;
    // Before the first configure the picture waits; afterwards it is shown at once.
    if (corner->configured) {
        c.present(*corner);
    }
    wl_display_flush(c.display);
}

void WaylandScreenLayers::hideCorners() {
    if (connection_ == nullptr) {
        return;
    }
    connection_->removeCorners();
    wl_display_flush(connection_->display);
}

void WaylandScreenLayers::readEvents() {
    // A compositor that went away stays away for this connection: report nothing from now on
    // rather than stale answers.
    if (!readWaylandEvents(connection_->display)) {
        connection_->lost = true;
        connection_->socket->setEnabled(false);
    }
}

} // namespace lumatide
