// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandPanelBuffers.h"

#include <QRegion>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace lumatide {

namespace {

// Beyond this many rectangles a list of changes is kept as the one rectangle around them: a
// buffer the compositor keeps giving back at once is the only one drawn into, and the other's
// list would otherwise grow for the whole rest.
constexpr std::size_t rectangleLimit = 32;

void addChanges(std::vector<QRect>& into, const std::vector<QRect>& rects, const QRect& bounds) {
    for (const QRect& rect : rects) {
        const QRect part = rect.intersected(bounds);
        if (!part.isEmpty()) {
            into.push_back(part);
        }
    }
    if (into.size() > rectangleLimit) {
        QRect around;
        for (const QRect& rect : into) {
            around = around.united(rect);
        }
        into = {around};
    }
}

} // namespace

WaylandPanelBuffers::WaylandPanelBuffers(std::function<void()> released)
    : released_(std::move(released)) {
    for (Buffer& buffer : buffers_) {
        buffer.owner = this;
    }
}

WaylandPanelBuffers::~WaylandPanelBuffers() {
    clear();
}

void WaylandPanelBuffers::clear() {
    for (Buffer& buffer : buffers_) {
        free(buffer);
    }
    front_ = nullptr;
}

void WaylandPanelBuffers::free(Buffer& buffer) {
    if (buffer.buffer != nullptr) {
        wl_buffer_destroy(buffer.buffer);
        buffer.buffer = nullptr;
    }
    if (buffer.memory != nullptr) {
        munmap(buffer.memory, buffer.bytes);
        buffer.memory = nullptr;
    }
    buffer.busy = false;
    buffer.size = QSize();
    buffer.stale.clear();
}

bool WaylandPanelBuffers::allocate(wl_shm* shm, Buffer& buffer, QSize size) {
    if (front_ == &buffer) {
        front_ = nullptr;
    }
    free(buffer);
    const qsizetype bytesPerLine = static_cast<qsizetype>(size.width()) * 4;
    const std::size_t bytes =
        static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(size.height());
    const int fd = memfd_create("lumatide-rest", MFD_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
        memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
    // Opaque: the compositor need not blend the panel with what is beneath.
    buffer.buffer =
        wl_shm_pool_create_buffer(pool, 0, size.width(), size.height(),
                                  static_cast<std::int32_t>(bytesPerLine), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    static constexpr wl_buffer_listener listener{&bufferReleased};
    wl_buffer_add_listener(buffer.buffer, &listener, &buffer);
    buffer.memory = memory;
    buffer.bytes = bytes;
    buffer.size = size;
    buffer.bytesPerLine = bytesPerLine;
    buffer.stale = {QRect(QPoint(0, 0), size)};
    return true;
}

WaylandPanelBuffers::Buffer* WaylandPanelBuffers::acquire(wl_shm* shm, QSize size,
                                                          std::vector<QRect>& draw) {
    Buffer* chosen = nullptr;
    if (front_ != nullptr && !front_->busy) {
        chosen = front_;
    } else {
        for (Buffer& buffer : buffers_) {
            if (!buffer.busy) {
                chosen = &buffer;
                break;
            }
        }
    }
    if (chosen == nullptr || (chosen->size != size && !allocate(shm, *chosen, size))) {
        return nullptr;
    }
    QRegion missing;
    for (const QRect& rect : chosen->stale) {
        missing += rect;
    }
    for (const QRect& rect : draw) {
        missing -= rect;
    }
    chosen->stale.clear();
    if (missing.isEmpty()) {
        return chosen;
    }
    if (front_ == nullptr || front_ == chosen || front_->size != size) {
        // Nothing to copy from: drawn anew.
        for (const QRect& rect : missing) {
            draw.push_back(rect);
        }
        return chosen;
    }
    const auto* source = static_cast<const uchar*>(front_->memory);
    auto* target = static_cast<uchar*>(chosen->memory);
    for (const QRect& rect : missing) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const qsizetype offset = y * chosen->bytesPerLine + rect.left() * 4;
            std::memcpy(target + offset, source + offset,
                        static_cast<std::size_t>(rect.width()) * 4);
        }
    }
    return chosen;
}

void WaylandPanelBuffers::shown(Buffer& buffer, const std::vector<QRect>& changed) {
    const QRect bounds(QPoint(0, 0), buffer.size);
    for (Buffer& other : buffers_) {
        if (&other != &buffer && other.buffer != nullptr) {
            addChanges(other.stale, changed, bounds);
        }
    }
    buffer.busy = true;
    front_ = &buffer;
}

void WaylandPanelBuffers::bufferReleased(void* data, wl_buffer*) {
    auto* buffer = static_cast<Buffer*>(data);
    buffer->busy = false;
    if (buffer->owner->released_) {
        buffer->owner->released_();
    }
}

} // namespace lumatide
