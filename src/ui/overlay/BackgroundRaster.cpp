// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BackgroundRaster.h"

#include "overlay/BackgroundPainter.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace lumatide {

static_assert(BackgroundRaster::bands == glowBands);

namespace {

// Red, green, blue and a spare lane, worked on at once: a row has some seventy runs, and each
// run's colour is two blends and a rounding.
using Vec4 = float __attribute__((vector_size(16)));
using Vec4i = std::int32_t __attribute__((vector_size(16)));

std::array<float, 4> channels(const QColor& c) {
    return {c.redF(), c.greenF(), c.blueF(), 0.0f};
}

Vec4 load(const std::array<float, 4>& c) {
    Vec4 v;
    std::memcpy(&v, c.data(), sizeof v);
    return v;
}

// Every colour here is a mix of colours within 0..1, so it is within 0..1 itself.
std::uint32_t pack(Vec4 c) {
    const Vec4i level = __builtin_convertvector(c * 255.0f + 0.5f, Vec4i);
    return 0xff000000u | static_cast<std::uint32_t>(level[0]) << 16 |
           static_cast<std::uint32_t>(level[1]) << 8 | static_cast<std::uint32_t>(level[2]);
}

// Where a glow changes band along a row: at `x` the row enters (or leaves) band `band`.
struct BandEdge {
    int x = 0;
    int glow = 0; // 0 lower, 1 upper
    int band = 0;
};

using Edges = std::array<BandEdge, std::size_t{4} * glowBands>;

// std::ceil and std::floor are library calls without SSE 4.1, and a row needs seventy of them;
// the values here are pixel positions, well within int.
int ceilToInt(double v) {
    const int t = static_cast<int>(v);
    return t + (v > t ? 1 : 0);
}

int floorToInt(double v) {
    const int t = static_cast<int>(v);
    return t - (v < t ? 1 : 0);
}

BackgroundRaster::Glow deviceGlow(const BackgroundGlow& glow, QPointF origin, double ratio) {
    BackgroundRaster::Glow d;
    d.cx = (glow.center.x() - origin.x()) * ratio;
    d.cy = (glow.center.y() - origin.y()) * ratio;
    d.radius = glow.radius * ratio;
    const std::array<float, 4> colour = channels(glow.color);
    const std::array<double, glowBands + 1> opacity = glowBandOpacities(glow.color.alphaF());
    for (std::size_t k = 0; k < opacity.size(); ++k) {
        d.keep[k] = static_cast<float>(1.0 - opacity[k]);
        for (std::size_t c = 0; c < 3; ++c) {
            d.add[k][c] = static_cast<float>(colour[c] * opacity[k]);
        }
    }
    return d;
}

// (k / 36)^2 for each ellipse k.
constexpr std::array<double, glowBands + 1> ellipseSquares = [] {
    std::array<double, glowBands + 1> squares{};
    for (int k = 0; k <= glowBands; ++k) {
        const double s = static_cast<double>(k) / glowBands;
        squares[static_cast<std::size_t>(k)] = s * s;
    }
    return squares;
}();

// Appends the band edges of one glow along device row y, in increasing x: the pixels whose
// centres lie within ellipse k (k / 36 of the radius) are [left_k, right_k]; they are nested,
// so walking right the band falls from the rim to the middle and rises again.
void appendEdges(const BackgroundRaster::Glow& glow, int which, double y, Edges& edges,
                 int& count) {
    if (!(glow.radius > 0.0)) {
        return;
    }
    const double dy = (y + 0.5 - glow.cy) / (glowFlattening * glow.radius);
    const double q = dy * dy;
    if (q >= 1.0) {
        return; // the row passes above or below the rim
    }
    // The ellipses the row meets, from the outermost (k = 35) inwards; met[i] is k = 35 - i.
    std::array<int, glowBands> left; // filled up to `met` below
    std::array<int, glowBands> right;
    int met = 0;
    for (int k = glowBands - 1; k >= 1; --k) {
        const double s2 = ellipseSquares[static_cast<std::size_t>(k)];
        if (s2 <= q) {
            break;
        }
        const double half = glow.radius * std::sqrt(s2 - q);
        const int l = ceilToInt(glow.cx - half - 0.5);
        const int r = floorToInt(glow.cx + half - 0.5);
        if (l > r) {
            break;
        }
        left[static_cast<std::size_t>(met)] = l;
        right[static_cast<std::size_t>(met)] = r;
        ++met;
    }
    for (int i = 0; i < met; ++i) {
        edges[static_cast<std::size_t>(count++)] = {left[static_cast<std::size_t>(i)], which,
                                                    glowBands - 1 - i};
    }
    for (int i = met - 1; i >= 0; --i) {
        edges[static_cast<std::size_t>(count++)] = {right[static_cast<std::size_t>(i)] + 1, which,
                                                    glowBands - i};
    }
}

// Most runs are a few pixels long, too short for a general fill to pay its way: four pixels a
// store, the last four overlapping the ones before (they have the same colour).
void fillRun(std::uint32_t* pixels, int length, std::uint32_t colour) {
    if (length < 4) {
        for (int i = 0; i < length; ++i) {
            pixels[i] = colour;
        }
        return;
    }
    const Vec4i four{static_cast<std::int32_t>(colour), static_cast<std::int32_t>(colour),
                     static_cast<std::int32_t>(colour), static_cast<std::int32_t>(colour)};
    for (int i = 0; i + 4 <= length; i += 4) {
        std::memcpy(pixels + i, &four, sizeof four);
    }
    std::memcpy(pixels + length - 4, &four, sizeof four);
}

} // namespace

