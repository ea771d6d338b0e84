// SPDX-License-Identifier: GPL-3.0-or-later
// The preference file on disk: typed values, privacy, and the ways a file or a write goes
// wrong (a full disk, a read-only folder, something unusable at the path, a file that breaks
// while the program runs, other processes writing at once). Cases that change limits or the
// user run in a child process that reports through its exit status (0, or the number of the
// failed check) and is ended by an alarm if it blocks.

#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/UnitTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <limits>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace lumatide;
using namespace lumatide::test;
using namespace Qt::StringLiterals;

namespace {

// Root ignores folder permissions, so a child of a root test run becomes "nobody" first.
bool dropRootPrivileges() {
    if (::geteuid() != 0) {
        return true;
    }
    const struct passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
}

const QByteArray saved = R"({"Lumatide.passcode": "2468", "Lumatide.workMinutes": 40})";
const QRegularExpression keptName(uR"(^preferences\.json\.corrupt-\d{8}T\d{6}Z(-\d+)?$)"_s);

class PreferenceFile : public ::testing::Test {
protected:
    QString path() const { return folder.filePath(u"preferences.json"_s); }
    QTemporaryDir folder;
};

} // namespace

TEST_F(PreferenceFile, KeepsTypedValuesAndSeesEveryChangeOfTheFile) {
    JsonFilePreferenceStore writer(path());
    EXPECT_TRUE(writer.trySetValue(workMinutesKey, QJsonValue(40.0)));
    writer.setString(languageKey, u"ja"_s);
    writer.setBool(anonymousTelemetryEnabledKey, false);
    writer.setDouble(u"Lumatide.fraction"_s, 37.25);
    // A whole number written as a double comes back as a number, not as the text "40".
    JsonFilePreferenceStore reader(path());
    EXPECT_EQ(reader.values(), (QJsonObject{{workMinutesKey, 40.0},
                                            {languageKey, u"ja"_s},
                                            {anonymousTelemetryEnabledKey, false},
                                            {u"Lumatide.fraction"_s, 37.25}}));
    EXPECT_EQ(QJsonDocument::fromJson(readBytes(path())).object(), reader.values());
    EXPECT_TRUE(reader.tryRemove(languageKey));
    EXPECT_TRUE(reader.tryRemove(u"Lumatide.neverStored"_s));
    // JSON has no NaN or infinity: such a number is no value at all, and the file stays JSON.
    EXPECT_TRUE(
        writer.trySetValue(workMinutesKey, QJsonValue(std::numeric_limits<double>::quiet_NaN())));
    writer.setDouble(u"Lumatide.fraction"_s, std::numeric_limits<double>::infinity());
    EXPECT_EQ(reader.values(), (QJsonObject{{anonymousTelemetryEnabledKey, false}}));
    EXPECT_TRUE(QJsonDocument::fromJson(readBytes(path())).isObject());

    // Rewritten in place by someone else with the same size, the same inode and the old
    // modification time put back: only the content tells the difference.
    writer.setString(passcodeKey, u"aaaa"_s);
    EXPECT_EQ(reader.string(passcodeKey), u"aaaa"_s);
    const QByteArray native = QFile::encodeName(path());
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);
    QByteArray bytes = readBytes(path());
    ASSERT_TRUE(writeBytes(path(), bytes.replace("aaaa", "cccc")));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, native.constData(), times, 0), 0);
    EXPECT_EQ(writer.string(passcodeKey), u"cccc"_s);
    // A file removed behind the store's back reads as empty.
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_TRUE(reader.values().isEmpty());

    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
    EXPECT_EQ(JsonFilePreferenceStore::standardPath(),
              folder.path() + u"/lumatide/preferences.json"_s);
}

