// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/BreakCycle.h"

#include "content/Texts.h"
#include "prefs/PreferenceKeys.h"
#include "unit/cycle/BreakCycleRig.h"

#include <gtest/gtest.h>
#include <limits>

namespace lumatide {
namespace {

using namespace Qt::StringLiterals;

const BreakAction& action(int index, AppLanguage language = AppLanguage::english) {
    return Texts::forLanguage(language).actions.at(index);
}

QJsonObject property(const QString& name, const QString& value) {
    return QJsonObject{{name, value}};
}

TEST(BreakCycle, OneFullWorkAndRestCycle) {
    BreakCycleRig rig;
    // Up to 31 s before the end there is no toast; at 30 s there is, once.
    rig.runSeconds(1769);
    EXPECT_TRUE(rig.warning.shows.empty());
    rig.runSeconds(30);
    ASSERT_EQ(rig.warning.shows.size(), 1U);
    EXPECT_EQ(rig.warning.shows[0].remainingSeconds, 30);
    EXPECT_TRUE(rig.warning.isShowing());
    // Every second of the work period was shown, counting down without a gap.
    ASSERT_EQ(rig.titles.titles.size(), 1800U);
    for (int second = 0; second < 1800; ++second) {
        EXPECT_EQ(rig.titles.titles[second].remainingSeconds, 1800 - second);
        EXPECT_EQ(rig.titles.titles[second].phase, TimerPhase::work);
    }

    // The tick at the end starts the rest with the first activity.
    EXPECT_TRUE(rig.rest.shows.empty() && rig.rest.updates.empty());
    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), u"B 05:00"_s);
    EXPECT_FALSE(rig.warning.isShowing());
    ASSERT_EQ(rig.rest.shows.size(), 1U);
    EXPECT_EQ(rig.rest.shows[0].action, action(0));
    rig.runSeconds(299);
    EXPECT_EQ(rig.titles.last(), u"B 00:01"_s);
    EXPECT_EQ(rig.rest.updates.front(), 300);
    EXPECT_EQ(rig.rest.updates.back(), 1);
    EXPECT_TRUE(rig.rest.isShowing());

    // The natural end of the rest: panels gone, a full work period, one completion.
    rig.runSeconds(1);
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.titles.last(), u"W 30:00"_s);
    EXPECT_EQ(rig.usage.names,
              (QStringList{u"app_open"_s, u"break_started"_s, u"break_completed"_s}));
    EXPECT_TRUE(rig.usage.properties[0].isEmpty());
    EXPECT_EQ(rig.usage.properties[1], property(u"action"_s, action(0).title));
    EXPECT_EQ(rig.usage.properties[2], property(u"reason"_s, u"timer"_s));
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1800);
    EXPECT_EQ(rig.warning.shows.size(), 2U);
}

TEST(BreakCycle, WhenTheToastComes) {
    // The first tick comes after `first` seconds, then one a second until the rest. One second
    // of work gets a toast only when a tick falls within that second; a tick that comes only
    // after the end (a main thread held up) shows none.
    const struct {
        double work, first;
        int toastAt; // 0: none
    } cases[] = {{1800, 0.5, 30}, {12, 0.5, 5}, {12, 1, 5},   {3, 0.5, 3},
                 {1, 0.5, 1},     {1, 1, 0},    {31, 31.5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.work << " " << c.first);
        BreakCycleRig rig({.workSeconds = c.work, .demoWorkSecondsEnabled = true});
        rig.tickAfter(c.first);
        while (rig.cycle->phase() == TimerPhase::work) {
            rig.tickAfter(1.0);
        }
        ASSERT_EQ(rig.warning.shows.size(), c.toastAt > 0 ? 1U : 0U);
        EXPECT_EQ(c.toastAt > 0 ? rig.warning.shows[0].remainingSeconds : 0, c.toastAt);
    }
}

