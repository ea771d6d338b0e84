#include "prefs/TelemetryPreferences.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TemporaryPreferenceStore.h"
#include "unit/prefs/PrefsTestSupport.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>
#include <gtest/gtest.h>

using namespace lumatide;

TEST(TelemetryPreferences, EventsAreOnUntilSwitchedOff) {
    MemoryPreferenceStore store;
    EXPECT_TRUE(anonymousTelemetryEnabled(store));
    setAnonymousTelemetryEnabled(false, store);
    EXPECT_FALSE(anonymousTelemetryEnabled(store));
    EXPECT_EQ(store.value(anonymousTelemetryEnabledKey), QJsonValue(false));
    setAnonymousTelemetryEnabled(true, store);
    EXPECT_TRUE(anonymousTelemetryEnabled(store));
    setAnonymousTelemetryEnabled(false, store);
    store.remove(anonymousTelemetryEnabledKey);
    EXPECT_TRUE(anonymousTelemetryEnabled(store));

    // Whatever is stored is read as a Boolean; present but not true means off.
    const auto enabledWith = [](const QJsonValue& value) {
        return anonymousTelemetryEnabled(
            MemoryPreferenceStore(QJsonObject{{anonymousTelemetryEnabledKey, value}}));
    };
    EXPECT_TRUE(enabledWith(1.0));
    EXPECT_TRUE(enabledWith(QStringLiteral("YES")));
    EXPECT_FALSE(enabledWith(0.0));
    EXPECT_FALSE(enabledWith(QStringLiteral("off")));
    EXPECT_FALSE(enabledWith(QJsonValue()));
}

TEST(TelemetryPreferences, InstallIdIsCreatedOnceAndKept) {
    const QRegularExpression upperUuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"));
    TemporaryPreferenceStore store(QStringLiteral("install-"));
    const QString first = anonymousInstallId(store);
    EXPECT_EQ(first.size(), 36);
    EXPECT_TRUE(upperUuid.match(first).hasMatch()) << first.toStdString();
    EXPECT_EQ(QUuid::fromString(first).version(), QUuid::Random);
    EXPECT_EQ(store.string(anonymousTelemetryInstallIdKey), first);
    EXPECT_EQ(anonymousInstallId(store), first);
    // It lives in the file, so another run of the program gets the same identifier.
    JsonFilePreferenceStore nextRun(store.filePath());
    EXPECT_EQ(anonymousInstallId(nextRun), first);

    MemoryPreferenceStore other;
    EXPECT_NE(anonymousInstallId(other), first);
}

TEST(TelemetryPreferences, OnlyUuidTextIsKeptAsStored) {
    const QString lower = QStringLiteral("6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b");
    MemoryPreferenceStore lowerStore(QJsonObject{{anonymousTelemetryInstallIdKey, lower}});
    EXPECT_EQ(anonymousInstallId(lowerStore), lower);
    EXPECT_EQ(lowerStore.string(anonymousTelemetryInstallIdKey), lower);
    // Any version of UUID text is accepted, not only random ones.
    const QString timeBased = QStringLiteral("6F1C2A3B-4D5E-1F60-8A7B-9C0D1E2F3A4B");
    MemoryPreferenceStore timeStore(QJsonObject{{anonymousTelemetryInstallIdKey, timeBased}});
    EXPECT_EQ(anonymousInstallId(timeStore), timeBased);

    for (const QJsonValue& unusable :
         {QJsonValue(QStringLiteral("none")), QJsonValue(QString()),
          QJsonValue(QLatin1Char('{') + lower + QLatin1Char('}')),
          QJsonValue(lower.toUpper().remove(QLatin1Char('-'))),
          QJsonValue(QLatin1Char(' ') + lower), QJsonValue(lower + QLatin1Char(' ')),
          QJsonValue(QStringLiteral("6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4g")),
          QJsonValue(QStringLiteral("6f1c2a3b4-d5e-4f60-8a7b-9c0d1e2f3a4b")), QJsonValue(42.0)}) {
        MemoryPreferenceStore store(QJsonObject{{anonymousTelemetryInstallIdKey, unusable}});
        const QString replaced = anonymousInstallId(store);
        EXPECT_EQ(replaced.size(), 36);
        EXPECT_EQ(replaced, replaced.toUpper());
        EXPECT_NE(QJsonValue(replaced), unusable);
        EXPECT_EQ(store.string(anonymousTelemetryInstallIdKey), replaced);
        EXPECT_EQ(anonymousInstallId(store), replaced);
    }
}
