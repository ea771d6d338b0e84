#include "cycle/BreakCycle.h"

#include "content/Texts.h"
#include "cycle/BreakTiming.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/cycle/BreakCycleRig.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace lumatide {
namespace {

const std::vector<BreakAction>& englishActions() {
    return Texts::forLanguage(AppLanguage::english).actions;
}

TEST(BreakCycle, OneFullWorkAndRestCycle) {
    BreakCycleRig rig;
    EXPECT_EQ(rig.usage.names(), QStringList{QStringLiteral("app_open")});
    EXPECT_TRUE(rig.usage.events.front().properties.isEmpty());
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 30:00"));

    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 29:59"));
    EXPECT_EQ(rig.titles.titles.back().phase, TimerPhase::work);
    EXPECT_EQ(rig.titles.titles.back().remainingSeconds, 1799);

    // Up to 31 s before the end there is no toast; at 30 s there is, once.
    rig.runSeconds(1768);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 00:31"));
    EXPECT_TRUE(rig.warning.shows.empty());
    rig.runSeconds(1);
    ASSERT_EQ(rig.warning.shows.size(), 1U);
    EXPECT_EQ(rig.warning.shows[0].remainingSeconds, 30);
    EXPECT_EQ(rig.warning.shows[0].language, AppLanguage::english);
    EXPECT_TRUE(rig.cycle->didShowLockWarning());
    rig.runSeconds(29);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 00:01"));
    EXPECT_EQ(rig.warning.shows.size(), 1U);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);

    // Every second of the work period was shown, counting down without a gap.
    const QStringList work = rig.titles.distinctTexts();
    ASSERT_EQ(work.size(), 1800);
    EXPECT_EQ(work[60], QStringLiteral("W 29:00"));
    EXPECT_EQ(work[1799], QStringLiteral("W 00:01"));

    EXPECT_TRUE(rig.rest.updates.empty());
    EXPECT_TRUE(rig.rest.shows.empty());

    // The tick at the end starts the rest with the first activity.
    rig.runSeconds(1);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 05:00"));
    EXPECT_FALSE(rig.warning.isShowing());
    ASSERT_EQ(rig.rest.shows.size(), 1U);
    EXPECT_EQ(rig.rest.shows[0].action, englishActions()[0]);
    EXPECT_EQ(rig.rest.shows[0].language, AppLanguage::english);
    EXPECT_EQ(rig.rest.updates.back(), 300);
    ASSERT_EQ(rig.usage.count(QStringLiteral("break_started")), 1);
    EXPECT_EQ(rig.usage.events.back().properties,
              (QJsonObject{{QStringLiteral("action"), englishActions()[0].title}}));
    EXPECT_EQ(rig.cycle->currentActionIndex(), 0);
    EXPECT_EQ(rig.cycle->nextActionIndex(), 1);

    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 04:59"));
    EXPECT_EQ(rig.rest.updates.back(), 299);
    rig.runSeconds(298);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 00:01"));
    EXPECT_EQ(rig.rest.updates.back(), 1);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_TRUE(rig.rest.isShowing());

    // The natural end of the rest: one completion, panels gone, a full work period.
    rig.runSeconds(1);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.usage.names(),
              (QStringList{QStringLiteral("app_open"), QStringLiteral("break_started"),
                           QStringLiteral("break_completed")}));
    EXPECT_EQ(rig.usage.events.back().properties,
              (QJsonObject{{QStringLiteral("reason"), QStringLiteral("timer")}}));
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 30:00"));
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);
    EXPECT_FALSE(rig.cycle->didShowLockWarning());
    // The next work period is again full length.
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1800);
    EXPECT_EQ(rig.warning.shows.size(), 2U);
}

TEST(BreakCycle, ToastThresholdsOfShortDemoLengths) {
    // Ticks fall half a second into each second, so rounded-up remaining times are whole.
    const auto toastsFor = [](double workSeconds, double offset) {
        BreakCycleRig rig({.workSeconds = workSeconds, .demoWorkSecondsEnabled = true});
        rig.tickAfter(offset);
        while (rig.cycle->phase() == TimerPhase::work) {
            rig.tickAfter(1.0);
        }
        return rig.warning.shows;
    };

    auto shows = toastsFor(12.0, 0.5);
    ASSERT_EQ(shows.size(), 1U);
    EXPECT_EQ(shows[0].remainingSeconds, 5);
    shows = toastsFor(12.0, 1.0);
    ASSERT_EQ(shows.size(), 1U);
    EXPECT_EQ(shows[0].remainingSeconds, 5);

    shows = toastsFor(3.0, 0.5);
    ASSERT_EQ(shows.size(), 1U);
    EXPECT_EQ(shows[0].remainingSeconds, 3);

    // One second of work: a toast only when a tick falls within that last second.
    shows = toastsFor(1.0, 0.5);
    ASSERT_EQ(shows.size(), 1U);
    EXPECT_EQ(shows[0].remainingSeconds, 1);
    EXPECT_TRUE(toastsFor(1.0, 1.0).empty());
}

