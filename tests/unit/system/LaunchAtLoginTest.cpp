#include "system/LaunchAtLogin.h"

#include "fakes/FakeAutostartService.h"
#include "fakes/LogCapture.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace lumatide;
using lumatide::test::LogCapture;

TEST(LaunchAtLoginDefault, AppliedOnceFromAnInstalledLocation) {
    MemoryPreferenceStore preferences;
    FakeAutostartService service;
    LogCapture log;

    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(preferences.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));

    // The user switches it off outside the program; later starts leave that choice alone.
    service.enabled = false;
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_FALSE(service.enabled);
    EXPECT_TRUE(LogCapture::lines().isEmpty());
}

TEST(LaunchAtLoginDefault, UninstalledCopyRegistersAndWritesNothing) {
    MemoryPreferenceStore preferences;
    FakeAutostartService service;

    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, false);
    EXPECT_EQ(service.enableCount, 0);
    EXPECT_TRUE(preferences.values().isEmpty());

    // Installed later: the default is still pending and is applied then.
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_TRUE(preferences.contains(launchAtLoginPreferenceInitializedKey));
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
    EXPECT_FALSE(preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_FALSE(service.enabled);

    service.failure.clear();
    LogCapture log;
    enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
    EXPECT_EQ(service.enableCount, 2);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(preferences.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));
    EXPECT_TRUE(LogCapture::lines().isEmpty());
}

TEST(LaunchAtLoginDefault, AnyStoredMarkerCountsAsDone) {
    for (const QJsonValue& stored :
         {QJsonValue(false), QJsonValue(true), QJsonValue(0.0), QJsonValue(QStringLiteral("no"))}) {
        MemoryPreferenceStore preferences;
        preferences.setValue(launchAtLoginPreferenceInitializedKey, stored);
        FakeAutostartService service;
        enableLaunchAtLoginByDefaultIfNeeded(preferences, service, true);
        EXPECT_EQ(service.enableCount, 0);
        EXPECT_FALSE(service.enabled);
        EXPECT_EQ(preferences.value(launchAtLoginPreferenceInitializedKey), stored);
    }
}

TEST(LaunchAtLoginToggle, ChangesOnlyWhatDiffers) {
    FakeAutostartService service;
    EXPECT_FALSE(launchAtLoginIsEnabled(service));

    // Off already: switching off touches nothing.
    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_EQ(service.disableCount, 0);

    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_EQ(service.enableCount, 1);
    EXPECT_TRUE(launchAtLoginIsEnabled(service));

    // On already: switching on touches nothing.
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_EQ(service.enableCount, 1);

    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_EQ(service.disableCount, 1);
    EXPECT_FALSE(launchAtLoginIsEnabled(service));
}

TEST(LaunchAtLoginToggle, ReportsTheServiceError) {
    FakeAutostartService service;
    service.failure = QStringLiteral("Read-only file system");
    EXPECT_EQ(setLaunchAtLoginEnabled(true, service), QStringLiteral("Read-only file system"));
    EXPECT_FALSE(service.enabled);

    service.failure.clear();
    service.enabled = true;
    service.failure = QStringLiteral("Device busy");
    EXPECT_EQ(setLaunchAtLoginEnabled(false, service), QStringLiteral("Device busy"));
    EXPECT_TRUE(service.enabled);
}
