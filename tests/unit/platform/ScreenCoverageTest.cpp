#include "linux/ScreenCoverage.h"

#include <gtest/gtest.h>

using namespace lumatide;

TEST(ScreenCoverage, WidthAndHeightThresholdsAgainstOneScreen) {
    const QList<QSize> laptop{QSize(1440, 900)};
    // 1400 >= 0.96 * 1440 = 1382.4 and 810 >= 0.9 * 900 = 810.
    EXPECT_TRUE(windowCoversAnyScreen(QSize(1400, 810), laptop));
    EXPECT_TRUE(windowCoversAnyScreen(QSize(1440, 900), laptop));
    EXPECT_TRUE(windowCoversAnyScreen(QSize(2000, 1200), laptop));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1380, 900), laptop)); // too narrow
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1400, 809), laptop)); // too low
    EXPECT_FALSE(windowCoversAnyScreen(QSize(0, 0), laptop));
}

TEST(ScreenCoverage, AnyOneScreenIsEnough) {
    const QList<QSize> desk{QSize(2560, 1440), QSize(1024, 768)};
    // Too small for the large monitor, large enough for the small one.
    EXPECT_TRUE(windowCoversAnyScreen(QSize(1000, 700), desk));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(980, 700), desk));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1000, 700), {}));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(10, 10), {QSize(0, 0)}));
}
