#include "system/LaunchAtLogin.h"

#include "cycle/Constants.h"
#include "fakes/FakeLoginItemService.h"
#include "fakes/LogCapture.h"
#include "prefs/MemoryPreferenceStore.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace lumatide;
using lumatide::test::LogCapture;

TEST(LaunchAtLoginDefault, AppliedOnceFromAnInstalledLocation) {
    MemoryPreferenceStore defaults;
    FakeLoginItemService service;
    LogCapture log;

    enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
    EXPECT_EQ(service.registerCount, 1);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(defaults.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));

    // The user switches it off outside the program; later starts leave that choice alone.
    service.enabled = false;
    enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
    EXPECT_EQ(service.registerCount, 1);
    EXPECT_FALSE(service.enabled);
    EXPECT_TRUE(LogCapture::lines().isEmpty());
}

TEST(LaunchAtLoginDefault, UninstalledCopyRegistersAndWritesNothing) {
    MemoryPreferenceStore defaults;
    FakeLoginItemService service;

    enableLaunchAtLoginByDefaultIfNeeded(defaults, service, false);
    EXPECT_EQ(service.registerCount, 0);
    EXPECT_TRUE(defaults.values().isEmpty());

    // Installed later: the default is still pending and is applied then.
    enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
    EXPECT_EQ(service.registerCount, 1);
    EXPECT_TRUE(defaults.contains(launchAtLoginPreferenceInitializedKey));
}

TEST(LaunchAtLoginDefault, FailureIsLoggedAndRetriedAtTheNextStart) {
    MemoryPreferenceStore defaults;
    FakeLoginItemService service;
    service.failure = QStringLiteral("Permission denied");
    {
        LogCapture log;
        enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
        EXPECT_EQ(LogCapture::lines(),
                  QStringList{QStringLiteral(
                      "Lumatide could not enable launch at login by default: Permission denied")});
    }
    EXPECT_FALSE(defaults.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_FALSE(service.enabled);

    service.failure.clear();
    LogCapture log;
    enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
    EXPECT_EQ(service.registerCount, 2);
    EXPECT_TRUE(service.enabled);
    EXPECT_EQ(defaults.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));
    EXPECT_TRUE(LogCapture::lines().isEmpty());
}

TEST(LaunchAtLoginDefault, AnyStoredMarkerCountsAsDone) {
    for (const QJsonValue& stored :
         {QJsonValue(false), QJsonValue(true), QJsonValue(0.0), QJsonValue(QStringLiteral("no"))}) {
        MemoryPreferenceStore defaults;
        defaults.setValue(launchAtLoginPreferenceInitializedKey, stored);
        FakeLoginItemService service;
        enableLaunchAtLoginByDefaultIfNeeded(defaults, service, true);
        EXPECT_EQ(service.registerCount, 0);
        EXPECT_FALSE(service.enabled);
        EXPECT_EQ(defaults.value(launchAtLoginPreferenceInitializedKey), stored);
    }
}

TEST(LaunchAtLoginToggle, ChangesOnlyWhatDiffers) {
    FakeLoginItemService service;
    EXPECT_FALSE(launchAtLoginIsEnabled(service));

    // Off already: switching off touches nothing.
    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_EQ(service.unregisterCount, 0);

    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_EQ(service.registerCount, 1);
    EXPECT_TRUE(launchAtLoginIsEnabled(service));

    // On already: switching on touches nothing.
    EXPECT_FALSE(setLaunchAtLoginEnabled(true, service));
    EXPECT_EQ(service.registerCount, 1);

    EXPECT_FALSE(setLaunchAtLoginEnabled(false, service));
    EXPECT_EQ(service.unregisterCount, 1);
    EXPECT_FALSE(launchAtLoginIsEnabled(service));
}

TEST(LaunchAtLoginToggle, ReportsTheServiceError) {
    FakeLoginItemService service;
    service.failure = QStringLiteral("Read-only file system");
    EXPECT_EQ(setLaunchAtLoginEnabled(true, service), QStringLiteral("Read-only file system"));
    EXPECT_FALSE(service.enabled);

    service.failure.clear();
    service.enabled = true;
    service.failure = QStringLiteral("Device busy");
    EXPECT_EQ(setLaunchAtLoginEnabled(false, service), QStringLiteral("Device busy"));
    EXPECT_TRUE(service.enabled);
}
