#include "fakes/FakeAutostartService.h"
#include "fakes/LogCapture.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/WorkDuration.h"
#include "system/LaunchAtLogin.h"
#include "system/RelaunchCommands.h"
#include "system/TelemetryPayload.h"
#include "unit/UnitTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUuid>
#include <gtest/gtest.h>

using namespace lumatide;
using lumatide::test::LogCapture;

TEST(LaunchAtLoginDefault, AppliedOnceFromAnInstalledLocation) {
    MemoryPreferenceStore preferences;
    FakeAutostartService service;
    LogCapture log;
    // An uninstalled copy registers and writes nothing; the default is still pending.
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, false);
    EXPECT_EQ(service.enableCount, 0);
    EXPECT_TRUE(preferences.values().isEmpty());

    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(preferences.values(),
              (QJsonObject{{launchAtLoginPreferenceInitializedKey, QJsonValue(true)}}));
    // The user switches it off outside the program; later starts leave that choice alone.
    service.enabled = false;
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_TRUE(LogCapture::lines().isEmpty());

    // Any stored marker counts as done.
    for (const QJsonValue& stored : {QJsonValue(false), QJsonValue(0.0), QJsonValue(QString())}) {
        MemoryPreferenceStore marked(QJsonObject{{launchAtLoginPreferenceInitializedKey, stored}});
        enableLaunchAtLoginByDefaultIfNeeded(marked, service, true);
        EXPECT_EQ(service.enableCount, 1);
        EXPECT_EQ(marked.value(launchAtLoginPreferenceInitializedKey), stored);
    }
}

TEST(LaunchAtLoginDefault, FailureIsLoggedAndRetriedAtTheNextStart) {
    MemoryPreferenceStore preferences;
    FakeAutostartService service;
    service.failure = QStringLiteral("Permission denied");
    {
        LogCapture log;
        enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
        EXPECT_EQ(LogCapture::lines(),
                  QStringList{QStringLiteral(
                      "Lumatide could not enable launch at login by default: Permission denied")});
    }
    EXPECT_TRUE(preferences.values().isEmpty());
    service.failure.clear();
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 2);
    EXPECT_TRUE(service.enabled);
    EXPECT_TRUE(preferences.contains(launchAtLoginPreferenceInitializedKey));
}

TEST(LaunchAtLoginToggle, ChangesOnlyWhatDiffersAndReportsErrors) {
    FakeAutostartService service;
    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_TRUE(launchAtLoginIsEnabled(service));
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_EQ(service.disableCount, 0);
    service.failure = QStringLiteral("Read-only file system");
    EXPECT_EQ(setLaunchAtLoginEnabled(false, service), QStringLiteral("Read-only file system"));
    EXPECT_TRUE(service.enabled);
    service.failure.clear();
    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_FALSE(launchAtLoginIsEnabled(service));
    EXPECT_EQ(service.disableCount, 2);
}

TEST(RelaunchCommands, DirectAndServiceFormsWithABoundedDelay) {
    EXPECT_EQ(relaunchCommand(QStringLiteral("/opt/My Apps/lumatide"), 90.9),
              QStringLiteral("sleep 90; exec '/opt/My Apps/lumatide'"));
    EXPECT_EQ(relaunchCommand(QStringLiteral("/home/kim/Kid's Apps/lumatide"), 3600.0),
              QStringLiteral("sleep 3600; exec '/home/kim/Kid'\\''s Apps/lumatide'"));
    EXPECT_EQ(temporaryQuitRelaunchCommand(QString(), 3600.0),
              QStringLiteral("sleep 3600; systemctl --user restart com.vexilo.lumatide.service"));
    for (const auto& [delay, sleep] :
         {std::pair{0.99, "sleep 0;"}, {-5.0, "sleep 0;"}, {1e300, "sleep 1000000000;"}}) {
        EXPECT_TRUE(relaunchCommand(QStringLiteral("/x"), delay).startsWith(QLatin1String(sleep)));
    }
}

