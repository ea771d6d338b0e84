#include "prefs/PreferenceStore.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/TemporaryPreferenceStore.h"
#include "unit/prefs/PrefsTestSupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;
using namespace lumatide::test;

namespace {

const QString key = QStringLiteral("Lumatide.test");

MemoryPreferenceStore storeHolding(const QJsonValue& value) {
    return MemoryPreferenceStore(QJsonObject{{key, value}});
}

} // namespace

TEST(PreferenceStore, TypedReadsAcceptOnlyTheirOwnType) {
    EXPECT_EQ(storeHolding(QStringLiteral("40")).string(key), QStringLiteral("40"));
    EXPECT_FALSE(storeHolding(QStringLiteral("40")).number(key).has_value());
    EXPECT_EQ(storeHolding(40.0).number(key), 40.0);
    EXPECT_FALSE(storeHolding(40.0).string(key).has_value());
    EXPECT_FALSE(storeHolding(true).number(key).has_value());
    EXPECT_FALSE(storeHolding(QJsonValue()).string(key).has_value());
    EXPECT_TRUE(storeHolding(QJsonValue()).contains(key));
    EXPECT_FALSE(MemoryPreferenceStore().contains(key));
    EXPECT_FALSE(MemoryPreferenceStore().string(key).has_value());
    // A number that is not finite is no usable number.
    EXPECT_FALSE(storeHolding(std::numeric_limits<double>::quiet_NaN()).number(key).has_value());
    EXPECT_FALSE(storeHolding(std::numeric_limits<double>::infinity()).number(key).has_value());
    EXPECT_FALSE(storeHolding(-std::numeric_limits<double>::infinity()).number(key).has_value());
}

TEST(PreferenceStore, BooleanReadingOfEveryKindOfValue) {
    EXPECT_TRUE(storeHolding(true).boolean(key));
    EXPECT_FALSE(storeHolding(false).boolean(key));
    EXPECT_TRUE(storeHolding(1.0).boolean(key));
    EXPECT_TRUE(storeHolding(-0.5).boolean(key));
    EXPECT_FALSE(storeHolding(0.0).boolean(key));
    EXPECT_FALSE(storeHolding(std::numeric_limits<double>::quiet_NaN()).boolean(key));
    for (const char* yes : {"true", "TRUE", "True", "yes", "YES", "1"}) {
        EXPECT_TRUE(storeHolding(QString::fromUtf8(yes)).boolean(key)) << yes;
    }
    for (const char* no : {"false", "no", "0", "", "2", " true", "y"}) {
        EXPECT_FALSE(storeHolding(QString::fromUtf8(no)).boolean(key)) << no;
    }
    EXPECT_FALSE(storeHolding(QJsonValue()).boolean(key));
    EXPECT_FALSE(storeHolding(QJsonArray{true}).boolean(key));
    EXPECT_FALSE(MemoryPreferenceStore().boolean(key));
}

TEST(PreferenceStore, MemoryStoreWritesAndRemoves) {
    MemoryPreferenceStore store;
    store.setDouble(key, 35.0);
    EXPECT_EQ(store.number(key), 35.0);
    store.setString(key, QStringLiteral("text"));
    EXPECT_EQ(store.string(key), QStringLiteral("text"));
    store.setBool(key, false);
    EXPECT_TRUE(store.contains(key));
    EXPECT_FALSE(store.boolean(key));
    store.remove(key);
    EXPECT_FALSE(store.contains(key));
    // Like the file store, it keeps no value for a number JSON cannot hold.
    store.setDouble(key, 1.0);
    store.setDouble(key, std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(store.contains(key));
    EXPECT_TRUE(store.values().isEmpty());
}

TEST(TemporaryPreferenceStore, IsAPrivateThrowAwayFile) {
    QString filePath;
    QString folder;
    {
        TemporaryPreferenceStore store(QStringLiteral("Lumatide.selftest."));
        ASSERT_TRUE(store.isValid());
        ASSERT_TRUE(store.name().startsWith(QStringLiteral("Lumatide.selftest.")));
        const QString uuid = store.name().mid(QStringLiteral("Lumatide.selftest.").size());
        EXPECT_EQ(uuid.size(), 36);
        EXPECT_FALSE(QUuid::fromString(uuid).isNull());
        filePath = store.filePath();
        folder = QFileInfo(filePath).absolutePath();
        EXPECT_EQ(QFileInfo(filePath).fileName(), store.name() + QStringLiteral(".json"));
        EXPECT_EQ(modeOf(folder), 0700);

        // Starts empty; what it holds is in its file, where any file store sees it.
        EXPECT_FALSE(store.contains(key));
        store.setDouble(key, 42.0);
        EXPECT_TRUE(store.fileStore().lastError().isEmpty());
        EXPECT_EQ(JsonFilePreferenceStore(filePath).number(key), 42.0);
        EXPECT_EQ(modeOf(filePath), 0600);
        store.remove(key);
        EXPECT_FALSE(JsonFilePreferenceStore(filePath).contains(key));
        store.setBool(key, true);

        // Two throw-away stores never share a file or a value.
        TemporaryPreferenceStore other(QStringLiteral("Lumatide.selftest."));
        EXPECT_NE(other.name(), store.name());
        EXPECT_NE(other.filePath(), store.filePath());
        EXPECT_FALSE(other.contains(key));
    }
    EXPECT_FALSE(QFileInfo::exists(filePath));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(TemporaryPreferenceStore, FollowsTheTemporaryFolderSetting) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const ScopedEnvironmentVariable tmp("TMPDIR", QFile::encodeName(base.path()));
    TemporaryPreferenceStore store(QStringLiteral("p-"));
    ASSERT_TRUE(store.isValid());
    EXPECT_TRUE(store.filePath().startsWith(base.path() + QLatin1Char('/')));
}
