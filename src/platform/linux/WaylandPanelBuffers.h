// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <vector>

struct wl_buffer;
struct wl_shm;

namespace lumatide {

// A rest panel's two pictures in shared memory: the compositor reads the one shown last while
// the program draws the next frame straight into the other. Before that, the other is brought
// up to date by copying from the one shown last only what changed since it was drawn itself, and
// only outside what is about to be drawn anyway; when the compositor has already let go of the
// one shown last, it is drawn into again and nothing is copied.
class WaylandPanelBuffers {
public:
    struct Buffer {
        WaylandPanelBuffers* owner = nullptr;
        wl_buffer* buffer = nullptr;
        void* memory = nullptr;
        std::size_t bytes = 0;
        QSize size;
        qsizetype bytesPerLine = 0;
        bool busy = false;
        // What changed since this buffer was last drawn into, in pixels.
        std::vector<QRect> stale;
    };

    // `released` is called when the compositor lets go of a buffer.
    explicit WaylandPanelBuffers(std::function<void()> released);
    ~WaylandPanelBuffers();
    WaylandPanelBuffers(const WaylandPanelBuffers&) = delete;
    WaylandPanelBuffers& operator=(const WaylandPanelBuffers&) = delete;

    // The buffer to draw the next frame into, `size` pixels, holding the frame shown last
    // everywhere outside `draw`; `draw` grows by what could not be restored (a new buffer
    // after a resize). Null while the compositor holds both, or when memory cannot be had.
    Buffer* acquire(wl_shm* shm, QSize size, std::vector<QRect>& draw);
    // The frame drawn into `buffer`, of which `changed` differs from the one before, is shown.
    void shown(Buffer& buffer, const std::vector<QRect>& changed);
    // Lets go of both buffers.
    void clear();

private:
    bool allocate(wl_shm* shm, Buffer& buffer, QSize size);
    static void free(Buffer& buffer);
    static void bufferReleased(void* data, wl_buffer* buffer);

    std::function<void()> released_;
    std::array<Buffer, 2> buffers_;
    // The buffer shown last: the one complete picture of the panel.
    Buffer* front_ = nullptr;
};

} // namespace lumatide
