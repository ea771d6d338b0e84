#include "cycle/BreakCycle.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryPreferenceStore.h"
#include "unit/cycle/BreakCycleRig.h"

#include <gtest/gtest.h>
#include <limits>

namespace lumatide {
namespace {

TEST(BreakCycleIdle, TenMinutesOfIdlenessRestartTheWorkPeriod) {
    BreakCycleRig rig;
    rig.runSeconds(1000);
    rig.idle.setIdleSeconds(599.9);
    rig.runSeconds(1);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 799);

    rig.idle.setIdleSeconds(600.0);
    rig.runSeconds(1);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 30:00"));
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);

    // Unreadable idle times never reset.
    rig.idle.setIdleSeconds(std::numeric_limits<double>::quiet_NaN());
    rig.runSeconds(10);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1790);
    rig.idle.setIdleSeconds(std::nullopt);
    rig.runSeconds(10);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1780);
}

TEST(BreakCycleIdle, IdleResetTakesBackAToastAndAllowsItAgain) {
    BreakCycleRig rig;
    rig.runSeconds(1780);
    ASSERT_TRUE(rig.warning.isShowing());
    rig.idle.setIdleSeconds(650.0);
    rig.runSeconds(1);
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_FALSE(rig.cycle->didShowLockWarning());
    rig.idle.setIdleSeconds(0.0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1800);
    ASSERT_EQ(rig.warning.shows.size(), 2U);
    EXPECT_EQ(rig.warning.shows[1].remainingSeconds, 30);
}

TEST(BreakCycleIdle, UserAwayForTwentyMinutes) {
    BreakCycleRig rig;
    // Five minutes of work, then nobody touches the machine until second 1500.
    int lastIdleTick = 0;
    rig.runSeconds(1500, [&](int second) {
        const int idle = second > 300 && second < 1500 ? second - 300 : 0;
        rig.idle.setIdleSeconds(idle);
        if (idle >= 600) {
            lastIdleTick = second;
        }
    });
    EXPECT_EQ(lastIdleTick, 1499);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_TRUE(rig.rest.shows.empty());
    EXPECT_TRUE(rig.warning.shows.empty());
    // While away the title stayed at the full length; the countdown runs from the last
    // idle tick.
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 29:59"));
    rig.idle.setIdleSeconds(0.0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1799);
    EXPECT_EQ(rig.warning.shows.size(), 1U);
}

TEST(BreakCycleIdle, IdlenessDuringARestChangesNothing) {
    BreakCycleRig rig;
    rig.cycle->startRestNow();
    rig.idle.setIdleSeconds(5000.0);
    const int askedBefore = rig.idle.callCount();
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::work), 300);
    EXPECT_EQ(rig.idle.callCount(), askedBefore) << "idle time is a work-period matter";
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 1);
}

TEST(BreakCycleIdle, SleepDuringWorkGivesAFreshWorkPeriod) {
    // The machine sleeps for two hours in the middle of a work period: both clocks move on,
    // and the idle source (as on many sessions) reports nothing.
    BreakCycleRig rig;
    rig.runSeconds(1780);
    ASSERT_TRUE(rig.warning.isShowing());
    rig.tickAfter(2.0 * 3600.0);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 30:00"));
    EXPECT_FALSE(rig.warning.isShowing());
    EXPECT_EQ(rig.busy.callCount(), 0);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_started")), 0);
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1800);

    // A stopped process: only the monotonic clock moved, the wall clock did not see it.
    rig.secondsUntilPhase(TimerPhase::work);
    rig.runSeconds(100);
    rig.clock.advanceMonotonicOnly(900.0);
    rig.cycle->tick();
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);

    // A gap just below the threshold is an ordinary late tick.
    rig.tickAfter(599.0);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1201);
}

TEST(BreakCycleIdle, SleepDuringARestEndsTheRestAtWake) {
    BreakCycleRig rig;
    rig.cycle->startRestNow();
    rig.runSeconds(10);
    rig.tickAfter(3.0 * 3600.0);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 1);
    EXPECT_EQ(rig.cycle->remainingSeconds(), 1800);
    // The work period that follows counts down normally.
    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 29:59"));

    // A rest that ran out during a gap of a few minutes also just ends.
    rig.cycle->startRestNow();
    rig.tickAfter(400.0);
    EXPECT_EQ(rig.cycle->phase(), TimerPhase::work);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 2);
}

TEST(BreakCycleIdle, LaunchSetsTheBaselineForTheFirstGap) {
    FakeClock clock;
    MemoryPreferenceStore preferences;
    BreakCycle cycle({.clock = clock, .preferences = preferences}, 1800.0, 300.0, false,
                     std::nullopt);
    clock.advance(5000.0); // a long time between construction and launch is no gap
    cycle.launch();
    clock.advance(599.0);
    cycle.tick();
    EXPECT_EQ(cycle.remainingSeconds(), 1201);
    clock.advance(700.0); // after the launch it is
    cycle.tick();
    EXPECT_EQ(cycle.phase(), TimerPhase::work);
    EXPECT_EQ(cycle.remainingSeconds(), 1800);

    // Even before the first tick.
    BreakCycle stalled({.clock = clock, .preferences = preferences}, 1800.0, 300.0, false,
                       std::nullopt);
    stalled.launch();
    clock.advance(1000.0);
    stalled.tick();
    EXPECT_EQ(stalled.remainingSeconds(), 1800);
}

} // namespace
} // namespace lumatide
