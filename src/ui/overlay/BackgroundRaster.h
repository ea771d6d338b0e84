// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QRectF>
#include <array>

class QImage;

namespace lumatide {

// Paints the gradient and the two glows of the background (everything but the wave line) into
// an opaque 32-bit image: the picture of paintBackground, built the cheap way. Along a row the
// gradient has one colour and each glow is a set of nested flat bands, so a row is a few runs of
// one colour each, and every run is one fill. A full screen costs about what clearing it would.
//
// Everything that depends only on the instant (the scene, the opacity of every band) is worked
// out once on construction, so that one frame painted in many pieces pays for it once.
class BackgroundRaster final {
public:
    BackgroundRaster(const QRectF& bounds, double ratio, double elapsedSeconds);

    // Paints the device pixels of `area` (in device pixels of the bounds at the ratio, its top
    // left corner being pixel 0, 0). The image holds device rows from `firstRow` on, as many as
    // it has, and is as wide as the area's right edge at least: a band of rows is enough, the
    // screen need not be held twice.
    void paint(QImage& image, int firstRow, const QRect& area) const;

    static constexpr int bands = 36;

    // A glow in device pixels, with what each of its bands does to the colour beneath:
    // colour' = colour * keep[k] + add[k] (red, green, blue and a spare lane).
    struct Glow {
        double cx = 0.0;
        double cy = 0.0;
        double radius = 0.0;
        std::array<float, bands + 1> keep{};
        alignas(16) std::array<std::array<float, 4>, bands + 1> add{};
    };

private:
    double ratio_ = 0.0;
    double height_ = 0.0;
    alignas(16) std::array<float, 4> bottom_{};
    alignas(16) std::array<float, 4> top_{};
    std::array<Glow, 2> glows_{}; // lower, then upper: the order they are laid on
};

} // namespace lumatide
