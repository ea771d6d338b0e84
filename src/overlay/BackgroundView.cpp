#include "overlay/BackgroundView.h"

#include "app/Constants.h"
#include "overlay/BackgroundPainter.h"

#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace lumatide {

BackgroundView::BackgroundView(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    created_.start();
    // Every pixel is painted opaque on each frame: nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_->setInterval(
        std::chrono::milliseconds(std::lround(backgroundAnimationFrameRate * 1000.0)));
    QObject::connect(timer_, &QTimer::timeout, this, [this] { update(); });
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

void BackgroundView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintBackground(painter, QRectF(rect()), static_cast<double>(created_.nsecsElapsed()) / 1e9);
}

} // namespace lumatide