TEST(BreakCycle, LateTickAfterTheEndStartsTheRestWithoutAToast) {
    BreakCycleRig rig;
    rig.runSeconds(1769);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 31);
    // The main thread was held up for half a minute; the period is over when the tick comes.
    rig.tickAfter(31.5);
    EXPECT_TRUE(rig.warning.shows.empty());
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 05:00"));
    EXPECT_EQ(rig.cycle->remainingSeconds(), 300);
}

TEST(BreakCycle, ActivitiesRotateThroughTheCatalogue) {
    BreakCycleRig rig({.workSeconds = 60.0, .restSeconds = 10.0});
    const auto& actions = englishActions();
    ASSERT_EQ(actions.size(), 12U);
    for (int rest = 0; rest < 13; ++rest) {
        ASSERT_NE(rig.secondsUntilPhase(TimerPhase::rest), -1);
        EXPECT_EQ(rig.cycle->currentActionIndex(), rest % 12);
        EXPECT_EQ(rig.cycle->nextActionIndex(), (rest + 1) % 12);
        ASSERT_NE(rig.secondsUntilPhase(TimerPhase::work), -1);
    }
    ASSERT_EQ(rig.rest.shows.size(), 13U);
    for (std::size_t index = 0; index < 12; ++index) {
        EXPECT_EQ(rig.rest.shows[index].action, actions[index]) << index;
    }
    EXPECT_EQ(rig.rest.shows[12].action, actions[0]);
    EXPECT_EQ(rig.cycle->currentActionIndex(), 0);
    EXPECT_EQ(rig.cycle->nextActionIndex(), 1);

    // Every start names its activity; every rest ended by the timer.
    QStringList started;
    for (const auto& event : rig.usage.events) {
        if (event.name == QStringLiteral("break_started")) {
            started.append(event.properties.value(QStringLiteral("action")).toString());
        }
    }
    ASSERT_EQ(started.size(), 13);
    EXPECT_EQ(started[11], actions[11].title);
    EXPECT_EQ(started[12], actions[0].title);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 13);
}

TEST(BreakCycle, StartBreakNow) {
    BreakCycleRig rig;
    rig.runSeconds(1775);
    ASSERT_TRUE(rig.warning.isShowing());

    // From work: the rest starts at once and the toast goes.
    rig.cycle->startRestNow();
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_EQ(rig.cycle->remainingSeconds(), 300);
    rig.runSeconds(100);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 03:20"));

    // During a rest: the next activity and a full rest, no completion reported.
    rig.cycle->startRestNow();
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 05:00"));
    ASSERT_EQ(rig.rest.shows.size(), 2U);
    EXPECT_EQ(rig.rest.shows[1].action, englishActions()[1]);
    EXPECT_EQ(rig.cycle->currentActionIndex(), 1);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_started")), 2);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::work), 300);
}

TEST(BreakCycle, UnlockEndsTheRestOnlyDuringARest) {
    BreakCycleRig rig;
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 0);
    rig.runSeconds(100);
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1700) << "a stray unlock restarted the work period";

    rig.cycle->startRestNow();
    rig.runSeconds(42);
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 30:00"));
    EXPECT_EQ(rig.usage.events.back().name, QStringLiteral("break_completed"));
    EXPECT_EQ(rig.usage.events.back().properties,
              (QJsonObject{{QStringLiteral("reason"), QStringLiteral("unlock")}}));

    // A second unlock from panels already gone reports nothing more.
    rig.cycle->completeRestByUnlock();
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 1);
}

TEST(BreakCycle, ZeroAndNegativeRestEndAtTheNextTick) {
    for (const double restSeconds : {0.0, -120.0}) {
        BreakCycleRig rig({.workSeconds = 60.0, .restSeconds = restSeconds});
        EXPECT_EQ(rig.cycle->restSeconds(), 0.0);
        EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 60);
        EXPECT_EQ(rig.titles.last(), QStringLiteral("B 00:00"));
        EXPECT_TRUE(rig.rest.isShowing());
        rig.runSeconds(1);
        EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
        EXPECT_FALSE(rig.rest.isShowing());
        EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 1);
        EXPECT_EQ(rig.cycle->remainingSeconds(), 60);
    }
}

