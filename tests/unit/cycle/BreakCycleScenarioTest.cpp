// SPDX-License-Identifier: GPL-3.0-or-later
// The break cycle over long stretches of simulated use: idleness, sleep, busy postponements,
// wall-clock changes and a whole working day across local midnight.

#include "content/Texts.h"
#include "cycle/BreakCycle.h"
#include "prefs/PreferenceKeys.h"
#include "unit/cycle/BreakCycleRig.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace lumatide {
namespace {

using namespace Qt::StringLiterals;
using test::ScopedEnvironmentVariable;
constexpr TimerPhase work = TimerPhase::work;
constexpr TimerPhase rest = TimerPhase::rest;

// Which clocks moved during a gap between two ticks.
enum class Moved { both, monotonicOnly, wallOnly };

TEST(BreakCycleScenario, IdlenessGapsAndClockChangesBetweenTicks) {
    using enum Moved;
    const struct {
        bool duringRest;
        std::optional<double> idle;
        double gap; // before the tick
        Moved moved;
        TimerPhase phase; // after the tick
        int remaining;
    } cases[] = {
        // 20 s before the end of a work period, with the toast showing.
        {false, 599.9, 1.0, both, work, 19},
        {false, 600.0, 1.0, both, work, 1800},
        {false, std::numeric_limits<double>::quiet_NaN(), 1.0, both, work, 19},
        {false, std::nullopt, 1.0, both, work, 19},
        // The machine slept (the idle source, as on many sessions, reports nothing), or the
        // process was stopped, which the wall clock does not see.
        {false, std::nullopt, 7200.0, both, work, 1800},
        {false, std::nullopt, 900.0, monotonicOnly, work, 1800},
        // A gap just below the threshold is an ordinary late tick.
        {false, std::nullopt, 599.0, both, rest, 300},
        // Setting the wall clock neither lengthens nor shortens a period.
        {false, std::nullopt, 10.0 * 3600.0, wallOnly, work, 20},
        {true, std::nullopt, -5.0 * 3600.0, wallOnly, rest, 290},
        // 10 s into a rest: idleness is a work-period matter; a rest that ran out just ends.
        {true, 5000.0, 1.0, both, rest, 289},
        {true, std::nullopt, 3.0 * 3600.0, both, work, 1800},
        {true, std::nullopt, 400.0, both, work, 1800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.duringRest << " " << c.idle.value_or(-1) << " "
                                        << c.gap << " " << static_cast<int>(c.moved));
        BreakCycleRig rig;
        if (c.duringRest) {
            rig.cycle->startRestNow();
        }
        rig.runSeconds(c.duringRest ? 10 : 1780);
        const int asked = rig.idle.callCount;
        rig.idle.idleSeconds = c.idle;
        if (c.moved != wallOnly) {
            rig.clock.advanceMonotonicOnly(c.gap);
        }
        if (c.moved != monotonicOnly) {
            rig.clock.advanceWallOnly(c.gap);
        }
        rig.cycle->tick();
        EXPECT_EQ(rig.cycle->phase(), c.phase);
        EXPECT_EQ(rig.cycle->remainingSeconds(), c.remaining);
        EXPECT_EQ(rig.completions(), c.duringRest && c.phase == work ? 1 : 0);
        if (c.duringRest) {
            EXPECT_EQ(rig.idle.callCount, asked);
        } else if (c.remaining == 1800) {
            // A fresh work period takes the toast back and may show it again.
            EXPECT_FALSE(rig.warning.isShowing());
            EXPECT_EQ(rig.busy.callCount, 0);
            rig.idle.idleSeconds = 0.0;
            EXPECT_EQ(rig.secondsUntilPhase(rest), 1800);
            ASSERT_EQ(rig.warning.shows.size(), 2U);
            EXPECT_EQ(rig.warning.shows[1].remainingSeconds, 30);
            EXPECT_EQ(rig.usage.names.count(u"break_started"_s), 1);
        }
    }
}

TEST(BreakCycleScenario, WhatDecidesABusyPostponement) {
    // Demo lengths are never postponed. A token of today (from an earlier run) means the
    // allowance is used; any other token leaves it available.
    const ScopedEnvironmentVariable zone("TZ", test::nineHoursAhead);
    const struct {
        bool demo;
        std::optional<BusyReason> busy;
        QString stored;
        int untilRest;
        QString token;
    } cases[] = {{false, std::nullopt, {}, 1800, {}},
                 {false, BusyReason::meeting, {}, 2100, u"2026-03-02"_s},
                 {true, BusyReason::mediaPlayback, {}, 1800, {}},
                 {false, BusyReason::fullScreenApp, u"2026-03-02"_s, 1800, u"2026-03-02"_s},
                 {false, BusyReason::presentation, u"2026-03-01"_s, 2100, u"2026-03-02"_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.demo << " " << c.stored.toStdString());
        BreakCycleRig rig({.demoWorkSecondsEnabled = c.demo});
        if (!c.stored.isEmpty()) {
            rig.preferences.setString(deferDayKey, c.stored);
        }
        rig.busy.setBusy(c.busy);
        EXPECT_EQ(rig.secondsUntilPhase(rest), c.untilRest);
        // The probe is asked at each end only; a postponement shows nothing but the toast
        // again, 30 s before its end, and the rest then starts however busy the machine is.
        EXPECT_EQ(rig.busy.callCount, c.demo ? 0 : c.untilRest == 1800 ? 1 : 2);
        ASSERT_EQ(rig.warning.shows.size(), c.untilRest == 1800 ? 1U : 2U);
        EXPECT_EQ(rig.warning.shows.back().remainingSeconds, 30);
        EXPECT_EQ(rig.preferences.string(deferDayKey).value_or(QString()), c.token);
    }
}

// A working day from 16:00 to 01:00 local time: regular breaks, a stretch away from the desk,
// an hour-long meeting and a film that runs past midnight. (A language change during the
// rotation is in BreakCycle.LanguageInEffectAtEachRest.)
TEST(BreakCycleScenario, NineHoursOfSimulatedUse) {
    const ScopedEnvironmentVariable zone("TZ", test::nineHoursAhead);
    BreakCycleRig rig;
    // 16:00 local; local midnight is 28800 s later.
    rig.clock.setWallNow(QDateTime(QDate(2026, 3, 2), QTime(7, 0), QTimeZone::utc()));
    constexpr int awayFrom = 4500, awayUntil = 6600;        // 17:15 to 17:50
    constexpr int meetingFrom = 9000, meetingUntil = 12600; // 18:30 to 19:30
    constexpr int filmFrom = 28000;                         // 23:46 until the end

    std::vector<int> restStarts, workStarts, postponements;
    TimerPhase previous = rig.cycle->phase();
    for (int second = 1; second <= 9 * 3600; ++second) {
        rig.clock.advance(1.0);
        rig.idle.idleSeconds = second > awayFrom && second < awayUntil ? second - awayFrom : 0.0;
        const bool meeting = second >= meetingFrom && second < meetingUntil;
        rig.busy.setBusy(second >= filmFrom ? std::optional(BusyReason::mediaPlayback)
                         : meeting          ? std::optional(BusyReason::meeting)
                                            : std::nullopt);
        const auto remainingBefore = rig.cycle->remainingSeconds();
        rig.cycle->tick();
        if (rig.cycle->phase() != previous) {
            (rig.cycle->phase() == rest ? restStarts : workStarts).push_back(second);
            previous = rig.cycle->phase();
        } else if (previous == work && remainingBefore <= 0 &&
                   rig.cycle->remainingSeconds() == 300) {
            postponements.push_back(second);
        }
        ASSERT_GE(rig.titles.titles.back().remainingSeconds, 0) << second;
    }

    // Regular cycles; the time away pushes the third break to 30 minutes after the return;
    // the meeting postpones one break (the next one waits for nobody); after local midnight
    // the film earns one more postponement, the day's second end during the film does not.
    const std::vector<int> expectedRests{1800,  3900,  8399,  10799, 12899, 14999, 17099,
                                         19199, 21299, 23399, 25499, 27599, 29999, 32099};
    EXPECT_EQ(restStarts, expectedRests);
    for (std::size_t i = 0; i < workStarts.size() && i < restStarts.size(); ++i) {
        EXPECT_EQ(workStarts[i], restStarts[i] + 300);
    }
    EXPECT_EQ(workStarts.size(), expectedRests.size());
    EXPECT_EQ(postponements, (std::vector<int>{10499, 29699}));
    EXPECT_EQ(rig.preferences.string(deferDayKey), u"2026-03-03"_s);
    EXPECT_EQ(rig.busy.callCount, 16);
    EXPECT_EQ(rig.completions(), 14);
    // One toast per work period that ended, plus one per postponement.
    EXPECT_EQ(rig.warning.shows.size(), 16U);

    // The rotation ran on round the twelve activities.
    ASSERT_EQ(rig.rest.shows.size(), 14U);
    EXPECT_EQ(rig.rest.shows[13].action, Texts::forLanguage(AppLanguage::english).actions[1]);
}

} // namespace
} // namespace lumatide
