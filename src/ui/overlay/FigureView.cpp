// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/FigureView.h"

#include "content/RestPanelDesign.h"
#include "overlay/PoseSheetPainter.h"
#include "prefs/LanguagePreference.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <utility>

namespace lumatide {

namespace {

// Until the owner sets one, the language of the user's system.
AppLanguage initialLanguage() {
    return languageMatchingSystemEntry(systemPreferredLanguage())
        .value_or(AppLanguage::simplifiedChinese);
}

} // namespace

FigureView::FigureView(QWidget* parent) : FigureView(ElapsedSource{}, parent) {
}

FigureView::FigureView(ElapsedSource elapsed, QWidget* parent)
    : QWidget(parent), language_(initialLanguage()), elapsed_(std::move(elapsed)),
      timer_(new QTimer(this)) {
    created_.start();
    timer_->setInterval(std::chrono::milliseconds(std::lround(figureAnimationFrameRate * 1000.0)));
    QObject::connect(timer_, &QTimer::timeout, this, [this] { tick(); });
}

FigureView::~FigureView() = default;

void FigureView::setKind(ActionKind kind) {
    kind_ = kind;
    update();
}

void FigureView::setLanguage(AppLanguage language) {
    language_ = language;
    update();
}

void FigureView::setOnStepChange(std::function<void(int)> onStepChange) {
    onStepChange_ = std::move(onStepChange);
}

void FigureView::setOnTick(std::function<void()> onTick) {
    onTick_ = std::move(onTick);
}

int FigureView::stepIndex() const {
    return poseStepIndex(elapsedSeconds());
}

double FigureView::elapsedSeconds() const {
    if (elapsed_) {
        return elapsed_();
    }
    return static_cast<double>(created_.nsecsElapsed()) / 1e9;
}

bool FigureView::notifyStep() {
    const int step = stepIndex();
    if (step == lastNotifiedStep_) {
        return true;
    }
    lastNotifiedStep_ = step;
    if (!onStepChange_) {
        return true;
    }
    // The callback may replace itself or destroy this view: call a copy, and watch the view.
    const std::function<void(int)> callback = onStepChange_;
    const QPointer<FigureView> self(this);
    callback(step);
    return !self.isNull();
}

double FigureView::floatOffset() const {
    const double shownSeconds =
        shown_.isValid() ? static_cast<double>(shown_.nsecsElapsed()) / 1e9 : 0.0;
    return snappedFloatOffset(figureFloatOffset(shownSeconds), devicePixelRatioF());
}

void FigureView::tick() {
    if (!notifyStep()) {
        return;
    }
    if (onTick_) {
        onTick_();
    }
    // Most ticks find the same picture: the step lasts seconds and the float moves about one
    // pixel in 0.7 s.
    if (stepIndex() != paintedStep_ || floatOffset() != paintedOffset_) {
        update();
    }
}

void FigureView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shown_.start();
    timer_->start();
}

void FigureView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

void FigureView::paintEvent(QPaintEvent* /*event*/) {
    // A step found while painting is reported from the event loop right after this paint: a
    // callback that tears the panel down must not do so in the middle of painting this view.
    if (!notificationPosted_ && stepIndex() != lastNotifiedStep_) {
        notificationPosted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                notificationPosted_ = false;
                notifyStep();
            },
            Qt::QueuedConnection);
    }
    QPainter painter(this);
    const double seconds = elapsedSeconds();
    paintedStep_ = poseStepIndex(seconds);
    paintedOffset_ = floatOffset();
    sheet_.paint(painter, QRectF(rect()), kind_, language_, seconds, paintedOffset_);
}

} // namespace lumatide