TEST(BreakCycle, StartBreakNowAndUnlock) {
    BreakCycleRig rig;
    rig.runSeconds(1775);
    // A stray unlock outside a rest changes nothing.
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.cycle->remainingSeconds(), 25);
    // From work: the rest starts at once and the toast goes.
    rig.cycle->startRestNow();
    EXPECT_FALSE(rig.warning.isShowing());
    rig.runSeconds(100);
    EXPECT_EQ(rig.titles.last(), u"B 03:20"_s);
    // During a rest: the next activity and a full rest, no completion reported.
    rig.cycle->startRestNow();
    EXPECT_EQ(rig.titles.last(), u"B 05:00"_s);
    EXPECT_EQ(rig.rest.shows.back().action, action(1));
    EXPECT_EQ(rig.completions(), 0);

    rig.runSeconds(42);
    rig.cycle->completeRestByUnlock();
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.titles.last(), u"W 30:00"_s);
    EXPECT_EQ(rig.usage.properties.back(), property(u"reason"_s, u"unlock"_s));
    // A second unlock from panels already gone reports nothing more.
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.completions(), 1);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);
}

TEST(BreakCycle, HistoryRecordsWhatHappened) {
    BreakCycleRig rig;
    const QDateTime started = rig.clock.wallNow();
    rig.runSeconds(1800 + 300); // a rest that runs its course
    rig.runSeconds(60);
    rig.cycle->startRestNow();
    rig.runSeconds(42);
    rig.cycle->completeRestByUnlock(); // one ended early by the passcode
    rig.idle.idleSeconds = 600.0;
    rig.runSeconds(1);
    rig.idle.idleSeconds.reset();
    rig.busy.setBusy(BusyReason::mediaPlayback);
    rig.runSeconds(1800);
    rig.tickAfter(3600.0); // the machine slept

    using enum HistoryEventKind;
    const struct {
        HistoryEventKind kind;
        qint64 secondsAfterStart;
        double rested;
        RestEnding ending;
        QString activity;
    } expected[] = {{rest, 1800, 300.0, RestEnding::time, action(0).title},
                    {rest, 2160, 42.0, RestEnding::passcode, action(1).title},
                    {idleReset, 2203, 0.0, RestEnding::time, {}},
                    {postponement, 4003, 0.0, RestEnding::time, {}},
                    {idleReset, 7603, 0.0, RestEnding::time, {}}};
    ASSERT_EQ(rig.history.events.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const HistoryEvent& event = rig.history.events[i];
        EXPECT_EQ(event.kind, expected[i].kind);
        EXPECT_EQ(started.secsTo(event.at), expected[i].secondsAfterStart);
        EXPECT_EQ(event.restedSeconds, expected[i].rested);
        EXPECT_EQ(event.plannedSeconds, expected[i].kind == rest ? 300.0 : 0.0);
        EXPECT_EQ(event.ending, expected[i].ending);
        EXPECT_EQ(event.activity, expected[i].activity);
    }
}

TEST(BreakCycle, PeriodLengthsAreBounded) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double work, rest;
        QString workTitle, restTitle;
    } cases[] = {{nan, nan, u"W 30:00"_s, u"B 05:00"_s},
                 {inf, inf, u"W 16666666:40"_s, u"B 16666666:40"_s},
                 {1.0e300, -inf, u"W 16666666:40"_s, u"B 00:00"_s},
                 {-5.0, 0.0, u"W 00:00"_s, u"B 00:00"_s}};
    for (const auto& c : cases) {
        BreakCycleRig rig({.workSeconds = c.work, .restSeconds = c.rest});
        EXPECT_EQ(rig.titles.last(), c.workTitle);
        rig.cycle->changeWorkSeconds(c.work);
        EXPECT_EQ(rig.titles.last(), c.workTitle);
        rig.cycle->startRestNow();
        EXPECT_EQ(rig.titles.last(), c.restTitle);
    }
    // A period of zero or less is over at the next tick.
    BreakCycleRig none({.workSeconds = -5.0, .restSeconds = -120.0});
    EXPECT_EQ(none.secondsUntilPhase(TimerPhase::rest), 1);
    EXPECT_EQ(none.secondsUntilPhase(TimerPhase::work), 1);
    EXPECT_FALSE(none.rest.isShowing());
    EXPECT_EQ(none.completions(), 1);
}

