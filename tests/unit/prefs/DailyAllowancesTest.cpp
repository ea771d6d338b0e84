#include "prefs/DailyAllowances.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/prefs/PrefsTestSupport.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace lumatide::test;

namespace {

// Nine hours ahead of UTC, in POSIX notation (the sign is inverted) so no zone data is needed.
constexpr const char* nineHoursAhead = "XST-09:00";
const QTimeZone nineHoursAheadZone(9 * 3600);

QDateTime utc(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

} // namespace

TEST(DailyAllowances, DayTokensFollowTheCalendarDateInTheZone) {
    // 14:59 UTC is 23:59 nine hours ahead; a minute later the local date changes.
    EXPECT_EQ(dayToken(utc(2026, 12, 5, 14, 59), nineHoursAheadZone), QStringLiteral("2026-12-05"));
    EXPECT_EQ(dayToken(utc(2026, 12, 5, 15, 0), nineHoursAheadZone), QStringLiteral("2026-12-06"));
    // 00:00 and 23:59 of one local day share a token.
    EXPECT_EQ(dayToken(utc(2026, 12, 4, 15, 0), nineHoursAheadZone),
              dayToken(utc(2026, 12, 5, 14, 59), nineHoursAheadZone));
    EXPECT_EQ(dayToken(utc(2026, 1, 5, 12, 0), QTimeZone::utc()), QStringLiteral("2026-01-05"));
    EXPECT_EQ(dayToken(utc(2026, 12, 31, 23, 0), nineHoursAheadZone), QStringLiteral("2027-01-01"));
    EXPECT_EQ(dayToken(utc(987, 3, 4, 12, 0), QTimeZone::utc()), QStringLiteral("0987-03-04"));
    // Without a date every component is missing and written as 0.
    EXPECT_EQ(dayToken(QDateTime(), QTimeZone::utc()), QStringLiteral("0000-00-00"));

    // Without a zone the local one applies, as TZ says.
    {
        const ScopedEnvironmentVariable tz("TZ", QByteArray(nineHoursAhead));
        EXPECT_EQ(dayToken(utc(2026, 12, 5, 15, 0)), QStringLiteral("2026-12-06"));
    }
    {
        const ScopedEnvironmentVariable tz("TZ", QByteArray("UTC0"));
        EXPECT_EQ(dayToken(utc(2026, 12, 5, 15, 0)), QStringLiteral("2026-12-05"));
    }
}

TEST(DailyAllowances, EachAllowanceIsUsedUpForTheLocalDay) {
    const ScopedEnvironmentVariable tz("TZ", QByteArray(nineHoursAhead));
    const QDateTime evening = utc(2026, 12, 5, 14, 30); // 23:30 local
    const QDateTime nextMorning = evening.addSecs(40 * 60);
    MemoryPreferenceStore store;
    EXPECT_TRUE(canDeferToday(evening, store));
    EXPECT_TRUE(canManualRestartWorkToday(evening, store));
    EXPECT_TRUE(canTemporaryQuitToday(evening, store));

    recordDefer(evening, store);
    EXPECT_EQ(store.string(deferDayKey), QStringLiteral("2026-12-05"));
    EXPECT_FALSE(canDeferToday(evening, store));
    EXPECT_FALSE(canDeferToday(utc(2026, 12, 4, 15, 0), store)); // 00:00 local, same day
    EXPECT_TRUE(canDeferToday(nextMorning, store));
    EXPECT_TRUE(canManualRestartWorkToday(evening, store));
    EXPECT_TRUE(canTemporaryQuitToday(evening, store));

    recordManualRestartWork(evening, store);
    EXPECT_FALSE(canManualRestartWorkToday(evening, store));
    EXPECT_TRUE(canTemporaryQuitToday(evening, store));
    recordTemporaryQuit(nextMorning, store);
    EXPECT_EQ(store.string(temporaryQuitDayKey), QStringLiteral("2026-12-06"));
    EXPECT_TRUE(canTemporaryQuitToday(evening, store));
    EXPECT_FALSE(canTemporaryQuitToday(nextMorning, store));
    EXPECT_EQ(store.values().size(), 3);

    // Recording again replaces the day.
    recordDefer(nextMorning, store);
    EXPECT_TRUE(canDeferToday(evening, store));
    EXPECT_FALSE(canDeferToday(nextMorning, store));
}

TEST(DailyAllowances, AnythingButTodaysTokenLeavesTheAllowanceAvailable) {
    const ScopedEnvironmentVariable tz("TZ", QByteArray(nineHoursAhead));
    const QDateTime now = utc(2026, 12, 5, 3, 0);
    for (const QJsonValue& stored :
         {QJsonValue(QStringLiteral("yesterday")), QJsonValue(QStringLiteral("2099-01-01")),
          QJsonValue(QStringLiteral("2026-12-5")), QJsonValue(QStringLiteral(" 2026-12-05")),
          QJsonValue(QString()), QJsonValue(20261205.0), QJsonValue(true)}) {
        const MemoryPreferenceStore store(QJsonObject{{restartWorkDayKey, stored}});
        EXPECT_TRUE(canManualRestartWorkToday(now, store));
    }
    EXPECT_FALSE(canUseAllowanceToday(
        restartWorkDayKey, now,
        MemoryPreferenceStore(QJsonObject{{restartWorkDayKey, QStringLiteral("2026-12-05")}})));
}

TEST(DailyAllowances, MovingToAnotherTimeZoneCanChangeTheDay) {
    const QDateTime now = utc(2026, 12, 5, 20, 0);
    MemoryPreferenceStore store;
    {
        const ScopedEnvironmentVariable tz("TZ", QByteArray("UTC0"));
        recordTemporaryQuit(now, store);
        EXPECT_FALSE(canTemporaryQuitToday(now, store));
    }
    // Already the 6th nine hours ahead: the quit recorded on the 5th no longer counts.
    const ScopedEnvironmentVariable tz("TZ", QByteArray(nineHoursAhead));
    EXPECT_TRUE(canTemporaryQuitToday(now, store));
}
