#include "overlay/BackgroundPainter.h"

#include "app/Constants.h"
#include "overlay/FlippedFrame.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumatide {

namespace {

constexpr double driftCycle = 54.0;
constexpr int glowPasses = 36;
constexpr double glowFlattening = 0.62; // height of a glow relative to its width

QColor rgb(double r, double g, double b, double alpha) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(alpha));
}

// Alpha of the fill of pass k (k = 36 is the outermost ellipse, k = 1 the innermost).
double passAlpha(int k, double alpha) {
    const double s = static_cast<double>(k) / glowPasses;
    return alpha * std::pow(1.0 - s, 1.7);
}

// The literal glow: 36 nested translucent ellipses, largest first.
void paintStackedGlow(QPainter& painter, const BackgroundGlow& glow) {
    painter.setPen(Qt::NoPen);
    for (int k = glowPasses; k >= 1; --k) {
        const double s = static_cast<double>(k) / glowPasses;
        QColor fill = glow.color;
        fill.setAlphaF(static_cast<float>(passAlpha(k, glow.color.alphaF())));
        painter.setBrush(fill);
        painter.drawEllipse(glow.center, s * glow.radius, glowFlattening * s * glow.radius);
    }
}

// The same picture with one fill. A point at normalised elliptic distance rho lies inside the
// ellipses k = ceil(36 rho) .. 36, all of the same colour, so it shows that colour with the
// combined alpha 1 - prod(1 - a_k) over those passes: a stepped radial profile.
void paintGradientGlow(QPainter& painter, const BackgroundGlow& glow) {
    const double alpha = glow.color.alphaF();
    QGradientStops stops;
    double transmitted = 1.0; // prod(1 - a_k) of the passes from the rim inwards
    std::array<double, glowPasses + 1> combined{};
    for (int k = glowPasses; k >= 1; --k) {
        transmitted *= 1.0 - passAlpha(k, alpha);
        combined[static_cast<std::size_t>(k)] = 1.0 - transmitted;
    }
    // Band k covers rho in ((k - 1) / 36, k / 36]; its edges sit a hair apart so that each band
    // keeps a flat colour up to the next ellipse's rim.
    constexpr double hair = 1e-6;
    for (int k = 1; k <= glowPasses; ++k) {
        QColor band = glow.color;
        band.setAlphaF(static_cast<float>(combined[static_cast<std::size_t>(k)]));
        const double inner = static_cast<double>(k - 1) / glowPasses;
        stops.append({k == 1 ? 0.0 : inner + hair, band});
        stops.append({static_cast<double>(k) / glowPasses, band});
    }
    // The outermost band (k = 36) is fully transparent, and the gradient pads with it beyond
    // the rim.

    QRadialGradient gradient(QPointF(0.0, 0.0), glow.radius);
    gradient.setStops(stops);
    painter.save();
    painter.translate(glow.center);
    painter.scale(1.0, glowFlattening);
    painter.fillRect(QRectF(-glow.radius, -glow.radius, 2.0 * glow.radius, 2.0 * glow.radius),
                     gradient);
    painter.restore();
}

} // namespace

BackgroundScene backgroundSceneAt(const QRectF& bounds, double elapsedSeconds) {
    const FlippedFrame frame(bounds);
    const double t = elapsedSeconds;
    const double b = (1.0 + std::sin(2.0 * std::numbers::pi * t / backgroundBreathingCycle)) * 0.5;
    const double d = std::sin(2.0 * std::numbers::pi * t / driftCycle);
    const double m = std::min(frame.width(), frame.height());

    BackgroundScene scene;
    scene.breath = b;
    scene.drift = d;
    scene.bottomColor = rgb(0.025, 0.045 + 0.012 * b, 0.05 + 0.01 * b, 1.0);
    scene.topColor = rgb(0.07, 0.115 + 0.015 * b, 0.13 + 0.012 * b, 1.0);
    scene.upperGlow = {frame.unit(0.5 + 0.16 * d, 0.62), m * (0.34 + 0.04 * b),
                       rgb(0.22, 0.42, 0.48, 0.16 + 0.05 * b)};
    scene.lowerGlow = {frame.unit(0.5 - 0.22 * d, 0.32), m * (0.28 + 0.03 * (1.0 - b)),
                       rgb(0.1, 0.24, 0.22, 0.12 + 0.04 * (1.0 - b))};
    return scene;
}

void paintSoftGlow(QPainter& painter, const BackgroundGlow& glow, GlowRendering rendering) {
    if (!(glow.radius > 0.0)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (rendering == GlowRendering::stackedEllipses) {
        paintStackedGlow(painter, glow);
    } else {
        paintGradientGlow(painter, glow);
    }
    painter.restore();
}

void paintBackground(QPainter& painter, const QRectF& bounds, double elapsedSeconds,
                     GlowRendering rendering) {
    const FlippedFrame frame(bounds);
    const BackgroundScene scene = backgroundSceneAt(bounds, elapsedSeconds);

    QLinearGradient gradient(frame.unit(0.0, 0.0), frame.unit(0.0, 1.0));
    gradient.setColorAt(0.0, scene.bottomColor);
    gradient.setColorAt(1.0, scene.topColor);
    painter.fillRect(bounds, gradient);

    paintSoftGlow(painter, scene.upperGlow, rendering);
    paintSoftGlow(painter, scene.lowerGlow, rendering);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.035f), 1.4);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(frame.unit(0.18, 0.30));
    wave.cubicTo(frame.unit(0.32, 0.34), frame.unit(0.68, 0.27), frame.unit(0.82, 0.31));
    painter.drawPath(wave);
    painter.restore();
}

} // namespace lumatide