// The shell must see exactly the path given, as one word, whatever it contains.
TEST(RelaunchCommands, ShellRunsTheExactPath) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Kid's \"Apps\" $HOME `x` \\ end"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/start me");
    ASSERT_TRUE(test::writeBytes(program, "#!/bin/sh\necho \"$0\" > \"$MARKER\"\n"));
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess shell;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARKER"), dir.filePath(QStringLiteral("started")));
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), temporaryQuitRelaunchCommand(program, 0.0)});
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(shell.exitCode(), 0);
    EXPECT_EQ(test::readBytes(dir.filePath(QStringLiteral("started"))).trimmed(), program.toUtf8());
}

TEST(TelemetryEndpoint, OnlyHttpsWithAHost) {
    EXPECT_EQ(telemetryEndpointURL(QStringLiteral("https://example.org/events")),
              QUrl(QStringLiteral("https://example.org/events")));
    for (const char* refused :
         {"http://example.org/events", "HTTPS://example.org/events", "Https://example.org/e",
          "https:///events", "https:/events", "not a url", "", "https", "https://exa mple.org/"}) {
        EXPECT_FALSE(telemetryEndpointURL(QString::fromLatin1(refused))) << refused;
    }
    // The build either fixes a valid https endpoint whose path is /events, or none at all.
    if (!telemetryEndpoint.isEmpty()) {
        ASSERT_TRUE(telemetryEndpointURL().has_value()) << telemetryEndpoint.toStdString();
        EXPECT_EQ(telemetryEndpointURL()->path(), QStringLiteral("/events"));
    }
}

TEST(TelemetryPayload, NineTypedMembers) {
    MemoryPreferenceStore store;
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1800000000, QTimeZone::utc());
    const TelemetryBuildInfo build{QStringLiteral("1.2.3"), QStringLiteral("dev"),
                                   QStringLiteral("Debian GNU/Linux 12 (bookworm)")};
    const QJsonObject properties{{QStringLiteral("sample"), QStringLiteral("yes")}};
    const QJsonObject first = makeTelemetryPayload(QStringLiteral("self_test"), properties, store,
                                                   t0, AppLanguage::english, build);
    const QString id = first.value(QStringLiteral("anonymousInstallId")).toString();
    EXPECT_FALSE(QUuid::fromString(id).isNull());
    EXPECT_EQ(first,
              (QJsonObject{{QStringLiteral("event"), QStringLiteral("self_test")},
                           {QStringLiteral("anonymousInstallId"), id},
                           {QStringLiteral("appVersion"), QStringLiteral("1.2.3")},
                           {QStringLiteral("buildVersion"), QStringLiteral("dev")},
                           {QStringLiteral("macOSVersion"), build.osVersion},
                           {QStringLiteral("language"), QStringLiteral("en")},
                           {QStringLiteral("workMinutes"), 30.0},
                           {QStringLiteral("timestamp"), QStringLiteral("2027-01-15T08:00:00Z")},
                           {QStringLiteral("properties"), properties}}));

    // The same identifier and the stored length; whole seconds in UTC whatever the zone.
    setSavedWorkMinutes(45.0, store);
    const QJsonObject second =
        makeTelemetryPayload(QStringLiteral("app_open"), {}, store,
                             t0.addMSecs(999).toOffsetFromUtc(3600), AppLanguage::german, build);
    EXPECT_EQ(second.value(QStringLiteral("anonymousInstallId")).toString(), id);
    EXPECT_EQ(second.value(QStringLiteral("language")).toString(), QStringLiteral("de"));
    EXPECT_EQ(second.value(QStringLiteral("workMinutes")), QJsonValue(45.0));
    EXPECT_EQ(second.value(QStringLiteral("timestamp")).toString(),
              QStringLiteral("2027-01-15T08:00:00Z"));
    EXPECT_EQ(second.value(QStringLiteral("properties")), QJsonValue(QJsonObject()));
}
