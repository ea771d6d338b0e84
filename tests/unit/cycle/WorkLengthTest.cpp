#include "cycle/CommandLine.h"
#include "cycle/Constants.h"
#include "prefs/MemoryPreferenceStore.h"
#include "prefs/WorkDuration.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace lumatide;

TEST(ConfiguredWorkSeconds, StoredLengthWinsAndIsClamped) {
    MemoryPreferenceStore store;
    EXPECT_EQ(configuredWorkSeconds(30.0, std::nullopt, store), 1800.0);
    EXPECT_EQ(configuredWorkSeconds(10.0, std::nullopt, store), 1800.0);
    EXPECT_EQ(configuredWorkSeconds(37.0, std::nullopt, store), 37.0 * 60.0);
    EXPECT_EQ(configuredWorkSeconds(90.0, std::nullopt, store), 3000.0);
    setSavedWorkMinutes(35.0, store);
    EXPECT_EQ(configuredWorkSeconds(45.0, std::nullopt, store), 2100.0);
}

TEST(ConfiguredWorkSeconds, DemoLengthIgnoresTheStoreAndHasAFloorAndACeiling) {
    MemoryPreferenceStore store;
    setSavedWorkMinutes(45.0, store);
    EXPECT_EQ(configuredWorkSeconds(30.0, 12.0, store), 12.0);
    EXPECT_EQ(configuredWorkSeconds(30.0, 0.4, store), 1.0);
    EXPECT_EQ(configuredWorkSeconds(30.0, -5.0, store), 1.0);
    EXPECT_EQ(configuredWorkSeconds(30.0, std::nan(""), store), 1.0);
    EXPECT_EQ(configuredWorkSeconds(30.0, 1e300, store), maximumPeriodSeconds);
}

TEST(ConfiguredWorkSeconds, CommandLineToWorkLength) {
    // What main() does with the raw arguments, end to end.
    MemoryPreferenceStore store;
    const auto fromArgs = [&](QStringList list) {
        list.prepend(QStringLiteral("lumatide"));
        return configuredWorkSeconds(parseMinutes(QStringLiteral("--work-minutes"), 30.0, list),
                                     parseSeconds(QStringLiteral("--demo-work-seconds"), list),
                                     store);
    };
    EXPECT_EQ(fromArgs({QStringLiteral("--work-minutes=40")}), 1800.0);
    EXPECT_EQ(fromArgs({QStringLiteral("--work-minutes"), QStringLiteral(" 40")}), 1800.0);
    EXPECT_EQ(fromArgs({QStringLiteral("--work-minutes"), QStringLiteral("40")}), 2400.0);
    EXPECT_EQ(fromArgs({QStringLiteral("--work-minutes"), QStringLiteral("inf")}), 1800.0);
    EXPECT_EQ(fromArgs({QStringLiteral("--demo-work-seconds"), QStringLiteral("abc")}), 1800.0);
    EXPECT_EQ(fromArgs({QStringLiteral("--demo-work-seconds"), QStringLiteral("0.4")}), 1.0);
}
