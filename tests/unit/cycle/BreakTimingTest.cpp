#include "cycle/BreakTiming.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;

TEST(FormatSeconds, PhaseLetterAndZeroPaddedMinutesAndSeconds) {
    EXPECT_EQ(formatSeconds(1800, TimerPhase::work), QStringLiteral("W 30:00"));
    EXPECT_EQ(formatSeconds(1799, TimerPhase::work), QStringLiteral("W 29:59"));
    EXPECT_EQ(formatSeconds(300, TimerPhase::rest), QStringLiteral("B 05:00"));
    EXPECT_EQ(formatSeconds(9, TimerPhase::rest), QStringLiteral("B 00:09"));
    EXPECT_EQ(formatSeconds(0, TimerPhase::work), QStringLiteral("W 00:00"));
    EXPECT_EQ(formatSeconds(-42, TimerPhase::rest), QStringLiteral("B 00:00"));
    EXPECT_EQ(formatSeconds(6000, TimerPhase::work), QStringLiteral("W 100:00"));
    // The largest values still give a well-formed title, not an overflowed one.
    EXPECT_EQ(formatSeconds(std::numeric_limits<std::int64_t>::max(), TimerPhase::work),
              QStringLiteral("W 153722867280912930:07"));
    EXPECT_EQ(formatSeconds(std::numeric_limits<std::int64_t>::min(), TimerPhase::work),
              QStringLiteral("W 00:00"));
}

TEST(WarningThreshold, OrdinaryAndShortWorkLengths) {
    const std::pair<double, std::int64_t> table[] = {{1800, 30}, {31, 30}, {30.5, 30}, {30, 5},
                                                     {12, 5},    {5, 5},   {3.9, 3},   {1, 1},
                                                     {0.5, 1},   {0, 1},   {-7, 1}};
    for (const auto& [seconds, expected] : table) {
        EXPECT_EQ(warningThreshold(seconds), expected) << seconds;
    }
    EXPECT_EQ(warningThreshold(std::nan("")), 30);
    EXPECT_EQ(warningThreshold(std::numeric_limits<double>::infinity()), 30);
    EXPECT_EQ(warningThreshold(-std::numeric_limits<double>::infinity()), 1);
}

TEST(WarningDisplayDuration, AtLeastOneSecond) {
    EXPECT_EQ(warningDisplayDuration(30), 30);
    EXPECT_EQ(warningDisplayDuration(2), 2);
    EXPECT_EQ(warningDisplayDuration(1), 1);
    EXPECT_EQ(warningDisplayDuration(0), 1);
    EXPECT_EQ(warningDisplayDuration(-5), 1);
}

TEST(RemainingWholeSeconds, RoundsUpAndSaturates) {
    EXPECT_EQ(remainingWholeSeconds(1799.2), 1800);
    EXPECT_EQ(remainingWholeSeconds(1800.0), 1800);
    EXPECT_EQ(remainingWholeSeconds(0.001), 1);
    EXPECT_EQ(remainingWholeSeconds(0.0), 0);
    EXPECT_EQ(remainingWholeSeconds(-0.5), 0);
    EXPECT_EQ(remainingWholeSeconds(-3.5), -3);
    EXPECT_EQ(remainingWholeSeconds(std::nan("")), 0);
    EXPECT_EQ(remainingWholeSeconds(1e30), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(remainingWholeSeconds(-1e30), std::numeric_limits<std::int64_t>::min());
}