TEST_F(PreferenceFile, OnlyTheOwnerCanReadTheFile) {
    // Even with a permissive creation mask neither the folder nor the file is shared.
    const struct RestoreMask {
        mode_t previous;
        ~RestoreMask() { ::umask(previous); }
    } permissive{::umask(0)};
    const QString nested = folder.path() + u"/config/lumatide/preferences.json"_s;
    JsonFilePreferenceStore store(nested);
    EXPECT_TRUE(store.trySetValue(passcodeKey, QJsonValue(u"secret"_s)));
    store.setBool(anonymousTelemetryEnabledKey, true);
    EXPECT_EQ(modeOf(nested), 0600);
    EXPECT_EQ(modeOf(folder.path() + u"/config/lumatide"_s), 0700);
    EXPECT_EQ(modeOf(folder.path() + u"/config"_s), 0700);
    // The lock file and the temporary file of the write are gone afterwards.
    EXPECT_EQ(entriesOf(folder.path() + u"/config/lumatide"_s), QStringList{u"preferences.json"_s});

    // A file someone made readable for all is made private again by the next write.
    ASSERT_TRUE(writeBytes(path(), saved));
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0666), 0);
    JsonFilePreferenceStore loose(path());
    loose.setString(languageKey, u"de"_s);
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_EQ(loose.string(passcodeKey), u"2468"_s);

    // Where no folder can be made, or with no file at all, writes fail and hold for the run.
    JsonFilePreferenceStore beneathAFile(path() + u"/lumatide/preferences.json"_s);
    JsonFilePreferenceStore nowhere{QString()};
    for (JsonFilePreferenceStore* failing : {&beneathAFile, &nowhere}) {
        EXPECT_FALSE(failing->trySetValue(languageKey, QJsonValue(u"en"_s)));
        EXPECT_FALSE(failing->lastError().isEmpty());
        EXPECT_EQ(failing->string(languageKey), u"en"_s);
    }
    EXPECT_EQ(JsonFilePreferenceStore(path()).string(languageKey), u"de"_s);
}

// A write that cannot land returns false with a reason, leaves the old file byte for byte and
// nothing new beside it, and keeps the change in effect for this run. Once the obstacle is
// gone, the next write that goes through clears the error and saves everything held.
TEST_F(PreferenceFile, AWriteThatCannotLandLeavesTheOldFile) {
    const struct {
        const char* name;
        // Puts the obstacle in place inside the child and sets how to lift it, if it can be.
        std::function<bool(const QString& dir, std::function<bool()>& lift)> put;
    } obstacles[] = {
        // Room for the lock file but not for the new content, so that the write itself fails
        // part way, as on a full disk.
        {"a file-size limit",
         [](const QString&, std::function<bool()>& lift) {
             ::signal(SIGXFSZ, SIG_IGN);
             lift = [] {
                 const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
                 return ::setrlimit(RLIMIT_FSIZE, &none) == 0;
             };
             const rlimit limit{1024, RLIM_INFINITY};
             return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"a read-only folder",
         [](const QString& dir, std::function<bool()>&) {
             return ::chmod(QFile::encodeName(dir).constData(), 0555) == 0 && dropRootPrivileges();
         }},
    };
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    for (const auto& obstacle : obstacles) {
        ASSERT_TRUE(writeBytes(path(), saved));
        ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0644), 0);
        const int result = inChild([&]() -> int {
            std::function<bool()> lift;
            if (!obstacle.put(folder.path(), lift)) {
                return 7;
            }
            const QStringList before = entriesOf(folder.path());
            JsonFilePreferenceStore store(path());
            const QString code(2000, u'7');
            if (store.trySetValue(passcodeKey, code) || store.lastError().isEmpty()) {
                return 1;
            }
            if (store.tryRemove(workMinutesKey)) {
                return 2;
            }
            if (readBytes(path()) != saved || entriesOf(folder.path()) != before) {
                return 3;
            }
            if (store.string(passcodeKey) != code || store.contains(workMinutesKey)) {
                return 4;
            }
            if (!lift) {
                return 0;
            }
            if (!lift() || !store.trySetValue(languageKey, u"de"_s) ||
                !store.lastError().isEmpty()) {
                return 5;
            }
            const QJsonObject expected{{passcodeKey, code}, {languageKey, u"de"_s}};
            return JsonFilePreferenceStore(path()).values() == expected ? 0 : 6;
        });
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        EXPECT_EQ(result, 0) << obstacle.name;
    }
}

