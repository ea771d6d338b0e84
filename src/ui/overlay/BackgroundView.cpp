// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BackgroundView.h"

#include "content/RestPanelDesign.h"
#include "overlay/BackgroundDamage.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/BackgroundRaster.h"
#include "overlay/BandedPainting.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QTransform>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace lumatide {

namespace {

// Device rows painted at a time.
constexpr int bandRows = 32;

// The window's own image, when the painter writes straight into it with this view at its origin
// and a whole number of device pixels to the point, as on a rest panel: the rows then go right
// into it instead of through a band and a copy. At a fractional density a logical rectangle
// covers parts of pixels, and only the painter knows which of them are inside its clip.
QImage* windowImage(QPainter& painter, double ratio) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image || ratio != std::round(ratio)) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QTransform transform = painter.deviceTransform();
    if (image->isNull() || image->depth() != 32 || !image->isDetached() ||
        transform != QTransform::fromScale(ratio, ratio)) {
        return nullptr;
    }
    return image;
}

} // namespace

BackgroundView::BackgroundView(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    created_.start();
    // Every pixel is painted opaque on each frame: nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_->setInterval(
        std::chrono::milliseconds(std::lround(backgroundAnimationFrameRate * 1000.0)));
    QObject::connect(timer_, &QTimer::timeout, this, [this] { advance(); });
}

BackgroundView::~BackgroundView() = default;

void BackgroundView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    frameSeconds_ = elapsedSeconds();
    timer_->start();
}

void BackgroundView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

double BackgroundView::elapsedSeconds() const {
    return static_cast<double>(created_.nsecsElapsed()) / 1e9;
}

void BackgroundView::advance() {
    // The frame is painted at the instant its region was worked out for, however late the paint
    // comes: a glow never lands outside the region that was repainted.
    const double before = frameSeconds_;
    frameSeconds_ = elapsedSeconds();
    if (++framesSinceWhole_ >= framesPerWholeRepaint) {
        framesSinceWhole_ = 0;
        update();
        return;
    }
    const QRectF bounds(rect());
    update(glowRegion(backgroundSceneAt(bounds, frameSeconds_), backgroundSceneAt(bounds, before),
                      bounds));
}

void BackgroundView::paintEvent(QPaintEvent* event) {
    const QRectF bounds(rect());
    const double ratio = devicePixelRatioF();
    if (wave_.bounds != bounds || wave_.image.devicePixelRatio() != ratio) {
        wave_ = renderWaveLine(bounds, ratio);
    }
    const BackgroundRaster raster(bounds, ratio, frameSeconds_);
    QPainter painter(this);
    QImage* window = windowImage(painter, ratio);
    for (const QRect& dirty : event->region()) {
        const QRect device =
            QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio).toAlignedRect();
        if (window != nullptr) {
            raster.paint(*window, 0, device);
            continue;
        }
        // One band of rows at a time through a band-high image: the screen is not held twice.
        const int bandWidth = static_cast<int>(std::ceil(bounds.width() * ratio));
        if (band_.width() != bandWidth || band_.devicePixelRatio() != ratio) {
            band_ = QImage(bandWidth, bandRows, QImage::Format_RGB32);
            band_.setDevicePixelRatio(ratio);
        }
        for (int top = device.top(); top <= device.bottom(); top += bandRows) {
            const QRect rows(device.left(), top, device.width(),
                             std::min(bandRows, device.bottom() + 1 - top));
            raster.paint(band_, top, rows);
            drawImageInBands(painter, QPointF(rows.left() / ratio, top / ratio), band_,
                             rows.translated(0, -top));
        }
    }
    paintWaveLine(painter, bounds, QRectF(event->rect()), &wave_);
}

} // namespace lumatide
