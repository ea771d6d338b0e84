#include "prefs/LaunchAtLoginPreference.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace lumatide;

TEST(LaunchAtLoginPreference, AnyStoredValueMeansTheDefaultWasDealtWith) {
    MemoryPreferenceStore store;
    EXPECT_TRUE(shouldDefaultEnableLaunchAtLogin(store));
    markLaunchAtLoginPreferenceInitialized(store);
    EXPECT_FALSE(shouldDefaultEnableLaunchAtLogin(store));
    EXPECT_EQ(store.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));
    markLaunchAtLoginPreferenceInitialized(store);
    EXPECT_EQ(store.values().size(), 1);

    for (const QJsonValue& stored : {QJsonValue(false), QJsonValue(0.0), QJsonValue(QString())}) {
        EXPECT_FALSE(shouldDefaultEnableLaunchAtLogin(
            MemoryPreferenceStore(QJsonObject{{launchAtLoginPreferenceInitializedKey, stored}})));
    }
}
