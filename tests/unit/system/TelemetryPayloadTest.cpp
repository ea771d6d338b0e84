#include "system/TelemetryPayload.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/LanguagePreference.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/WorkDuration.h"

#include <QJsonDocument>
#include <QUuid>
#include <gtest/gtest.h>

using namespace lumatide;

TEST(TelemetryEndpoint, OnlyHttpsWithAHost) {
    EXPECT_EQ(telemetryEndpointURL(QStringLiteral("https://example.org/events")),
              QUrl(QStringLiteral("https://example.org/events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("http://example.org/events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("HTTPS://example.org/events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("Https://example.org/events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("https:///events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("https:/events")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("not a url")));
    EXPECT_FALSE(telemetryEndpointURL(QString()));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("https")));
    EXPECT_FALSE(telemetryEndpointURL(QStringLiteral("https://exa mple.org/events")));
}

TEST(TelemetryEndpoint, BuiltInEndpointIsUsableOrSwitchedOff) {
    // The build either fixes a valid https endpoint whose path is /events, or none at all.
    if (telemetryEndpoint.isEmpty()) {
        EXPECT_FALSE(telemetryEndpointURL());
        return;
    }
    const auto url = telemetryEndpointURL();
    ASSERT_TRUE(url.has_value()) << telemetryEndpoint.toStdString();
    EXPECT_EQ(url->path(), QStringLiteral("/events"));
}

TEST(TelemetryPayload, NineTypedMembers) {
    MemoryPreferenceStore store;
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    const TelemetryBuildInfo build{QStringLiteral("1.2.3"), QStringLiteral("dev"),
                                   QStringLiteral("Debian GNU/Linux 12 (bookworm)")};
    QJsonObject properties{{QStringLiteral("sample"), QStringLiteral("yes")},
                           {QStringLiteral("count"), 2}};
    const QJsonObject first = makeTelemetryPayload(QStringLiteral("self_test"), properties, store,
                                                   t0, AppLanguage::english, build);
    EXPECT_EQ(first.size(), 9);
    EXPECT_EQ(first.value(QStringLiteral("event")).toString(), QStringLiteral("self_test"));
    const QString id = first.value(QStringLiteral("anonymousInstallId")).toString();
    EXPECT_EQ(id.size(), 36);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_FALSE(QUuid::fromString(id).isNull());
    EXPECT_EQ(first.value(QStringLiteral("appVersion")).toString(), QStringLiteral("1.2.3"));
    EXPECT_EQ(first.value(QStringLiteral("buildVersion")).toString(), QStringLiteral("dev"));
    EXPECT_EQ(first.value(QStringLiteral("macOSVersion")).toString(),
              QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_TRUE(first.value(QStringLiteral("workMinutes")).isDouble());
    EXPECT_EQ(first.value(QStringLiteral("workMinutes")).toDouble(), 30.0);
    EXPECT_EQ(first.value(QStringLiteral("timestamp")).toString(),
              QStringLiteral("2027-01-15T08:00:00Z"));
    EXPECT_EQ(first.value(QStringLiteral("properties")).toObject(), properties);

    setSavedWorkMinutes(45.0, store);
    const QJsonObject second =
        makeTelemetryPayload(QStringLiteral("app_open"), {}, store, t0.addMSecs(999).toLocalTime(),
                             AppLanguage::german, build);
    EXPECT_EQ(second.value(QStringLiteral("anonymousInstallId")).toString(), id);
    EXPECT_EQ(second.value(QStringLiteral("language")).toString(), QStringLiteral("de"));
    EXPECT_EQ(second.value(QStringLiteral("workMinutes")).toDouble(), 45.0);
    // Whole seconds, UTC, whatever the time zone of the instant handed in.
    EXPECT_EQ(second.value(QStringLiteral("timestamp")).toString(),
              QStringLiteral("2027-01-15T08:00:00Z"));
    EXPECT_TRUE(second.value(QStringLiteral("properties")).isObject());
    EXPECT_TRUE(second.value(QStringLiteral("properties")).toObject().isEmpty());
}
