// The file store as several processes see it: concurrent writers and a writer that may not
// write. Each case forks children that use their own store object and report through their
// exit status; a child never returns into the test framework.

#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/UnitTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace lumatide;
using namespace Qt::StringLiterals;
using namespace lumatide::test;

namespace {

// Runs the body in a child process; its result (0 for success, else a failure code below 256)
// becomes the exit status.
pid_t forkChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    return pid;
}

// The child's exit status, or -1 when it did not exit normally (a crash, for instance).
int waitForChild(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

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

QString writerKey(int writer, int index) {
    return u"Lumatide.test.writer%1.key%2"_s.arg(writer).arg(index);
}

} // namespace

TEST(JsonFileStoreProcesses, ConcurrentWritersOfDifferentKeysLoseNothing) {
    constexpr int writers = 4;
    constexpr int keysPerWriter = 20;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(u"preferences.json"_s);
    JsonFilePreferenceStore parent(file);
    parent.setString(passcodeKey, u"kept"_s);

    std::vector<pid_t> children;
    for (int writer = 0; writer < writers; ++writer) {
        children.push_back(forkChild([&file, writer] {
            JsonFilePreferenceStore store(file);
            int failures = 0;
            for (int index = 0; index < keysPerWriter; ++index) {
                if (!store.trySetValue(writerKey(writer, index),
                                       QJsonValue(writer * 1000 + index))) {
                    ++failures;
                }
            }
            return failures;
        }));
        ASSERT_GT(children.back(), 0);
    }
    for (const pid_t child : children) {
        EXPECT_EQ(waitForChild(child), 0);
    }

    QJsonObject expected{{passcodeKey, u"kept"_s}};
    for (int writer = 0; writer < writers; ++writer) {
        for (int index = 0; index < keysPerWriter; ++index) {
            expected.insert(writerKey(writer, index), writer * 1000 + index);
        }
    }
    EXPECT_EQ(parent.values(), expected);
    EXPECT_EQ(modeOf(file), 0600);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"preferences.json"_s});
}

TEST(JsonFileStoreProcesses, AFailedWriteLeavesTheOldFileIntact) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The temporary folder is private to its owner; the child must be able to look inside.
    ASSERT_EQ(::chmod(QFile::encodeName(root.path()).constData(), 0755), 0);
    const QString folder = root.filePath(u"lumatide"_s);
    const QString good = folder + u"/preferences.json"_s;
    const QString broken = folder + u"/broken.json"_s;
    const QByteArray goodBytes = R"({"Lumatide.language": "ko"})";
    const QByteArray brokenBytes = "not JSON at all";
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(writeBytes(good, goodBytes));
    ASSERT_TRUE(writeBytes(broken, brokenBytes));
    ASSERT_EQ(::chmod(QFile::encodeName(good).constData(), 0644), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(broken).constData(), 0644), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const QStringList before = entriesOf(folder);

    const pid_t child = forkChild([&good, &broken] {
        if (!dropRootPrivileges()) {
            return 1;
        }
        JsonFilePreferenceStore store(good);
        if (store.string(languageKey) != u"ko"_s) {
            return 2;
        }
        if (store.trySetValue(languageKey, QJsonValue(u"de"_s)) || store.lastError().isEmpty()) {
            return 3;
        }
        if (store.tryRemove(languageKey)) {
            return 4;
        }
        // The changes that could not be saved hold for this run.
        store.setString(passcodeKey, u"1111"_s);
        store.remove(languageKey);
        if (store.contains(languageKey) || store.string(passcodeKey) != u"1111"_s) {
            return 5;
        }
        // An unusable file that cannot be moved aside is not written over either.
        JsonFilePreferenceStore corrupt(broken);
        if (corrupt.trySetValue(languageKey, QJsonValue(u"de"_s)) ||
            corrupt.values() != QJsonObject{{languageKey, u"de"_s}} ||
            !corrupt.firstReadProblem() || !corrupt.firstReadProblem()->keptAs.isEmpty()) {
            return 6;
        }
        return 0;
    });
    ASSERT_GT(child, 0);
    EXPECT_EQ(waitForChild(child), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);

    EXPECT_EQ(readBytes(good), goodBytes);
    EXPECT_EQ(readBytes(broken), brokenBytes);
    EXPECT_EQ(entriesOf(folder), before);
}

TEST(JsonFileStoreProcesses, AWriteBeneathAFileFailsWithoutHarm) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString notAFolder = root.filePath(u"plain-file"_s);
    ASSERT_TRUE(writeBytes(notAFolder, "content"));
    JsonFilePreferenceStore store(notAFolder + u"/lumatide/preferences.json"_s);
    EXPECT_FALSE(store.trySetValue(languageKey, QJsonValue(u"en"_s)));
    EXPECT_FALSE(store.lastError().isEmpty());
    EXPECT_EQ(store.string(languageKey), u"en"_s);
    EXPECT_EQ(readBytes(notAFolder), QByteArray("content"));

    // A store without a file writes nothing anywhere and holds the change for the run.
    JsonFilePreferenceStore nowhere{QString()};
    EXPECT_FALSE(nowhere.trySetValue(languageKey, QJsonValue(u"en"_s)));
    EXPECT_EQ(nowhere.string(languageKey), u"en"_s);

    // Once the obstacle is gone the next write goes through and clears the error.
    ASSERT_TRUE(QFile::remove(notAFolder));
    EXPECT_TRUE(store.trySetValue(languageKey, QJsonValue(u"en"_s)));
    EXPECT_TRUE(store.lastError().isEmpty());
}
