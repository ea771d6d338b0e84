// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandScreenLayers.h"

#include "linux/WaylandLayerShell.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

namespace lumatide {

namespace {

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

struct WaylandScreenLayers::Connection final : WaylandLayerShell::Watcher {
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

    WaylandLayerShell& wayland;
    std::vector<std::unique_ptr<Corner>> corners; // parallel to the outputs while shown

    explicit Connection(WaylandLayerShell& shell) : wayland(shell) { wayland.addWatcher(this); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() override {
        wayland.removeWatcher(this);
        removeCorners();
        wayland.flush();
    }

    // Pictures shown meanwhile belong to the old set of outputs.
    void outputAdded(WaylandLayerShell::Output&) override { removeCorners(); }
    void outputRemoved(WaylandLayerShell::Output&) override { removeCorners(); }
    void outputScaleChanged(WaylandLayerShell::Output&) override {}
    void seatChanged(std::uint32_t) override {}
    void connectionLost() override {}

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
        wl_shm_pool* pool = wl_shm_create_pool(wayland.shm(), fd, static_cast<std::int32_t>(bytes));
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

    static constexpr zwlr_layer_surface_v1_listener layerListener{&configure, &closed};
};

WaylandScreenLayers::WaylandScreenLayers(WaylandLayerShell& wayland) : wayland_(wayland) {
}

WaylandScreenLayers::~WaylandScreenLayers() = default;

int WaylandScreenLayers::outputCount() {
    if (!wayland_.available()) {
        return 0;
    }
    if (connection_ == nullptr) {
        connection_ = std::make_unique<Connection>(wayland_);
    }
    return static_cast<int>(wayland_.outputs().size());
}

int WaylandScreenLayers::outputScale(int output) const {
    if (output < 0 || output >= static_cast<int>(wayland_.outputs().size())) {
        return 1;
    }
    return wayland_.outputs()[static_cast<std::size_t>(output)]->scale;
}

void WaylandScreenLayers::showCorner(int output, const LayerPicture& picture, int margin) {
    if (connection_ == nullptr || !wayland_.available() || output < 0 ||
        output >= static_cast<int>(wayland_.outputs().size()) || picture.pixels == nullptr ||
        picture.size.isEmpty()) {
        return;
    }
    Connection& c = *connection_;
    c.corners.resize(wayland_.outputs().size());
    auto& corner = c.corners[static_cast<std::size_t>(output)];
    if (corner != nullptr && corner->closed) {
        c.removeCorner(*corner);
        corner.reset();
    }
    const int scale = std::max(picture.scale, 1);
    if (corner == nullptr) {
        corner = std::make_unique<Connection::Corner>();
        corner->connection = &c;
        corner->surface = wl_compositor_create_surface(wayland_.compositor());
        // An empty input region: clicks go to whatever is beneath.
        wl_region* nothing = wl_compositor_create_region(wayland_.compositor());
        wl_surface_set_input_region(corner->surface, nothing);
        wl_region_destroy(nothing);
        corner->layer = zwlr_layer_shell_v1_get_layer_surface(
            wayland_.shell(), corner->surface,
            wayland_.outputs()[static_cast<std::size_t>(output)]->output,
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
    wayland_.flush();
}

void WaylandScreenLayers::hideCorners() {
    if (connection_ == nullptr) {
        return;
    }
    connection_->removeCorners();
    wayland_.flush();
}

} // namespace lumatide
