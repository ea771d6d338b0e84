#include "linux/BootTimeClock.h"

#include <ctime>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

double bootSeconds() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1.0e9;
}

TEST(BootTimeClock, ReadsTheSuspendAwareClockAndUtcWallTime) {
    const BootTimeClock clock;

    // Whole seconds of the boot clock, not nanoseconds or the wall clock.
    const double before = bootSeconds();
    const double reading = clock.monotonicSeconds();
    const double after = bootSeconds();
    EXPECT_LE(before, reading);
    EXPECT_LE(reading, after);
    EXPECT_LE(reading, clock.monotonicSeconds());

    const QDateTime wallBefore = QDateTime::currentDateTimeUtc();
    const QDateTime wall = clock.wallNow();
    const QDateTime wallAfter = QDateTime::currentDateTimeUtc();
    EXPECT_TRUE(wall.isValid());
    EXPECT_EQ(wall.timeSpec(), Qt::UTC);
    EXPECT_LE(wallBefore, wall);
    EXPECT_LE(wall, wallAfter);
}

} // namespace
} // namespace lumatide
