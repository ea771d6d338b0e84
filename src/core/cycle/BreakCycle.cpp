// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/BreakCycle.h"

#include "content/Texts.h"
#include "cycle/BreakTiming.h"
#include "cycle/Clock.h"
#include "cycle/RestSurface.h"
#include "cycle/TitleSink.h"
#include "cycle/WarningSurface.h"
#include "history/HistoryRecorder.h"
#include "prefs/DailyAllowances.h"
#include "prefs/LanguagePreference.h"
#include "prefs/WorkDuration.h"
#include "sensing/BusyProbe.h"
#include "sensing/IdleRule.h"
#include "sensing/IdleTimeSource.h"
#include "system/UsageEvents.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lumatide {

namespace {

constexpr double fallbackWorkSeconds = defaultWorkMinutes * 60.0;
// How far a busy machine pushes the break back (once a day).
constexpr double busyPostponementSeconds = 300.0;

// Keeps "now + length" and every remaining-time computation far from overflow.
double boundedPeriodSeconds(double seconds, double fallback) {
    if (std::isnan(seconds)) {
        return fallback;
    }
    return std::clamp(seconds, 0.0, maximumPeriodSeconds);
}

} // namespace

BreakCycle::BreakCycle(BreakCycleServices services, double workSeconds, double restSeconds,
                       bool demoWorkSecondsEnabled, std::optional<AppLanguage> forcedLanguage)
    : services_(services), workSeconds_(boundedPeriodSeconds(workSeconds, fallbackWorkSeconds)),
      restSeconds_(boundedPeriodSeconds(restSeconds, defaultRestSeconds)),
      demoWorkSecondsEnabled_(demoWorkSecondsEnabled), forcedLanguage_(forcedLanguage),
      phaseEndsAt_(services_.clock.monotonicSeconds()) {
}

void BreakCycle::launch() {
    send(QStringLiteral("app_open"), QJsonObject());
    startWork();
    lastTickAt_ = services_.clock.monotonicSeconds();
}

void BreakCycle::startWork() {
    if (services_.rest != nullptr) {
        services_.rest->hide();
    }
    hideWarning();
    phase_ = TimerPhase::work;
    currentAction_ = BreakAction{};
    didShowLockWarning_ = false;
    phaseEndsAt_ = services_.clock.monotonicSeconds() + workSeconds_;
    updateTitle();
}

void BreakCycle::startRest() {
    hideWarning();
    phase_ = TimerPhase::rest;
    phaseEndsAt_ = services_.clock.monotonicSeconds() + restSeconds_;

    const AppLanguage lang = language();
    const std::vector<BreakAction>& actions = Texts::forLanguage(lang).actions;
    // The catalogue is never empty; a blank activity still gives the user the rest.
    const auto count = std::max<std::int64_t>(static_cast<std::int64_t>(actions.size()), 1);
    // The index is reduced by the list in force, so it stays valid across language changes.
    currentActionIndex_ = ((nextActionIndex_ % count) + count) % count;
    nextActionIndex_ = (currentActionIndex_ + 1) % count;
    const BreakAction action =
        actions.empty() ? BreakAction{} : actions[static_cast<std::size_t>(currentActionIndex_)];
    currentAction_ = action;
    restStartedAtWall_ = services_.clock.wallNow();
    restStartedAt_ = services_.clock.monotonicSeconds();

    send(QStringLiteral("break_started"), QJsonObject{{QStringLiteral("action"), action.title}});
    if (services_.rest != nullptr) {
        services_.rest->show(action, language());
    }
    updateTitle();
}

void BreakCycle::startRestNow() {
    startRest();
}

void BreakCycle::tick() {
    const double now = services_.clock.monotonicSeconds();
    const std::optional<double> previousTick = std::exchange(lastTickAt_, now);

    if (phase_ == TimerPhase::work) {
        // A long gap between ticks means the machine slept or the process was stopped: the
        // user was away, so that counts as idleness rather than as a finished work period.
        const bool longGap =
            previousTick.has_value() && shouldResetWorkAfterIdle(now - *previousTick);
        if (longGap) {
            recordEvent(HistoryEventKind::idleReset);
            restartWorkPeriodInPlace();
            return;
        }
        if (resetWorkTimerIfUserWasIdle()) {
            return;
        }
        showLockWarningIfNeeded();
    }

    if (services_.clock.monotonicSeconds() < phaseEndsAt_) {
        updateTitle();
        return;
    }

    if (phase_ == TimerPhase::rest) {
        send(QStringLiteral("break_completed"),
             QJsonObject{{QStringLiteral("reason"), QStringLiteral("timer")}});
        recordRestEnd(false);
        startWork(); // refreshes the title
        return;
    }
    if (autoDeferBreakIfEnvironmentIsBusy()) {
        return;
    }
    startRest(); // refreshes the title
}