TEST(BreakCycle, WorkLengthChange) {
    // During work: a fresh period of the new length, the toast may come again.
    BreakCycleRig rig;
    rig.runSeconds(1780);
    rig.cycle->changeWorkSeconds(2400.0);
    EXPECT_EQ(rig.titles.last(), u"W 40:00"_s);
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2400);
    EXPECT_EQ(rig.warning.shows.size(), 2U);
    // During a rest: the rest runs on unchanged; the next work period has the new length.
    rig.runSeconds(60);
    rig.cycle->changeWorkSeconds(2700.0);
    EXPECT_EQ(rig.titles.last(), u"B 04:00"_s);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::work), 240);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2700);
}

TEST(BreakCycle, LanguageInEffectAtEachRest) {
    BreakCycleRig rig({.workSeconds = 60.0, .restSeconds = 10.0});
    for (int rest = 0; rest < 5; ++rest) {
        rig.secondsUntilPhase(TimerPhase::rest);
        rig.secondsUntilPhase(TimerPhase::work);
    }
    setCurrentLanguage(AppLanguage::german, rig.preferences);
    rig.secondsUntilPhase(TimerPhase::rest);
    EXPECT_EQ(rig.rest.shows.back().action, action(5, AppLanguage::german));
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::german);
    EXPECT_EQ(rig.usage.properties.back(),
              property(u"action"_s, action(5, AppLanguage::german).title));
    EXPECT_EQ(rig.warning.shows.back().language, AppLanguage::german);
    // Switching during the rest shows the same activity again in the new language.
    rig.runSeconds(3);
    setCurrentLanguage(AppLanguage::french, rig.preferences);
    rig.cycle->refreshVisibleLanguage();
    EXPECT_EQ(rig.rest.shows.back().action, action(5, AppLanguage::french));
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::french);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 7);
    // During work the language refresh only touches the title; the rotation went on.
    rig.secondsUntilPhase(TimerPhase::work);
    rig.cycle->refreshVisibleLanguage();
    EXPECT_EQ(rig.rest.shows.size(), 7U);
    rig.secondsUntilPhase(TimerPhase::rest);
    EXPECT_EQ(rig.rest.shows.back().action, action(6, AppLanguage::french));

    // A forced language on the command line wins over the stored one.
    BreakCycleRig forced({.forcedLanguage = AppLanguage::japanese});
    forced.cycle->startRestNow();
    EXPECT_EQ(forced.rest.shows.back().action, action(0, AppLanguage::japanese));
    EXPECT_EQ(forced.rest.shows.back().language, AppLanguage::japanese);
}

TEST(BreakCycle, AbsentServicesAreSimplyNotUsed) {
    // Without a busy probe the machine is never busy: no postponement, no day token.
    FakeClock clock;
    MemoryPreferenceStore preferences;
    BreakCycle cycle({clock, preferences}, 1800.0, 300.0, false, std::nullopt);
    EXPECT_EQ(cycle.remainingSeconds(), 0) << "nothing runs before the launch";
    cycle.launch();
    // The launch sets the baseline of the first gap: a sleep before the first tick counts.
    clock.advance(1000.0);
    cycle.tick();
    int seconds = 0;
    for (; cycle.phase() == TimerPhase::work && seconds < 5000; ++seconds) {
        clock.advance(1.0);
        cycle.tick();
    }
    EXPECT_EQ(seconds, 1800);
    EXPECT_FALSE(preferences.contains(deferDayKey));
    cycle.refreshVisibleLanguage();
    cycle.startRestNow();
    cycle.completeRestByUnlock();
    cycle.changeWorkSeconds(2100.0);
    EXPECT_EQ(cycle.remainingSeconds(), 2100);
}

} // namespace
} // namespace lumatide
