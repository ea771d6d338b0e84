#include "overlay/BackgroundView.h"

#include "app/Constants.h"
#include "overlay/BackgroundPainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace lumatide {

namespace {

// Every tenth frame repaints the whole view: the gradient's share of the motion.
constexpr int framesPerWholeRepaint = 10;

QRegion glowRegion(const BackgroundScene& scene) {
    QRegion region(glowBoundingRect(scene.upperGlow).toAlignedRect());
    return region.united(glowBoundingRect(scene.lowerGlow).toAlignedRect());
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
    const QRegion glows = glowRegion(backgroundSceneAt(QRectF(rect()), elapsedSeconds()));
    if (++framesSinceWhole_ >= framesPerWholeRepaint) {
        framesSinceWhole_ = 0;
        update();
    } else {
        update(glows.united(glows_));
    }
    glows_ = glows;
}

void BackgroundView::paintEvent(QPaintEvent* event) {
    const QRectF bounds(rect());
    if (wave_.bounds != bounds || wave_.image.devicePixelRatio() != devicePixelRatioF()) {
        wave_ = renderWaveLine(bounds, devicePixelRatioF());
    }
    QPainter painter(this);
    paintBackground(painter, bounds, elapsedSeconds(), GlowRendering::radialGradient, event->rect(),
                    &wave_);
}

} // namespace lumatide
