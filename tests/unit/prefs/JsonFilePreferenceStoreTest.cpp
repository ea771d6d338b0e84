#include "prefs/JsonFilePreferenceStore.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/WorkDuration.h"
#include "unit/UnitTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

using namespace lumatide;
using namespace Qt::StringLiterals;
using namespace lumatide::test;

namespace {

class JsonFileStoreTest : public ::testing::Test {
protected:
    QString path(const QString& name = u"preferences.json"_s) const {
        return folder_.filePath(name);
    }
    QString folderPath() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

} // namespace

TEST_F(JsonFileStoreTest, KeepsTypedValuesAcrossStoreObjects) {
    JsonFilePreferenceStore writer(path());
    EXPECT_TRUE(writer.trySetValue(workMinutesKey, QJsonValue(40.0)));
    writer.setString(languageKey, u"ja"_s);
    writer.setBool(anonymousTelemetryEnabledKey, false);
    writer.setDouble(u"Lumatide.fraction"_s, 37.25);
    EXPECT_TRUE(writer.lastError().isEmpty());

    // A whole number written as a double comes back as a number, not as the text "40".
    JsonFilePreferenceStore reader(path());
    EXPECT_EQ(reader.value(workMinutesKey), QJsonValue(40.0));
    EXPECT_EQ(savedWorkMinutes(45.0, reader), 40.0);
    EXPECT_EQ(reader.number(u"Lumatide.fraction"_s), 37.25);
    EXPECT_EQ(reader.value(languageKey), QJsonValue(u"ja"_s));
    EXPECT_EQ(reader.value(anonymousTelemetryEnabledKey), QJsonValue(false));
    EXPECT_FALSE(reader.contains(passcodeKey));
    // On disk it is one JSON object with the keys exactly as named.
    EXPECT_EQ(QJsonDocument::fromJson(readBytes(path())).object(), reader.values());
    EXPECT_EQ(reader.values().size(), 4);

    EXPECT_TRUE(reader.tryRemove(languageKey));
    EXPECT_FALSE(writer.contains(languageKey));
    // Removing what is not there succeeds and changes nothing.
    EXPECT_TRUE(reader.tryRemove(u"Lumatide.neverStored"_s));
    EXPECT_EQ(writer.values().size(), 3);
    // JSON has no NaN or infinity: such a number is no value at all, and the file stays JSON.
    EXPECT_TRUE(
        writer.trySetValue(workMinutesKey, QJsonValue(std::numeric_limits<double>::quiet_NaN())));
    writer.setDouble(u"Lumatide.fraction"_s, std::numeric_limits<double>::infinity());
    EXPECT_EQ(reader.values(), (QJsonObject{{anonymousTelemetryEnabledKey, false}}));
    EXPECT_TRUE(QJsonDocument::fromJson(readBytes(path())).isObject());
}

TEST_F(JsonFileStoreTest, EveryReadSeesTheFilesCurrentContent) {
    JsonFilePreferenceStore first(path());
    JsonFilePreferenceStore second(path());
    EXPECT_FALSE(first.contains(passcodeKey));
    second.setString(passcodeKey, u"aaaa"_s);
    EXPECT_EQ(first.string(passcodeKey), u"aaaa"_s);

    // Rewritten in place by someone else with the same size, the same inode and the old
    // modification time put back: only the content tells the difference.
    const QByteArray native = QFile::encodeName(path());
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);
    QByteArray bytes = readBytes(path());
    ASSERT_TRUE(writeBytes(path(), bytes.replace("aaaa", "cccc")));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, native.constData(), times, 0), 0);
    struct stat after {};
    ASSERT_EQ(::stat(native.constData(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(first.string(passcodeKey), u"cccc"_s);

    // A file removed behind the store's back reads as empty.
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_TRUE(first.values().isEmpty());
}

TEST_F(JsonFileStoreTest, OnlyTheOwnerCanReadTheFile) {
    // Even with a permissive creation mask neither the folder nor the file is shared.
    const struct RestoreMask {
        mode_t previous;
        ~RestoreMask() { ::umask(previous); }
    } permissive{::umask(0)};
    const QString nested = folderPath() + u"/config/lumatide/preferences.json"_s;
    JsonFilePreferenceStore store(nested);
    EXPECT_TRUE(store.trySetValue(passcodeKey, QJsonValue(u"secret"_s)));
    store.setBool(anonymousTelemetryEnabledKey, true);
    EXPECT_EQ(modeOf(nested), 0600);
    EXPECT_EQ(modeOf(folderPath() + u"/config/lumatide"_s), 0700);
    EXPECT_EQ(modeOf(folderPath() + u"/config"_s), 0700);
    // The lock file and the temporary file of the write are gone afterwards.
    EXPECT_EQ(entriesOf(folderPath() + u"/config/lumatide"_s), QStringList{u"preferences.json"_s});

    // A file someone made readable for all is made private again by the next write.
    ASSERT_TRUE(writeBytes(path(), R"({"Lumatide.passcode": "1234"})"));
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0666), 0);
    JsonFilePreferenceStore loose(path());
    loose.setString(languageKey, u"de"_s);
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_EQ(loose.string(passcodeKey), u"1234"_s);
}

