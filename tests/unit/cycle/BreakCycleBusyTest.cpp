#include "cycle/BreakCycle.h"
#include "fakes/TokyoTimeZoneTest.h"
#include "prefs/PreferenceKeys.h"
#include "unit/cycle/BreakCycleRig.h"

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>

namespace lumatide {
namespace {

// Day tokens follow the local calendar; the fixture's zone is nine hours ahead of UTC.
class BreakCycleBusy : public TokyoTimeZoneTest {
protected:
    static QDateTime utc(int day, int hour, int minute) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, minute), QTimeZone::utc());
    }
    static std::optional<QString> storedToken(const BreakCycleRig& rig) {
        return rig.preferences.string(deferDayKey);
    }
};

TEST_F(BreakCycleBusy, OnePostponementADay) {
    BreakCycleRig rig;
    rig.clock.setWallNow(utc(2, 1, 0)); // 10:00 in Tokyo
    rig.busy.setBusy(BusyReason::meeting);

    rig.runSeconds(1799);
    EXPECT_EQ(rig.busy.callCount(), 0) << "the probe is only asked when the period ends";
    ASSERT_EQ(rig.warning.shows.size(), 1U);

    // The end of the period during a meeting: five more minutes, silently.
    rig.runSeconds(1);
    EXPECT_EQ(rig.busy.callCount(), 1);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 300);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 05:00"));
    EXPECT_EQ(storedToken(rig), QStringLiteral("2026-03-02"));
    EXPECT_TRUE(rig.rest.shows.empty());
    EXPECT_EQ(rig.usage.names(), QStringList{QStringLiteral("app_open")});
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_FALSE(rig.cycle->didShowLockWarning());

    // The toast comes again 30 s before the new end.
    rig.runSeconds(269);
    EXPECT_EQ(rig.warning.shows.size(), 1U);
    rig.runSeconds(1);
    ASSERT_EQ(rig.warning.shows.size(), 2U);
    EXPECT_EQ(rig.warning.shows[1].remainingSeconds, 30);

    // Still in the meeting when the postponement ends: the rest starts all the same.
    rig.runSeconds(29);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    rig.runSeconds(1);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_EQ(rig.busy.callCount(), 2);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 05:00"));

    // Later the same day: the allowance is used, the rest starts on time.
    rig.secondsUntilPhase(TimerPhase::work);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1800);
    EXPECT_EQ(rig.busy.callCount(), 3);
    EXPECT_EQ(storedToken(rig), QStringLiteral("2026-03-02"));

    // The next day the allowance is back.
    rig.secondsUntilPhase(TimerPhase::work);
    rig.clock.advanceWallOnly(24.0 * 3600.0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2100);
    EXPECT_EQ(storedToken(rig), QStringLiteral("2026-03-03"));
    EXPECT_EQ(rig.busy.callCount(), 5);
}

TEST_F(BreakCycleBusy, WhatDecidesThePostponement) {
    // Not busy: the rest comes on time and nothing is recorded.
    BreakCycleRig calm;
    EXPECT_EQ(calm.secondsUntilPhase(TimerPhase::rest), 1800);
    EXPECT_EQ(calm.busy.callCount(), 1);
    EXPECT_FALSE(calm.preferences.contains(deferDayKey));

    // Demo timings are never postponed and leave no token.
    BreakCycleRig demo({.workSeconds = 12.0, .demoWorkSecondsEnabled = true});
    demo.busy.setBusy(BusyReason::mediaPlayback);
    EXPECT_EQ(demo.secondsUntilPhase(TimerPhase::rest), 12);
    EXPECT_FALSE(demo.preferences.contains(deferDayKey));
    EXPECT_FALSE(demo.cycle->autoDeferBreakIfEnvironmentIsBusy());

    // A token from an earlier run today counts: relaunching gives no second postponement.
    BreakCycleRig relaunched;
    relaunched.clock.setWallNow(utc(2, 1, 0));
    relaunched.preferences.setString(deferDayKey, QStringLiteral("2026-03-02"));
    relaunched.busy.setBusy(BusyReason::fullScreenApp);
    EXPECT_EQ(relaunched.secondsUntilPhase(TimerPhase::rest), 1800);

    // Any other stored text leaves the allowance available.
    BreakCycleRig odd;
    odd.clock.setWallNow(utc(2, 1, 0));
    odd.preferences.setString(deferDayKey, QStringLiteral("yesterday"));
    odd.busy.setBusy(BusyReason::presentation);
    EXPECT_EQ(odd.secondsUntilPhase(TimerPhase::rest), 2100);
    EXPECT_EQ(storedToken(odd), QStringLiteral("2026-03-02"));
}

TEST_F(BreakCycleBusy, PostponementIsAnsweredByTheLocalCalendar) {
    BreakCycleRig rig;
    rig.clock.setWallNow(utc(2, 14, 0)); // 23:00 on the 2nd in Tokyo, 14:00 in UTC
    rig.busy.setBusy(BusyReason::meeting);

    // 23:30 local: postponed.
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2100);
    EXPECT_EQ(storedToken(rig), QStringLiteral("2026-03-02"));
    // The next work period ends at 00:10 local on the 3rd (still the 2nd in UTC): a new day.
    rig.secondsUntilPhase(TimerPhase::work);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2100);
    EXPECT_EQ(storedToken(rig), QStringLiteral("2026-03-03"));
}

TEST_F(BreakCycleBusy, PostponedDeadlineIgnoresTheWallClock) {
    BreakCycleRig rig;
    rig.clock.setWallNow(utc(2, 1, 0));
    rig.busy.setBusy(BusyReason::meeting);
    rig.runSeconds(1800);
    ASSERT_EQ(rig.cycle->remainingSeconds(), 300);
    // The wall clock is set back an hour: the postponement still lasts five minutes.
    rig.clock.advanceWallOnly(-3600.0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 300);
}

} // namespace
} // namespace lumatide
