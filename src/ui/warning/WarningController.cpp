// SPDX-License-Identifier: GPL-3.0-or-later
#include "warning/WarningController.h"

#include "cycle/BreakTiming.h"
#include "system/ScreenLayers.h"
#include "system/WindowSystem.h"

#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace lumatide {

namespace {

// A timer cannot wait longer than this many whole seconds (its interval is an int of ms).
constexpr std::int64_t longestTimerSeconds = std::numeric_limits<int>::max() / 1000;

} // namespace

WarningController::WarningController(WindowSystem* windowSystem, ScreenLayers* layers,
                                     QObject* parent)
    : QObject(parent), windowSystem_(windowSystem), layers_(layers), hideTimer_(new QTimer(this)),
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
    const int outputs = layers_ != nullptr ? layers_->outputCount() : 0;
    inLayers_ = outputs > 0;
    if (inLayers_) {
        // Never shown as windows: drawn into the compositor's layers, which blend corners.
        for (int output = 0; output < outputs; ++output) {
            toasts_.push_back(
                std::make_unique<WarningToast>(nullptr, remainingSeconds_, language, true));
        }
        drawIntoLayers();
    } else {
        const bool composited = windowSystem_ != nullptr && windowSystem_->compositorIsRunning();
        for (QScreen* screen : QGuiApplication::screens()) {
            toasts_.push_back(
                std::make_unique<WarningToast>(screen, remainingSeconds_, language, composited));
        }
        for (const auto& toast : toasts_) {
            toast->show();
            toast->raise();
        }
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
    if (inLayers_) {
        layers_->hideCorners();
        inLayers_ = false;
    }
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
    if (inLayers_) {
        drawIntoLayers();
    }
}

void WarningController::drawIntoLayers() {
    for (std::size_t output = 0; output < toasts_.size(); ++output) {
        WarningToast& toast = *toasts_[output];
        const int scale = layers_->outputScale(static_cast<int>(output));
        toast.ensurePolished();
        if (toast.layout() != nullptr) {
            toast.layout()->activate();
        }
        QImage picture(toast.size() * scale, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(scale);
        picture.fill(Qt::transparent);
        toast.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        layers_->showCorner(
            static_cast<int>(output),
            LayerPicture{picture.constBits(), picture.size(), picture.bytesPerLine(), scale},
            WarningToast::margin);
    }
}

} // namespace lumatide