void BreakCycle::updateTitle() {
    const std::int64_t remaining = remainingSeconds();
    if (services_.title != nullptr) {
        services_.title->showTitle(formatSeconds(remaining, phase_), phase_, remaining);
    }
    if (phase_ == TimerPhase::rest && services_.rest != nullptr) {
        services_.rest->update(remaining);
    }
}

void BreakCycle::showLockWarningIfNeeded() {
    if (didShowLockWarning_) {
        return;
    }
    const std::int64_t remaining = remainingSeconds();
    if (remaining < 1 || remaining > warningThreshold(workSeconds_)) {
        return;
    }
    didShowLockWarning_ = true;
    if (services_.warning != nullptr) {
        services_.warning->show(remaining, language());
    }
}

bool BreakCycle::resetWorkTimerIfUserWasIdle() {
    if (services_.idleTime == nullptr) {
        return false;
    }
    const std::optional<double> idle = services_.idleTime->systemIdleSeconds();
    if (!idle.has_value() || !shouldResetWorkAfterIdle(*idle, idleResetThresholdSeconds)) {
        return false;
    }
    recordEvent(HistoryEventKind::idleReset);
    restartWorkPeriodInPlace();
    return true;
}

bool BreakCycle::autoDeferBreakIfEnvironmentIsBusy() {
    if (demoWorkSecondsEnabled_ || services_.busyProbe == nullptr) {
        return false;
    }
    // Sensed before the allowance is consulted, as every end of a work period does.
    if (!services_.busyProbe->currentBusyEnvironment().has_value()) {
        return false;
    }
    const QDateTime wallNow = services_.clock.wallNow();
    if (!canDeferToday(wallNow, services_.preferences)) {
        return false;
    }
    recordDefer(wallNow, services_.preferences);
    recordEvent(HistoryEventKind::postponement);
    phaseEndsAt_ = services_.clock.monotonicSeconds() + busyPostponementSeconds;
    didShowLockWarning_ = false;
    hideWarning();
    updateTitle();
    return true;
}

void BreakCycle::completeRestByUnlock() {
    // A late unlock from panels of a rest that already ended must not end a work period or
    // report a second completion.
    if (phase_ != TimerPhase::rest) {
        return;
    }
    send(QStringLiteral("break_completed"),
         QJsonObject{{QStringLiteral("reason"), QStringLiteral("unlock")}});
    recordRestEnd(true);
    startWork();
}

void BreakCycle::changeWorkSeconds(double seconds) {
    workSeconds_ = boundedPeriodSeconds(seconds, fallbackWorkSeconds);
    if (phase_ == TimerPhase::work) {
        startWork();
    } else {
        updateTitle();
    }
}

void BreakCycle::refreshVisibleLanguage() {
    if (phase_ == TimerPhase::rest && services_.rest != nullptr) {
        const AppLanguage lang = language();
        const std::vector<BreakAction>& actions = Texts::forLanguage(lang).actions;
        if (currentActionIndex_ >= 0 &&
            currentActionIndex_ < static_cast<std::int64_t>(actions.size())) {
            currentAction_ = actions[static_cast<std::size_t>(currentActionIndex_)];
            services_.rest->show(currentAction_, lang);
        }
    }
    updateTitle();
}

std::int64_t BreakCycle::remainingSeconds() const {
    return remainingWholeSeconds(phaseEndsAt_ - services_.clock.monotonicSeconds());
}

double BreakCycle::secondsLeft() const {
    return phaseEndsAt_ - services_.clock.monotonicSeconds();
}

AppLanguage BreakCycle::language() const {
    return currentLanguage(services_.preferences, forcedLanguage_);
}

void BreakCycle::restartWorkPeriodInPlace() {
    hideWarning();
    didShowLockWarning_ = false;
    phaseEndsAt_ = services_.clock.monotonicSeconds() + workSeconds_;
    updateTitle();
}

void BreakCycle::hideWarning() {
    if (services_.warning != nullptr) {
        services_.warning->hide();
    }
}

void BreakCycle::send(const QString& event, const QJsonObject& properties) {
    if (services_.usage != nullptr) {
        services_.usage->send(event, properties);
    }
}

void BreakCycle::recordRestEnd(bool byPasscode) {
    if (services_.history == nullptr) {
        return;
    }
    HistoryEvent event;
    event.kind = HistoryEventKind::rest;
    event.at = restStartedAtWall_;
    event.plannedSeconds = restSeconds_;
    // A rest cannot last less than nothing or longer than planned, whatever the clock did.
    event.restedSeconds =
        std::clamp(services_.clock.monotonicSeconds() - restStartedAt_, 0.0, restSeconds_);
    event.ending = byPasscode ? RestEnding::passcode : RestEnding::time;
    event.activity = currentAction_.title;
    services_.history->record(event);
}

void BreakCycle::recordEvent(HistoryEventKind kind) {
    if (services_.history == nullptr) {
        return;
    }
    HistoryEvent event;
    event.kind = kind;
    event.at = services_.clock.wallNow();
    services_.history->record(event);
}

} // namespace lumatide
