// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakeAutostartService.h"
#include "fakes/LogCapture.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/WorkDuration.h"
#include "system/LaunchAtLogin.h"
#include "system/RelaunchCommands.h"
#include "system/TelemetryPayload.h"
#include "unit/UnitTestSupport.h"

#include <QTimeZone>
#include <QUuid>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace Qt::StringLiterals;
using lumatide::test::LogCapture;

TEST(LaunchAtLogin, OnByDefaultOnceFromAnInstalledCopyAndSwitchedOnlyWhenItDiffers) {
    MemoryPreferenceStore preferences;
    FakeAutostartService service;
    service.failure = u"Permission denied"_s;
    {
        // An uninstalled copy registers nothing; a failure is logged and the default stays
        // pending for the next start.
        LogCapture log;
        enableLaunchAtLoginByDefaultIfNeeded(preferences, service, false);
        enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
        EXPECT_EQ(LogCapture::lines(),
                  QStringList{QStringLiteral(
                      "Lumatide could not enable launch at login by default: Permission denied")});
    }
    EXPECT_TRUE(preferences.values().isEmpty());
    service.failure.clear();
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(preferences.values(),
              (QJsonObject{{launchAtLoginPreferenceInitializedKey, QJsonValue(true)}}));
    // Switched off outside the program, it stays off; any stored marker counts as done.
    service.enabled = false;
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    for (const QJsonValue& stored : {QJsonValue(false), QJsonValue(0.0), QJsonValue(QString())}) {
        MemoryPreferenceStore marked(QJsonObject{{launchAtLoginPreferenceInitializedKey, stored}});
        enableLaunchAtLoginByDefaultIfNeeded(marked, service, true);
        EXPECT_EQ(marked.value(launchAtLoginPreferenceInitializedKey), stored);
    }
    EXPECT_EQ(service.enableCount, 2);

    // The switch changes only what differs, and reports errors.
    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_EQ(std::pair(service.enableCount, service.disableCount), std::pair(3, 0));
    service.failure = u"Read-only file system"_s;
    EXPECT_EQ(setLaunchAtLoginEnabled(false, service), u"Read-only file system"_s);
    EXPECT_TRUE(launchAtLoginIsEnabled(service));
}

TEST(RelaunchCommands, DirectAndServiceFormsWithABoundedDelay) {
    EXPECT_EQ(relaunchCommand(u"/opt/My Apps/lumatide"_s, 90.9),
              u"sleep 90; exec '/opt/My Apps/lumatide'"_s);
    // Inside single quotes the shell takes every character as it is, but the quote itself.
    EXPECT_EQ(relaunchCommand(uR"(/home/kim/Kid's "$HOME" `x` \ Apps/lumatide)"_s, 3600.0),
              uR"(sleep 3600; exec '/home/kim/Kid'\''s "$HOME" `x` \ Apps/lumatide')"_s);
    EXPECT_EQ(temporaryQuitRelaunchCommand(QString(), 3600.0),
              u"sleep 3600; systemctl --user restart com.vexilo.lumatide.service"_s);
    for (const auto& [delay, sleep] :
         {std::pair{0.99, "sleep 0;"}, {-5.0, "sleep 0;"}, {1e300, "sleep 1000000000;"}}) {
        EXPECT_TRUE(relaunchCommand(u"/x"_s, delay).startsWith(QLatin1String(sleep)));
    }
}

TEST(TelemetryEndpoint, OnlyHttpsWithAHost) {
    EXPECT_EQ(telemetryEndpointURL(u"https://example.org/events"_s),
              QUrl(u"https://example.org/events"_s));
    for (const char* refused :
         {"http://example.org/events", "HTTPS://example.org/events", "Https://example.org/e",
          "https:///events", "https:/events", "not a url", "", "https", "https://exa mple.org/"}) {
        EXPECT_FALSE(telemetryEndpointURL(QString::fromLatin1(refused))) << refused;
    }
    // The build either fixes a valid https endpoint whose path is /events, or none at all.
    if (!telemetryEndpoint.isEmpty()) {
        ASSERT_TRUE(telemetryEndpointURL().has_value()) << telemetryEndpoint.toStdString();
        EXPECT_EQ(telemetryEndpointURL()->path(), u"/events"_s);
    }
}

TEST(TelemetryPayload, NineTypedMembers) {
    MemoryPreferenceStore store;
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1800000000, QTimeZone::utc());
    const TelemetryBuildInfo build{u"1.2.3"_s, u"dev"_s, u"Debian GNU/Linux 12 (bookworm)"_s};
    const QJsonObject properties{{u"sample"_s, u"yes"_s}};
    const QJsonObject first =
        makeTelemetryPayload(u"self_test"_s, properties, store, t0, AppLanguage::english, build);
    const QString id = first.value(u"anonymousInstallId"_s).toString();
    EXPECT_FALSE(QUuid::fromString(id).isNull());
    EXPECT_EQ(first, (QJsonObject{{u"event"_s, u"self_test"_s},
                                  {u"anonymousInstallId"_s, id},
                                  {u"appVersion"_s, u"1.2.3"_s},
                                  {u"buildVersion"_s, u"dev"_s},
                                  {u"macOSVersion"_s, build.osVersion},
                                  {u"language"_s, u"en"_s},
                                  {u"workMinutes"_s, 30.0},
                                  {u"timestamp"_s, u"2027-01-15T08:00:00Z"_s},
                                  {u"properties"_s, properties}}));

    // The same identifier and the stored length; whole seconds in UTC whatever the zone.
    setSavedWorkMinutes(45.0, store);
    const QJsonObject second =
        makeTelemetryPayload(u"app_open"_s, {}, store, t0.addMSecs(999).toOffsetFromUtc(3600),
                             AppLanguage::german, build);
    EXPECT_EQ(second.value(u"anonymousInstallId"_s).toString(), id);
    EXPECT_EQ(second.value(u"language"_s).toString(), u"de"_s);
    EXPECT_EQ(second.value(u"workMinutes"_s), QJsonValue(45.0));
    EXPECT_EQ(second.value(u"timestamp"_s).toString(), u"2027-01-15T08:00:00Z"_s);
    EXPECT_EQ(second.value(u"properties"_s), QJsonValue(QJsonObject()));
}
