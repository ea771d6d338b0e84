// SPDX-License-Identifier: GPL-3.0-or-later
#include "warning/WarningController.h"

#include "cycle/BreakTiming.h"
#include "system/WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace lumatide {

namespace {

// A timer cannot wait longer than this many whole seconds (its interval is an int of ms).
constexpr std::int64_t longestTimerSeconds = std::numeric_limits<int>::max() / 1000;

} // namespace

WarningController::WarningController(WindowSystem* windowSystem, QObject* parent)
    : QObject(parent), windowSystem_(windowSystem), hideTimer_(new QTimer(this)),
      countdownTimer_(new QTimer(this)) {
    hideTimer_->setObjectName(QStringLiteral("hideTimer"));
    hideTimer_->setSingleShot(true);
    hideTimer_->setTimerType(Qt::PreciseTimer);
    connect(hideTimer_, &QTimer::timeout, this, &WarningController::hide);

    countdownTimer_->setObjectName(QStringLiteral("countdownTimer"));
    countdownTimer_->setInterval(1000);
    countdownTimer_->setTimerType(Qt::PreciseTimer);
    connect(countdownTimer_, &QTimer::timeout, this, &WarningController::countdownTick);
}

WarningController::~WarningController() {
    hide();
}

void WarningController::show(std::int64_t remainingSeconds, AppLanguage language) {
    hide();
    remainingSeconds_ = warningDisplayDuration(remainingSeconds);
    const bool composited = windowSystem_ != nullptr && windowSystem_->compositorIsRunning();
    for (QScreen* screen : QGuiApplication::screens()) {
        toasts_.push_back(
            std::make_unique<WarningToast>(screen, remainingSeconds_, language, composited));
    }
    for (const auto& toast : toasts_) {
        toast->show();
        toast->raise();
    }
    countdownTimer_->start();
    // A count longer than a timer can wait (weeks) still ends through the countdown.
    hideTimer_->start(static_cast<int>(std::min(remainingSeconds_, longestTimerSeconds) * 1000));
}

void WarningController::hide() {
    hideTimer_->stop();
    countdownTimer_->stop();
    for (const auto& toast : toasts_) {
        toast->hide();
    }
    toasts_.clear();
}

std::vector<WarningToast*> WarningController::toasts() const {
    std::vector<WarningToast*> shown;
    shown.reserve(toasts_.size());
    for (const auto& toast : toasts_) {
        shown.push_back(toast.get());
    }
    return shown;
}

void WarningController::countdownTick() {
    --remainingSeconds_;
    if (remainingSeconds_ < 1) {
        hide();
        return;
    }
    for (const auto& toast : toasts_) {
        toast->update(remainingSeconds_);
    }
}

} // namespace lumatide
