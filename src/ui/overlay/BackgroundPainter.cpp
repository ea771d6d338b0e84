// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BackgroundPainter.h"

#include "common/BottomUpFrame.h"
#include "common/Colors.h"
#include "content/RestPanelDesign.h"
#include "overlay/BandedPainting.h"

#include <QBrush>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lumatide {

namespace {

constexpr double driftCycle = 54.0;
constexpr int glowPasses = glowBands;

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
// combined opacity of those passes: a stepped radial profile.
void paintGradientGlow(QPainter& painter, const BackgroundGlow& glow) {
    const std::array<double, glowBands + 1> combined = glowBandOpacities(glow.color.alphaF());
    QGradientStops stops;
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
    QBrush brush(gradient);
    brush.setTransform(
        QTransform::fromTranslate(glow.center.x(), glow.center.y()).scale(1.0, glowFlattening));
    // Whole pixels around the ellipse: outside it the gradient pads with the transparent rim.
    fillInBands(painter, glowBoundingRect(glow), brush);
}

} // namespace

std::array<double, glowBands + 1> glowBandOpacities(double alpha) {
    std::array<double, glowBands + 1> combined{};
    double transmitted = 1.0; // prod(1 - a_k) of the passes from the rim inwards
    for (int k = glowPasses; k >= 1; --k) {
        transmitted *= 1.0 - passAlpha(k, alpha);
        combined[static_cast<std::size_t>(k)] = 1.0 - transmitted;
    }
    return combined;
}

QRectF glowBoundingRect(const BackgroundGlow& glow) {
    if (!(glow.radius > 0.0)) {
        return {};
    }
    const double height = glowFlattening * glow.radius;
    return QRectF(QPointF(std::floor(glow.center.x() - glow.radius) - 1.0,
                          std::floor(glow.center.y() - height) - 1.0),
                  QPointF(std::ceil(glow.center.x() + glow.radius) + 1.0,
                          std::ceil(glow.center.y() + height) + 1.0));
}

BackgroundScene backgroundSceneAt(const QRectF& bounds, double elapsedSeconds) {
    const BottomUpFrame frame(bounds);
    const double t = elapsedSeconds;
    const double b = (1.0 + std::sin(2.0 * std::numbers::pi * t / backgroundBreathingCycle)) * 0.5;
    const double d = std::sin(2.0 * std::numbers::pi * t / driftCycle);
    const double m = std::min(frame.width(), frame.height());

    BackgroundScene scene;
    scene.breath = b;
    scene.drift = d;
    scene.bottomColor = rgba(0.025, 0.045 + 0.012 * b, 0.05 + 0.01 * b, 1.0);
    scene.topColor = rgba(0.07, 0.115 + 0.015 * b, 0.13 + 0.012 * b, 1.0);
    scene.upperGlow = {frame.unit(0.5 + 0.16 * d, 0.62), m * (0.34 + 0.04 * b),
                       rgba(0.22, 0.42, 0.48, 0.16 + 0.05 * b)};
    scene.lowerGlow = {frame.unit(0.5 - 0.22 * d, 0.32), m * (0.28 + 0.03 * (1.0 - b)),
                       rgba(0.1, 0.24, 0.22, 0.12 + 0.04 * (1.0 - b))};
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

namespace {

QPainterPath waveLine(const QRectF& bounds) {
    const BottomUpFrame frame(bounds);
    QPainterPath wave;
    wave.moveTo(frame.unit(0.18, 0.30));
    wave.cubicTo(frame.unit(0.32, 0.34), frame.unit(0.68, 0.27), frame.unit(0.82, 0.31));
    return wave;
}

// The pen's reach beyond the curve, with room for antialiasing.
QRectF waveArea(const QPainterPath& wave) {
    return wave.boundingRect().adjusted(-2.0, -2.0, 2.0, 2.0);
}

void strokeWaveLine(QPainter& painter, const QPainterPath& wave) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(white(0.035), 1.4);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
    painter.restore();
}

} // namespace

WaveLineImage renderWaveLine(const QRectF& bounds, double devicePixelRatio) {
    const double ratio = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    const QPainterPath wave = waveLine(bounds);
    const QRectF area = waveArea(wave);
    WaveLineImage result;
    result.bounds = bounds;
    // On whole device pixels, so the copy lands where the stroke would have.
    result.topLeft =
        QPointF(std::floor(area.left() * ratio) / ratio, std::floor(area.top() * ratio) / ratio);
    const int width = static_cast<int>(std::ceil((area.right() - result.topLeft.x()) * ratio));
    const int height = static_cast<int>(std::ceil((area.bottom() - result.topLeft.y()) * ratio));
    if (width <= 0 || height <= 0) {
        return result;
    }
    result.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    result.image.setDevicePixelRatio(ratio);
    result.image.fill(Qt::transparent);
    QPainter painter(&result.image);
    painter.translate(-result.topLeft);
    strokeWaveLine(painter, wave);
    return result;
}

void paintBackground(QPainter& painter, const QRectF& bounds, double elapsedSeconds,
                     GlowRendering rendering, const QRectF& dirty, const WaveLineImage* wave) {
    const BottomUpFrame frame(bounds);
    const BackgroundScene scene = backgroundSceneAt(bounds, elapsedSeconds);
    const auto touches = [&dirty](const QRectF& area) {
        return dirty.isNull() || dirty.intersects(area);
    };

    QLinearGradient gradient(frame.unit(0.0, 0.0), frame.unit(0.0, 1.0));
    gradient.setColorAt(0.0, scene.bottomColor);
    gradient.setColorAt(1.0, scene.topColor);
    fillInBands(painter, dirty.isNull() ? bounds : bounds.intersected(dirty), gradient);

    for (const BackgroundGlow* glow : {&scene.upperGlow, &scene.lowerGlow}) {
        if (touches(glowBoundingRect(*glow))) {
            paintSoftGlow(painter, *glow, rendering);
        }
    }

    paintWaveLine(painter, bounds, dirty, wave);
}

void paintWaveLine(QPainter& painter, const QRectF& bounds, const QRectF& dirty,
                   const WaveLineImage* wave) {
    const QPainterPath line = waveLine(bounds);
    if (!dirty.isNull() && !dirty.intersects(waveArea(line))) {
        return;
    }
    const QPaintDevice* device = painter.device();
    const double ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    if (wave != nullptr && !wave->image.isNull() && wave->bounds == bounds &&
        wave->image.devicePixelRatio() == ratio) {
        drawImageInBands(painter, wave->topLeft, wave->image);
    } else {
        strokeWaveLine(painter, line);
    }
}

} // namespace lumatide