TEST_F(JsonFileStoreTest, AnUnusableFileIsKeptAsideNotOverwritten) {
    const QRegularExpression keptName(
        QStringLiteral(R"(^preferences\.json\.corrupt-\d{8}T\d{6}Z(-\d+)?$)"));
    for (const QByteArray& bytes :
         {QByteArrayLiteral("Lumatide.workMinutes=40\n{"), QByteArrayLiteral("[1, 2, 3]"),
          QByteArrayLiteral("\"text\"")}) {
        SCOPED_TRACE(bytes.toStdString());
        QTemporaryDir folder;
        const QString file = folder.filePath(u"preferences.json"_s);
        ASSERT_TRUE(writeBytes(file, bytes));
        // The first read keeps it aside and says where; every value falls back to its default.
        JsonFilePreferenceStore store(file);
        EXPECT_TRUE(store.values().isEmpty());
        EXPECT_EQ(savedWorkMinutes(45.0, store), 45.0);
        QStringList names = entriesOf(folder.path());
        ASSERT_EQ(names.size(), 1);
        EXPECT_TRUE(keptName.match(names.at(0)).hasMatch()) << names.at(0).toStdString();
        EXPECT_EQ(readBytes(folder.filePath(names.at(0))), bytes);
        ASSERT_TRUE(store.firstReadProblem().has_value());
        EXPECT_EQ(store.firstReadProblem()->keptAs, folder.filePath(names.at(0)));

        EXPECT_TRUE(store.trySetValue(languageKey, QJsonValue(u"fr"_s)));
        names = entriesOf(folder.path());
        ASSERT_EQ(names.size(), 2) << names.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(names.at(0), u"preferences.json"_s);
        EXPECT_EQ(store.values(), (QJsonObject{{languageKey, u"fr"_s}}));
    }

    // Kept files never replace each other, and are named in UTC whatever the instant's zone.
    const QDateTime when(QDate(2026, 12, 6), QTime(10, 15, 0), QTimeZone::utc());
    const QString base = path() + u".corrupt-20261206T101500Z"_s;
    EXPECT_EQ(JsonFilePreferenceStore::corruptFilePath(path(), when.toOffsetFromUtc(3600)), base);
    ASSERT_TRUE(writeBytes(base, "first"));
    EXPECT_EQ(JsonFilePreferenceStore::corruptFilePath(path(), when), base + u"-1"_s);
    ASSERT_TRUE(writeBytes(base + u"-1"_s, "second"));
    EXPECT_EQ(JsonFilePreferenceStore::corruptFilePath(path(), when), base + u"-2"_s);
}

TEST_F(JsonFileStoreTest, StandardPathFollowsXdgConfigHome) {
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", QFile::encodeName(folderPath()));
    EXPECT_EQ(JsonFilePreferenceStore::standardPath(),
              folderPath() + u"/lumatide/preferences.json"_s);
}