BackgroundRaster::BackgroundRaster(const QRectF& bounds, double ratio, double elapsedSeconds)
    : ratio_(ratio), height_(bounds.height()) {
    if (!(ratio > 0.0)) {
        return;
    }
    const BackgroundScene scene = backgroundSceneAt(bounds, elapsedSeconds);
    bottom_ = channels(scene.bottomColor);
    top_ = channels(scene.topColor);
    glows_ = {deviceGlow(scene.lowerGlow, bounds.topLeft(), ratio),
              deviceGlow(scene.upperGlow, bounds.topLeft(), ratio)};
}

void BackgroundRaster::paint(QImage& image, int firstRow, const QRect& area) const {
    const QRect target = area.intersected(image.rect().translated(0, firstRow));
    if (target.isEmpty() || image.depth() != 32 || !(ratio_ > 0.0)) {
        return;
    }
    Edges edges{};
    for (int y = target.top(); y <= target.bottom(); ++y) {
        // The gradient runs from the bottom edge to the top edge, sampled at the pixel centre.
        const double logicalY = (y + 0.5) / ratio_;
        const double up =
            height_ > 0.0 ? std::clamp((height_ - logicalY) / height_, 0.0, 1.0) : 0.0;
        const Vec4 bottom = load(bottom_);
        const Vec4 base = bottom + (load(top_) - bottom) * static_cast<float>(up);

        int count = 0;
        appendEdges(glows_[0], 0, y, edges, count);
        const int lowerCount = count;
        appendEdges(glows_[1], 1, y, edges, count);
        std::inplace_merge(edges.begin(), edges.begin() + lowerCount, edges.begin() + count,
                           [](const BandEdge& a, const BandEdge& b) { return a.x < b.x; });

        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y - firstRow));
        std::array<std::size_t, 2> band{glowBands, glowBands};
        int x = target.left();
        const auto fillTo = [&](int end) {
            end = std::min(end, target.right() + 1);
            if (end <= x) {
                return;
            }
            const Glow& lower = glows_[0];
            const Glow& upper = glows_[1];
            const Vec4 c =
                (base * lower.keep[band[0]] + load(lower.add[band[0]])) * upper.keep[band[1]] +
                load(upper.add[band[1]]);
            fillRun(row + x, end - x, pack(c));
            x = end;
        };
        for (int i = 0; i < count; ++i) {
            const BandEdge& edge = edges[static_cast<std::size_t>(i)];
            fillTo(edge.x);
            band[static_cast<std::size_t>(edge.glow)] = static_cast<std::size_t>(edge.band);
        }
        fillTo(target.right() + 1);
    }
}

} // namespace lumatide
