// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QtGlobal>

namespace lumatide {

// A picture for a screen layer: premultiplied ARGB, 32 bits a pixel in native byte order, at
// `scale` pixels per logical pixel.
struct LayerPicture {
    const uchar* pixels = nullptr;
    QSize size;
    qsizetype bytesPerLine = 0;
    int scale = 1;
};

// Pictures the compositor itself keeps above every window, full-screen ones included, one per
// output, where the desktop offers that (a Wayland layer shell): the program draws, the
// compositor places them. Clicks pass through them and they never take the keyboard.
class ScreenLayers {
public:
    virtual ~ScreenLayers() = default;

    // The outputs pictures can be shown on; 0 where there is no such layer.
    virtual int outputCount() = 0;
    // Pixels per logical pixel of the output.
    virtual int outputScale(int output) const = 0;
    // Shows the picture in the top-right corner of the output's usable area, `margin` logical
    // pixels in from both edges; replaces what the output showed there.
    virtual void showCorner(int output, const LayerPicture& picture, int margin) = 0;
    // Removes every corner picture.
    virtual void hideCorners() = 0;

protected:
    ScreenLayers() = default;
    ScreenLayers(const ScreenLayers&) = default;
    ScreenLayers& operator=(const ScreenLayers&) = default;
};

} // namespace lumatide
