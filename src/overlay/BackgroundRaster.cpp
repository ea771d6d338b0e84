#include "overlay/BackgroundRaster.h"

#include "overlay/BackgroundPainter.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace lumatide {

namespace {

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

Rgb over(const Rgb& below, const Rgb& colour, double opacity) {
    return {below.r + (colour.r - below.r) * opacity, below.g + (colour.g - below.g) * opacity,
            below.b + (colour.b - below.b) * opacity};
}

// Every colour here is a mix of colours within 0..1, so it is within 0..1 itself.
std::uint32_t pack(const Rgb& c) {
    const auto channel = [](double v) { return static_cast<std::uint32_t>(v * 255.0 + 0.5); };
    return 0xff000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

// Where a glow changes band along a row: at `x` the row enters (or leaves) band `band`.
struct BandEdge {
    int x = 0;
    int glow = 0; // 0 lower, 1 upper
    int band = 0;
};

// A glow in device pixels with the opacity of each band.
struct DeviceGlow {
    double cx = 0.0;
    double cy = 0.0;
    double radius = 0.0;
    Rgb colour;
    std::array<double, glowBands + 1> opacity{};
};

DeviceGlow deviceGlow(const BackgroundGlow& glow, QPointF origin, double ratio) {
    DeviceGlow d;
    d.cx = (glow.center.x() - origin.x()) * ratio;
    d.cy = (glow.center.y() - origin.y()) * ratio;
    d.radius = glow.radius * ratio;
    d.colour = {glow.color.redF(), glow.color.greenF(), glow.color.blueF()};
    d.opacity = glowBandOpacities(glow.color.alphaF());
    return d;
}

// Appends the band edges of one glow along device row y, in increasing x: the pixels whose
// centres lie within ellipse k (k / 36 of the radius) are [left_k, right_k]; they are nested,
// so walking right the band falls from the rim to the middle and rises again.
void appendEdges(const DeviceGlow& glow, int which, double y, std::array<BandEdge, 144>& edges,
                 int& count) {
    if (!(glow.radius > 0.0)) {
        return;
    }
    const double dy = (y + 0.5 - glow.cy) / (glowFlattening * glow.radius);
    const double q = dy * dy;
    std::array<int, glowBands + 1> left{};
    std::array<int, glowBands + 1> right{};
    int innermost = glowBands; // the smallest band this row meets
    for (int k = glowBands - 1; k >= 1; --k) {
        const double s = static_cast<double>(k) / glowBands;
        if (s * s <= q) {
            break;
        }
        const double half = glow.radius * std::sqrt(s * s - q);
        const int l = static_cast<int>(std::ceil(glow.cx - half - 0.5));
        const int r = static_cast<int>(std::floor(glow.cx + half - 0.5));
        if (l > r) {
            break;
        }
        left[static_cast<std::size_t>(k)] = l;
        right[static_cast<std::size_t>(k)] = r;
        innermost = k;
    }
    for (int k = glowBands - 1; k >= innermost; --k) {
        edges[static_cast<std::size_t>(count++)] = {left[static_cast<std::size_t>(k)], which, k};
    }
    for (int k = innermost; k <= glowBands - 1; ++k) {
        edges[static_cast<std::size_t>(count++)] = {right[static_cast<std::size_t>(k)] + 1, which,
                                                    k + 1};
    }
}

} // namespace

void rasterizeBackground(QImage& image, int firstRow, const QRectF& bounds, double ratio,
                         double elapsedSeconds, const QRect& area) {
    const QRect target = area.intersected(image.rect().translated(0, firstRow));
    if (target.isEmpty() || image.depth() != 32 || !(ratio > 0.0)) {
        return;
    }
    const BackgroundScene scene = backgroundSceneAt(bounds, elapsedSeconds);
    const std::array<DeviceGlow, 2> glows{deviceGlow(scene.lowerGlow, bounds.topLeft(), ratio),
                                          deviceGlow(scene.upperGlow, bounds.topLeft(), ratio)};
    const Rgb bottom{scene.bottomColor.redF(), scene.bottomColor.greenF(),
                     scene.bottomColor.blueF()};
    const Rgb top{scene.topColor.redF(), scene.topColor.greenF(), scene.topColor.blueF()};
    const double height = bounds.height();

    std::array<BandEdge, 144> edges{};
    for (int y = target.top(); y <= target.bottom(); ++y) {
        // The gradient runs from the bottom edge to the top edge, sampled at the pixel centre.
        const double logicalY = (y + 0.5) / ratio;
        const double up = height > 0.0 ? std::clamp((height - logicalY) / height, 0.0, 1.0) : 0.0;
        const Rgb base = over(bottom, top, up);

        int count = 0;
        appendEdges(glows[0], 0, y, edges, count);
        const int lowerCount = count;
        appendEdges(glows[1], 1, y, edges, count);
        std::inplace_merge(edges.begin(), edges.begin() + lowerCount, edges.begin() + count,
                           [](const BandEdge& a, const BandEdge& b) { return a.x < b.x; });

        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y - firstRow));
        std::array<int, 2> band{glowBands, glowBands};
        int x = target.left();
        const auto fillTo = [&](int end) {
            end = std::min(end, target.right() + 1);
            if (end <= x) {
                return;
            }
            Rgb c = base;
            for (std::size_t g = 0; g < glows.size(); ++g) {
                const std::size_t k = static_cast<std::size_t>(band[g]);
                c = over(c, glows[g].colour, glows[g].opacity[k]);
            }
            std::fill(row + x, row + end, pack(c));
            x = end;
        };
        for (int i = 0; i < count; ++i) {
            const BandEdge& edge = edges[static_cast<std::size_t>(i)];
            fillTo(edge.x);
            band[static_cast<std::size_t>(edge.glow)] = edge.band;
        }
        fillTo(target.right() + 1);
    }
}

} // namespace lumatide
