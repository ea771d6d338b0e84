// The preference file under hostile conditions: a full disk, something that is not a file at
// its path, a file too large or damaged, a file that breaks while the program runs. Each case
// runs in a child process (limits and alarms stay there) that reports through its exit status.

#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/PreferenceKeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumatide;

namespace {

constexpr int skipped = 77;

// The body's result (0 for success, else the number of the failed check) as the exit status;
// an alarm ends a child that blocks.
int inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

const QByteArray saved = R"({"Lumatide.passcode": "2468", "Lumatide.workMinutes": 40})";

// A write that cannot land: false, the old file byte for byte, nothing new left beside it,
// and the change still in effect for this run.
int writeFailsSafely(const QString& folder) {
    const QString path = folder + QStringLiteral("/preferences.json");
    const QStringList before = QDir(folder).entryList(QDir::Files);
    JsonFilePreferenceStore store(path);
    if (store.trySetValue(passcodeKey, QString(200, QLatin1Char('7')))) {
        return 1;
    }
    if (store.lastError().isEmpty() || contentOf(path) != saved) {
        return 2;
    }
    if (QDir(folder).entryList(QDir::Files) != before) {
        return 3;
    }
    return store.string(passcodeKey) == QString(200, QLatin1Char('7')) ? 0 : 4;
}

} // namespace

TEST(PreferenceFileHazards, AWriteThatCannotLandLeavesTheOldFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    writeFile(folder.filePath(QStringLiteral("preferences.json")), saved);
    // A file-size limit makes the write fail as a full disk does.
    EXPECT_EQ(inChild([&] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{64, 64};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  return writeFailsSafely(folder.path());
              }),
              0);

    // A really full disk, where a private mount is allowed (root, outside most containers).
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const int full = inChild([&] {
        const QByteArray target = QFile::encodeName(mountPoint.path());
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=16k") != 0) {
            return skipped;
        }
        QFile file(mountPoint.filePath(QStringLiteral("preferences.json")));
        if (!file.open(QIODevice::WriteOnly) || file.write(saved) != saved.size()) {
            return 10;
        }
        file.close();
        QFile filler(mountPoint.filePath(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        return writeFailsSafely(mountPoint.path());
    });
    if (full != skipped) {
        EXPECT_EQ(full, 0);
    }
}

TEST(PreferenceFileHazards, WhatIsNotAUsableFileIsKeptAsideNeverWaitedFor) {
    const struct {
        const char* name;
        std::function<void(const QString&)> make;
    } cases[] = {
        {"a pipe",
         [](const QString& path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); }},
        {"a huge file",
         [](const QString& path) {
             writeFile(path, "{\"x\": \"" + QByteArray(2 * 1024 * 1024, 'x') + "\"}");
         }},
        {"damaged JSON", [](const QString& path) { writeFile(path, "{\"Lumatide.passcode\": "); }},
        {"an empty file", [](const QString& path) { writeFile(path, {}); }},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("preferences.json"));
        c.make(path);
        // A pipe with no writer would block a plain open for good; the alarm ends such a child.
        EXPECT_EQ(inChild([&] {
                      const JsonFilePreferenceStore store(path);
                      if (store.contains(passcodeKey)) {
                          return 1;
                      }
                      const auto& problem = store.firstReadProblem();
                      if (!problem || problem->reason.isEmpty() || problem->keptAs.isEmpty()) {
                          return 2;
                      }
                      return QFileInfo::exists(path) ? 3 : 0;
                  }),
                  0)
            << c.name;
        EXPECT_EQ(QDir(folder.path())
                      .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                      .filter(QStringLiteral("preferences.json.corrupt-"))
                      .size(),
                  1)
            << c.name;
    }
}

TEST(PreferenceFileHazards, AFileThatBreaksLaterKeepsTheValuesReadBefore) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("preferences.json"));
    writeFile(path, saved);
    JsonFilePreferenceStore store(path);
    ASSERT_EQ(store.string(passcodeKey), QStringLiteral("2468"));
    QFile::remove(path);
    writeFile(path, "not json");
    // Still the passcode the user chose, not the built-in one, and nobody is told twice.
    EXPECT_EQ(store.string(passcodeKey), QStringLiteral("2468"));
    EXPECT_FALSE(store.firstReadProblem().has_value());
    // The next write keeps the damaged file aside and saves everything known.
    ASSERT_TRUE(store.trySetValue(languageKey, QStringLiteral("de")));
    const JsonFilePreferenceStore fresh(path);
    EXPECT_EQ(fresh.string(passcodeKey), QStringLiteral("2468"));
    EXPECT_EQ(fresh.number(workMinutesKey), 40.0);
    EXPECT_EQ(fresh.string(languageKey), QStringLiteral("de"));
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.corrupt-*")}).size(), 1);
}
