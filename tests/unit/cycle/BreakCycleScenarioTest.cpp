#include "content/Texts.h"
#include "cycle/BreakCycle.h"
#include "fakes/TokyoTimeZoneTest.h"
#include "prefs/PreferenceKeys.h"
#include "unit/cycle/BreakCycleRig.h"

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <QTimeZone>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace lumatide {
namespace {

TEST(BreakCycleScenario, WallClockChangesNeitherLengthenNorShortenAPeriod) {
    BreakCycleRig rig;
    rig.runSeconds(600);
    // Set forward by ten hours during work: no rest before the full 30 minutes.
    rig.clock.advanceWallOnly(10.0 * 3600.0);
    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("W 19:59"));
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::rest), 1199);

    // Set back by five hours during a locked rest: the rest still ends after 5 minutes.
    rig.runSeconds(60);
    rig.clock.advanceWallOnly(-5.0 * 3600.0);
    rig.runSeconds(1);
    EXPECT_EQ(rig.titles.last(), QStringLiteral("B 03:59"));
    EXPECT_EQ(rig.secondsUntilPhase(TimerPhase::work), 239);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 1);
}

// A working day from 16:00 to 01:00 local time: regular breaks, a stretch away from the
// desk, an hour-long meeting, a film that runs past midnight and a language change.
class BreakCycleWholeDay : public TokyoTimeZoneTest {
protected:
};

TEST_F(BreakCycleWholeDay, NineHoursOfSimulatedUse) {
    BreakCycleRig rig;
    // 16:00 in Tokyo; local midnight is 28800 s later.
    rig.clock.setWallNow(QDateTime(QDate(2026, 3, 2), QTime(7, 0), QTimeZone::utc()));

    constexpr int awayFrom = 4500; // 17:15, back at 17:50
    constexpr int awayUntil = 6600;
    constexpr int meetingFrom = 9000; // 18:30 to 19:30
    constexpr int meetingUntil = 12600;
    constexpr int filmFrom = 28000; // 23:46 until the end of the run
    constexpr int languageChange = 20000;
    constexpr int daySeconds = 9 * 3600;

    std::vector<int> restStarts;
    std::vector<int> workStarts;
    std::vector<int> postponements;
    TimerPhase previous = rig.cycle->phase();
    for (int second = 1; second <= daySeconds; ++second) {
        rig.clock.advance(1.0);
        rig.idle.setIdleSeconds(second > awayFrom && second < awayUntil ? second - awayFrom : 0.0);
        if ((second >= meetingFrom && second < meetingUntil) || second >= filmFrom) {
            rig.busy.setBusy(second >= filmFrom ? BusyReason::mediaPlayback : BusyReason::meeting);
        } else {
            rig.busy.setNotBusy();
        }
        if (second == languageChange) {
            setCurrentLanguage(AppLanguage::korean, rig.preferences);
        }
        const auto remainingBefore = rig.cycle->remainingSeconds();
        rig.cycle->tick();
        if (rig.cycle->phase() != previous) {
            (rig.cycle->phase() == TimerPhase::rest ? restStarts : workStarts).push_back(second);
            previous = rig.cycle->phase();
        } else if (previous == TimerPhase::work && remainingBefore <= 0 &&
                   rig.cycle->remainingSeconds() == 300) {
            postponements.push_back(second);
        }
        ASSERT_GE(rig.titles.titles.back().remainingSeconds, 0) << second;
    }

    // Regular cycles; the time away pushes the third break to 30 minutes after the return;
    // the meeting postpones one break (the next one waits for nobody); after midnight the
    // film earns one more postponement, the day's second end during the film does not.
    const std::vector<int> expectedRests{1800,  3900,  8399,  10799, 12899, 14999, 17099,
                                         19199, 21299, 23399, 25499, 27599, 29999, 32099};
    EXPECT_EQ(restStarts, expectedRests);
    std::vector<int> expectedWork;
    for (const int start : expectedRests) {
        expectedWork.push_back(start + 300);
    }
    EXPECT_EQ(workStarts, expectedWork);
    EXPECT_EQ(postponements, (std::vector<int>{10499, 29699}));
    EXPECT_EQ(rig.preferences.string(deferDayKey), QStringLiteral("2026-03-03"));
    EXPECT_EQ(rig.busy.callCount(), 16);

    EXPECT_EQ(rig.usage.count(QStringLiteral("break_started")), 14);
    EXPECT_EQ(rig.usage.count(QStringLiteral("break_completed")), 14);
    // One toast per work period that ended, plus one per postponement.
    EXPECT_EQ(rig.warning.shows.size(), 16U);

    // The rotation ran on through the language change: rests 9 to 14 are in Korean.
    ASSERT_EQ(rig.rest.shows.size(), 14U);
    const auto& english = Texts::forLanguage(AppLanguage::english).actions;
    const auto& korean = Texts::forLanguage(AppLanguage::korean).actions;
    EXPECT_EQ(rig.rest.shows[7].action, english[7]);
    EXPECT_EQ(rig.rest.shows[8].action, korean[8]);
    EXPECT_EQ(rig.rest.shows[8].language, AppLanguage::korean);
    EXPECT_EQ(rig.rest.shows[12].action, korean[0]);
    EXPECT_EQ(rig.rest.shows[13].action, korean[1]);
    EXPECT_EQ(rig.cycle->nextActionIndex(), 2);
}

} // namespace
} // namespace lumatide
