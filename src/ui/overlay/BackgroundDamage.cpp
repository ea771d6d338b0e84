// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BackgroundDamage.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace lumatide {

namespace {

// Half a level of an 8-bit channel.
constexpr double halfLevel = 0.5 / 255.0;

double largestChannelGap(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.redF() - b.redF()), std::abs(a.greenF() - b.greenF()),
                     std::abs(a.blueF() - b.blueF())});
}

// One strip's share of a glow: the columns [left, right) of the strip's rows.
struct StripSpan {
    int strip = 0;
    int left = 0;
    int right = 0;
};

void addGlow(std::vector<StripSpan>& spans, const BackgroundGlow& glow, double extent,
             const QRectF& bounds) {
    const double a = extent * glow.radius; // half width of the visible ellipse
    const double b = glowFlattening * a;   // half height
    if (!(a > 0.0)) {
        return;
    }
    const double top = bounds.top();
    const int first =
        static_cast<int>(std::floor((glow.center.y() - b - 1.0 - top) / glowStripHeight));
    const int last =
        static_cast<int>(std::floor((glow.center.y() + b + 1.0 - top) / glowStripHeight));
    for (int strip = first; strip <= last; ++strip) {
        const double y0 = top + strip * glowStripHeight;
        const double y1 = y0 + glowStripHeight;
        // The strip is as wide as the ellipse at its row nearest the centre.
        const double nearest = std::clamp(glow.center.y(), y0, y1) - glow.center.y();
        const double q = 1.0 - (nearest * nearest) / (b * b);
        const double half = q > 0.0 ? a * std::sqrt(q) : 0.0;
        spans.push_back({strip, static_cast<int>(std::floor(glow.center.x() - half)) - 1,
                         static_cast<int>(std::ceil(glow.center.x() + half)) + 1});
    }
}

void addScene(std::vector<StripSpan>& spans, const BackgroundScene& scene, const QRectF& bounds) {
    // The lower glow lies on the gradient; the upper one on the gradient and the lower glow.
    addGlow(spans, scene.lowerGlow,
            visibleGlowExtent(scene.lowerGlow, {scene.bottomColor, scene.topColor}), bounds);
    addGlow(spans, scene.upperGlow,
            visibleGlowExtent(scene.upperGlow,
                              {scene.bottomColor, scene.topColor, scene.lowerGlow.color}),
            bounds);
}

// The spans merged strip by strip into the rectangles of a region, already in the order a
// region keeps them: building it by unions would cost a pass over the region per strip.
QRegion regionOf(std::vector<StripSpan>& spans, const QRectF& bounds) {
    std::sort(spans.begin(), spans.end(), [](const StripSpan& x, const StripSpan& y) {
        return x.strip != y.strip ? x.strip < y.strip : x.left < y.left;
    });
    const QRect area = bounds.toAlignedRect();
    std::vector<QRect> rects;
    rects.reserve(spans.size());
    std::size_t bandStart = 0; // where the rectangles of the strip before begin
    std::size_t bandEnd = 0;
    for (std::size_t i = 0; i < spans.size();) {
        const int strip = spans[i].strip;
        const int top =
            std::max(area.top(), static_cast<int>(bounds.top()) + strip * glowStripHeight);
        const int bottom = std::min(area.bottom() + 1,
                                    static_cast<int>(bounds.top()) + (strip + 1) * glowStripHeight);
        const std::size_t start = rects.size();
        int left = spans[i].left;
        int right = spans[i].right;
        const auto emit = [&] {
            const int l = std::max(left, area.left());
            const int r = std::min(right, area.right() + 1);
            if (top < bottom && l < r) {
                rects.emplace_back(l, top, r - l, bottom - top);
            }
        };
        for (++i; i < spans.size() && spans[i].strip == strip; ++i) {
            if (spans[i].left <= right) {
                right = std::max(right, spans[i].right);
            } else {
                emit();
                left = spans[i].left;
                right = spans[i].right;
            }
        }
        emit();
        // A strip with the columns of the one just above it joins it, as a region would.
        const std::size_t count = rects.size() - start;
        const bool same =
            count > 0 && count == bandEnd - bandStart && rects[bandStart].bottom() + 1 == top &&
            std::equal(rects.begin() + static_cast<std::ptrdiff_t>(start), rects.end(),
                       rects.begin() + static_cast<std::ptrdiff_t>(bandStart),
                       [](const QRect& x, const QRect& y) {
                           return x.left() == y.left() && x.right() == y.right();
                       });
        if (same) {
            for (std::size_t k = bandStart; k < bandEnd; ++k) {
                rects[k].setBottom(bottom - 1);
            }
            rects.resize(start);
        } else if (count > 0) {
            bandStart = start;
            bandEnd = rects.size();
        }
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace

double visibleGlowExtent(const BackgroundGlow& glow, std::initializer_list<QColor> beneath) {
    double gap = 0.0;
    for (const QColor& colour : beneath) {
        gap = std::max(gap, largestChannelGap(glow.color, colour));
    }
    // Over a mix of colours a glow's effect on a channel is its opacity times the distance to
    // the glow's colour, largest at one of the colours mixed.
    const std::array<double, glowBands + 1> opacity = glowBandOpacities(glow.color.alphaF());
    for (int k = glowBands; k >= 1; --k) {
        if (opacity[static_cast<std::size_t>(k)] * gap >= halfLevel) {
            return static_cast<double>(k) / glowBands;
        }
    }
    return 0.0;
}

QRegion glowRegion(const BackgroundScene& scene, const QRectF& bounds) {
    std::vector<StripSpan> spans;
    addScene(spans, scene, bounds);
    return regionOf(spans, bounds);
}

QRegion glowRegion(const BackgroundScene& scene, const BackgroundScene& before,
                   const QRectF& bounds) {
    std::vector<StripSpan> spans;
    addScene(spans, scene, bounds);
    addScene(spans, before, bounds);
    return regionOf(spans, bounds);
}

} // namespace lumatide