// Anything but a JSON object in a regular file of at most 1 MB is never waited for (a pipe
// with no writer would block a plain open for good) and never overwritten: the first read
// keeps it aside, says why and where, and every value counts as absent.
TEST_F(PreferenceFile, WhatIsNotAUsableFileIsKeptAsideNeverWaitedFor) {
    const struct {
        const char* name;
        std::optional<QByteArray> bytes; // nothing: a pipe
    } cases[] = {
        {"a pipe", std::nullopt},
        {"a huge file", "{\"x\": \"" + QByteArray(2 * 1024 * 1024, 'x') + "\"}"},
        {"damaged JSON", QByteArray("{\"Lumatide.passcode\": ")},
        {"an empty file", QByteArray()},
        {"an array", QByteArray("[1, 2, 3]")},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"preferences.json"_s);
        if (c.bytes) {
            ASSERT_TRUE(writeBytes(file, *c.bytes));
        } else {
            ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        }
        EXPECT_EQ(inChild([&]() -> int {
                      const JsonFilePreferenceStore store(file);
                      if (!store.values().isEmpty()) {
                          return 1;
                      }
                      const auto& problem = store.firstReadProblem();
                      const QStringList names = entriesOf(dir.path());
                      if (!problem || problem->reason.isEmpty() || names.size() != 1 ||
                          !keptName.match(names.at(0)).hasMatch() ||
                          problem->keptAs != dir.filePath(names.at(0))) {
                          return 2;
                      }
                      return 0;
                  }),
                  0)
            << c.name;
        const QStringList names = entriesOf(dir.path());
        ASSERT_EQ(names.size(), 1) << c.name;
        if (c.bytes) {
            EXPECT_EQ(readBytes(dir.filePath(names.at(0))), *c.bytes) << c.name;
        }
        // The next write starts a new file beside the kept one.
        JsonFilePreferenceStore store(file);
        EXPECT_TRUE(store.trySetValue(languageKey, QJsonValue(u"fr"_s)));
        EXPECT_EQ(entriesOf(dir.path()), QStringList({u"preferences.json"_s, names.at(0)}));
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

TEST_F(PreferenceFile, AFileThatBreaksLaterKeepsTheValuesReadBefore) {
    ASSERT_TRUE(writeBytes(path(), saved));
    JsonFilePreferenceStore store(path());
    ASSERT_EQ(store.string(passcodeKey), u"2468"_s);
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(writeBytes(path(), "not json"));
    // Still the passcode the user chose, not the built-in one, and nobody is told twice.
    EXPECT_EQ(store.string(passcodeKey), u"2468"_s);
    EXPECT_FALSE(store.firstReadProblem().has_value());
    // The next write keeps the damaged file aside and saves everything known.
    ASSERT_TRUE(store.trySetValue(languageKey, u"de"_s));
    EXPECT_EQ(
        JsonFilePreferenceStore(path()).values(),
        (QJsonObject{{passcodeKey, u"2468"_s}, {workMinutesKey, 40}, {languageKey, u"de"_s}}));
    const QStringList kept = entriesOf(folder.path()).filter(keptName);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readBytes(folder.filePath(kept.at(0))), QByteArray("not json"));
}

TEST_F(PreferenceFile, ConcurrentWritersOfDifferentKeysLoseNothing) {
    constexpr int writers = 4;
    constexpr int keysPerWriter = 20;
    const auto key = [](int writer, int index) {
        return u"Lumatide.test.writer%1.key%2"_s.arg(writer).arg(index);
    };
    JsonFilePreferenceStore parent(path());
    parent.setString(passcodeKey, u"kept"_s);
    QJsonObject expected{{passcodeKey, u"kept"_s}};
    std::vector<pid_t> children;
    for (int writer = 0; writer < writers; ++writer) {
        for (int index = 0; index < keysPerWriter; ++index) {
            expected.insert(key(writer, index), writer * 1000 + index);
        }
        children.push_back(startChild([&, writer] {
            JsonFilePreferenceStore store(path());
            int failures = 0;
            for (int index = 0; index < keysPerWriter; ++index) {
                failures += store.trySetValue(key(writer, index), writer * 1000 + index) ? 0 : 1;
            }
            return failures;
        }));
    }
    for (const pid_t child : children) {
        EXPECT_EQ(finishChild(child), 0);
    }
    EXPECT_EQ(parent.values(), expected);
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"preferences.json"_s});
}
