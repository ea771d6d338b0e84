#include "prefs/WorkDuration.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TemporaryPreferenceStore.h"

#include <QJsonObject>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;

TEST(WorkDuration, LengthsAreClampedNotSnapped) {
    EXPECT_EQ(normalizedWorkMinutes(10.0), 30.0);
    EXPECT_EQ(normalizedWorkMinutes(12.0), 30.0);
    EXPECT_EQ(normalizedWorkMinutes(30.0), 30.0);
    EXPECT_EQ(normalizedWorkMinutes(30.5), 30.5);
    EXPECT_EQ(normalizedWorkMinutes(37.0), 37.0);
    EXPECT_EQ(normalizedWorkMinutes(50.0), 50.0);
    EXPECT_EQ(normalizedWorkMinutes(50.001), 50.0);
    EXPECT_EQ(normalizedWorkMinutes(90.0), 50.0);
    EXPECT_EQ(normalizedWorkMinutes(120.0), 50.0);
    EXPECT_EQ(normalizedWorkMinutes(-5.0), 30.0);
    // What is not a number at all gets the shortest length; infinities go to the ends.
    EXPECT_EQ(normalizedWorkMinutes(std::numeric_limits<double>::quiet_NaN()), 30.0);
    EXPECT_EQ(normalizedWorkMinutes(std::numeric_limits<double>::infinity()), 50.0);
    EXPECT_EQ(normalizedWorkMinutes(-std::numeric_limits<double>::infinity()), 30.0);
}

TEST(WorkDuration, AStoredNumberWinsOverTheDefault) {
    MemoryPreferenceStore empty;
    EXPECT_EQ(savedWorkMinutes(30.0, empty), 30.0);
    EXPECT_EQ(savedWorkMinutes(10.0, empty), 30.0);
    EXPECT_EQ(savedWorkMinutes(45.0, empty), 45.0);

    const MemoryPreferenceStore forty(QJsonObject{{workMinutesKey, 40.0}});
    EXPECT_EQ(savedWorkMinutes(45.0, forty), 40.0);
    // A stored length outside the range is clamped like any other.
    const MemoryPreferenceStore long_(QJsonObject{{workMinutesKey, 75.0}});
    EXPECT_EQ(savedWorkMinutes(30.0, long_), 50.0);

    // A value of another type, or a number that is not finite, counts as absent.
    for (const QJsonValue& unusable :
         {QJsonValue(QStringLiteral("40")), QJsonValue(true), QJsonValue(),
          QJsonValue(std::numeric_limits<double>::quiet_NaN()),
          QJsonValue(std::numeric_limits<double>::infinity())}) {
        const MemoryPreferenceStore store(QJsonObject{{workMinutesKey, unusable}});
        EXPECT_EQ(savedWorkMinutes(45.0, store), 45.0);
    }
}

TEST(WorkDuration, StoresTheClampedLengthAsANumber) {
    TemporaryPreferenceStore store(QStringLiteral("work-"));
    setSavedWorkMinutes(10.0, store);
    EXPECT_EQ(store.number(workMinutesKey), 30.0);
    setSavedWorkMinutes(75.0, store);
    EXPECT_EQ(store.number(workMinutesKey), 50.0);
    setSavedWorkMinutes(std::numeric_limits<double>::quiet_NaN(), store);
    EXPECT_EQ(store.number(workMinutesKey), 30.0);
    setSavedWorkMinutes(40.0, store);
    ASSERT_TRUE(store.value(workMinutesKey).has_value());
    EXPECT_TRUE(store.value(workMinutesKey)->isDouble());
    EXPECT_EQ(savedWorkMinutes(45.0, store), 40.0);
}