TEST(BreakCycle, PeriodLengthsAreBounded) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();

    BreakCycleRig unreadable({.workSeconds = nan, .restSeconds = nan});
    EXPECT_EQ(unreadable.cycle->workSeconds(), 1800.0);
    EXPECT_EQ(unreadable.cycle->restSeconds(), 300.0);
    EXPECT_EQ(unreadable.titles.last(), QStringLiteral("W 30:00"));

    BreakCycleRig endless({.workSeconds = infinity, .restSeconds = infinity});
    EXPECT_EQ(endless.cycle->workSeconds(), maximumPeriodSeconds);
    EXPECT_EQ(endless.cycle->restSeconds(), maximumPeriodSeconds);
    EXPECT_EQ(endless.titles.last(), QStringLiteral("W 16666666:40"));
    endless.runSeconds(1);
    EXPECT_EQ(endless.cycle->remainingSeconds(), 999999999);
    endless.cycle->startRestNow();
    EXPECT_EQ(endless.titles.last(), QStringLiteral("B 16666666:40"));

    BreakCycleRig huge({.workSeconds = 1.0e300});
    EXPECT_EQ(huge.cycle->workSeconds(), maximumPeriodSeconds);

    // A work length of zero or less ends at the next tick.
    BreakCycleRig none({.workSeconds = -5.0});
    EXPECT_EQ(none.cycle->workSeconds(), 0.0);
    EXPECT_EQ(none.titles.last(), QStringLiteral("W 00:00"));
    none.runSeconds(1);
    EXPECT_EQ(none.cycle->phase(), TimerPhase::rest);

    BreakCycleRig changed;
    changed.cycle->changeWorkSeconds(nan);
    EXPECT_EQ(changed.cycle->workSeconds(), 1800.0);
    changed.cycle->changeWorkSeconds(infinity);
    EXPECT_EQ(changed.cycle->workSeconds(), maximumPeriodSeconds);
}

TEST(BreakCycle, WorkLengthChange) {
    // During work: a fresh period of the new length, the toast may come again.
    BreakCycleRig rig;
    rig.runSeconds(1780);
    ASSERT_TRUE(rig.cycle->didShowLockWarning());
    rig.cycle->changeWorkSeconds(2400.0);
    EXPECT_EQ(rig.cycle->workSeconds(), 2400.0);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 40:00"));
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_FALSE(rig.cycle->didShowLockWarning());
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 2400);
    EXPECT_EQ(rig.warning.shows.size(), 2U);

    // During a rest: the rest runs on unchanged; the next work period has the new length.
    rig.runSeconds(60);
    rig.cycle->changeWorkSeconds(2700.0);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::rest);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 04:00"));
    EXPECT_TRUE(rig.rest.isShowing());
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::work), 240);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 45:00"));
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
    const auto& german = Texts::forLanguage(AppLanguage::german).actions;
    EXPECT_EQ(rig.rest.shows.back().action, german[5]);
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::german);
    EXPECT_EQ(rig.usage.events.back().properties.value(QStringLiteral("action")).toString(),
              german[5].title);
    EXPECT_EQ(rig.warning.shows.back().language, AppLanguage::german);

    // Switching during the rest shows the same activity again in the new language.
    rig.runSeconds(3);
    setCurrentLanguage(AppLanguage::french, rig.preferences);
    rig.cycle->refreshVisibleLanguage();
    EXPECT_EQ(rig.rest.shows.back().action, Texts::forLanguage(AppLanguage::french).actions[5]);
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::french);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 7);
    EXPECT_EQ(rig.cycle->nextActionIndex(), 6);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_started")), 6);

    // During work the language refresh only touches the title.
    rig.secondsUntilPhase(TimerPhase::work);
    const auto shows = rig.rest.shows.size();
    rig.cycle->refreshVisibleLanguage();
    EXPECT_EQ(rig.rest.shows.size(), shows);

    // A forced language on the command line wins over the stored one.
    BreakCycleRig forced({.workSeconds = 60.0, .forcedLanguage = AppLanguage::japanese});
    forced.secondsUntilPhase(TimerPhase::rest);
    EXPECT_EQ(forced.rest.shows.back().language, AppLanguage::japanese);
    EXPECT_EQ(forced.rest.shows.back().action,
              Texts::forLanguage(AppLanguage::japanese).actions[0]);
}

TEST(BreakCycle, AbsentServicesAreSimplyNotUsed) {
    FakeClock clock;
    MemoryPreferenceStore preferences;
    BreakCycle cycle({.clock = clock, .preferences = preferences}, 1800.0, 300.0, false,
                     std::nullopt);
    EXPECT_EQ(cycle.phase(), TimerPhase::work);
    EXPECT_EQ(cycle.remainingSeconds(), 0) << "nothing runs before the launch";
    cycle.launch();
    EXPECT_EQ(cycle.remainingSeconds(), 1800);

    const auto runSeconds = [&](int seconds) {
        for (int second = 0; second < seconds; ++second) {
            clock.advance(1.0);
            cycle.tick();
        }
    };
    runSeconds(1799);
    EXPECT_TRUE(cycle.didShowLockWarning());
    runSeconds(1);
    // No busy probe: never busy, so no postponement and no day token.
    EXPECT_EQ(cycle.phase(), TimerPhase::rest);
    EXPECT_FALSE(preferences.contains(deferDayKey));
    runSeconds(300);
    EXPECT_EQ(cycle.phase(), TimerPhase::work);
    cycle.startRestNow();
    cycle.refreshVisibleLanguage();
    cycle.completeRestByUnlock();
    cycle.changeWorkSeconds(2100.0);
    EXPECT_EQ(cycle.remainingSeconds(), 2100);
    // No idle source: a long run of ticks is an ordinary work period.
    runSeconds(2099);
    EXPECT_EQ(cycle.phase(), TimerPhase::work);
    runSeconds(1);
    EXPECT_EQ(cycle.phase(), TimerPhase::rest);
}

} // namespace
} // namespace lumatide
