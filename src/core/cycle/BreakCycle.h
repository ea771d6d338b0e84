// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "content/BreakAction.h"
#include "cycle/TimerPhase.h"
#include "history/HistoryEvent.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>

namespace lumatide {

class BusyProbe;
class Clock;
class HistoryRecorder;
class IdleTimeSource;
class PreferenceStore;
class RestSurface;
class TitleSink;
class UsageEvents;
class WarningSurface;

// What the break cycle talks to. The clock and the store are required; every other service
// may be null, meaning it is absent: no idle time, never busy, nothing shown or sent.
struct BreakCycleServices {
    Clock& clock;
    PreferenceStore& preferences;
    IdleTimeSource* idleTime = nullptr;
    BusyProbe* busyProbe = nullptr;
    RestSurface* rest = nullptr;
    WarningSurface* warning = nullptr;
    TitleSink* title = nullptr;
    UsageEvents* usage = nullptr;
    HistoryRecorder* history = nullptr;
};

// The work/rest cycle: a work period, then a rest with the next activity of the rotation,
// then work again, driven by a tick once a second. It owns no timer and no window; the
// application calls tick() and wires the services.
class BreakCycle final {
public:
    // Lengths that are not numbers fall back to 30 min of work and 5 min of rest; every
    // length is bounded to [0, maximumPeriodSeconds]. With demoWorkSecondsEnabled the break
    // is never postponed. A forced language (the command line's) wins over the stored one.
    BreakCycle(BreakCycleServices services, double workSeconds, double restSeconds,
               bool demoWorkSecondsEnabled, std::optional<AppLanguage> forcedLanguage);
    BreakCycle(const BreakCycle&) = delete;
    BreakCycle& operator=(const BreakCycle&) = delete;

    // The cycle's part of the launch: "app_open", the first work period, the tick baseline.
    void launch();

    // A full work period from now; hides the rest panels and the toast.
    void startWork();
    // A full rest from now with the next activity of the current language.
    void startRest();
    // The start-break-now command: exactly startRest().
    void startRestNow();
    // Once a second.
    void tick();
    // Pushes the countdown to the title (and to the rest panels during a rest).
    void updateTitle();
    // Shows the toast once per work period when the end is near.
    void showLockWarningIfNeeded();
    // Restarts the work period when the user has been idle long enough; true when it did.
    bool resetWorkTimerIfUserWasIdle();
    // Postpones the break once a day when the machine is busy; true when it did.
    bool autoDeferBreakIfEnvironmentIsBusy();
    // The passcode unlocked the rest panels: the rest is over. Ignored outside a rest.
    void completeRestByUnlock();
    // The work-length command: during work a new full period of the new length; during a
    // rest the new length applies from the next work period.
    void changeWorkSeconds(double seconds);
    // After a language change: during a rest the same activity is shown again in the new
    // language; the title is refreshed either way.
    void refreshVisibleLanguage();

    TimerPhase phase() const { return phase_; }
    double workSeconds() const { return workSeconds_; }
    // Whole seconds until the current period ends, rounded up; 0 or negative once over.
    std::int64_t remainingSeconds() const;
    // The same, unrounded.
    double secondsLeft() const;
    // The activity of the rest under way; empty during work.
    const BreakAction& currentActivity() const { return currentAction_; }

private:
    AppLanguage language() const;
    void restartWorkPeriodInPlace();
    void hideWarning();
    void send(const QString& event, const QJsonObject& properties);
    void recordRestEnd(bool byPasscode);
    void recordEvent(HistoryEventKind kind);

    BreakCycleServices services_;
    double workSeconds_;
    double restSeconds_;
    bool demoWorkSecondsEnabled_;
    std::optional<AppLanguage> forcedLanguage_;

    TimerPhase phase_ = TimerPhase::work;
    double phaseEndsAt_; // on the monotonic clock
    std::int64_t nextActionIndex_ = 0;
    std::int64_t currentActionIndex_ = 0;
    BreakAction currentAction_;
    QDateTime restStartedAtWall_;
    double restStartedAt_ = 0; // on the monotonic clock
    bool didShowLockWarning_ = false;
    std::optional<double> lastTickAt_; // monotonic time of the last tick (or of the launch)
};

} // namespace lumatide
