#include "overlay/BackgroundDamage.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <cmath>

namespace lumatide {

namespace {

// Half a level of an 8-bit channel.
constexpr double halfLevel = 0.5 / 255.0;

double largestChannelGap(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.redF() - b.redF()), std::abs(a.greenF() - b.greenF()),
                     std::abs(a.blueF() - b.blueF())});
}

void addGlow(QRegion& region, const BackgroundGlow& glow, double extent, const QRectF& bounds) {
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
        const int left = static_cast<int>(std::floor(glow.center.x() - half)) - 1;
        const int right = static_cast<int>(std::ceil(glow.center.x() + half)) + 1;
        region += QRect(left, static_cast<int>(y0), right - left, glowStripHeight);
    }
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
    QRegion region;
    // The lower glow lies on the gradient; the upper one on the gradient and the lower glow.
    addGlow(region, scene.lowerGlow,
            visibleGlowExtent(scene.lowerGlow, {scene.bottomColor, scene.topColor}), bounds);
    addGlow(region, scene.upperGlow,
            visibleGlowExtent(scene.upperGlow,
                              {scene.bottomColor, scene.topColor, scene.lowerGlow.color}),
            bounds);
    return region.intersected(bounds.toAlignedRect());
}

} // namespace lumatide
