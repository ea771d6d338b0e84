// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of the Linux layer that need no display or bus: session detection, /proc reading,
// screen coverage and the instance lock.

#include "linux/DesktopSession.h"
#include "linux/ProcessNames.h"
#include "linux/ScreenCoverage.h"
#include "linux/SingleInstanceLock.h"
#include "unit/UnitTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumatide;

using namespace Qt::StringLiterals;

namespace {

// "NAME=value NAME=value" as a process environment.
QProcessEnvironment environment(const QString& variables) {
    QProcessEnvironment result;
    for (const QString& variable : variables.split(u' ', Qt::SkipEmptyParts)) {
        result.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    }
    return result;
}

} // namespace

TEST(DesktopSession, IdleTimeBackendFollowsTheSession) {
    // Wayland, however it shows, never uses the X server even when one is reachable.
    using enum IdleTimeBackend;
    const std::pair<QString, IdleTimeBackend> cases[] = {
        {u"DISPLAY=:0 XDG_SESSION_TYPE=x11 XDG_CURRENT_DESKTOP=KDE"_s, x11ScreenSaver},
        {u""_s, none},
        {u"DISPLAY=:0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=ubuntu:GNOME"_s, gnomeMutter},
        {u"DISPLAY=:0 WAYLAND_DISPLAY=w-0 XDG_CURRENT_DESKTOP=KDE"_s, wayland},
        {u"XDG_SESSION_TYPE=wayland DESKTOP_SESSION=plasma"_s, wayland}};
    for (const auto& [variables, backend] : cases) {
        EXPECT_EQ(chooseIdleTimeBackend(environment(variables)), backend)
            << variables.toStdString();
    }
    // Desktop names are whole entries of the list, and XDG_CURRENT_DESKTOP wins.
    const auto classic = environment(u"XDG_CURRENT_DESKTOP=GNOME-Classic:GNOME"_s);
    EXPECT_TRUE(desktopIs(classic, QLatin1String("gnome")));
    EXPECT_FALSE(desktopIs(classic, QLatin1String("GNOME-Flashback")));
    EXPECT_FALSE(desktopIs(environment(u"XDG_CURRENT_DESKTOP=GNOMEish"_s), QLatin1String("GNOME")));
    EXPECT_FALSE(desktopIs(environment(u"XDG_CURRENT_DESKTOP=XFCE DESKTOP_SESSION=gnome"_s),
                           QLatin1String("GNOME")));
}

TEST(ProcessNames, NamesOfTheUsersOwnProcessesInIdOrder) {
    QTemporaryDir proc;
    // uid as in "Uid:\t<real>\t<effective>\t<saved>\t<fs>"; an empty comm or exe leaves it out.
    const auto add = [&](const char* pid, const QByteArray& uids, const QByteArray& comm,
                         const char* exe) {
        const QString folder = proc.filePath(QString::fromLatin1(pid));
        QDir().mkpath(folder);
        test::writeBytes(folder + u"/status"_s, "Name:\tx\n" + uids + "\nGid:\t0\n");
        if (!comm.isEmpty()) {
            test::writeBytes(folder + u"/comm"_s, comm + '\n');
        }
        if (*exe != '\0') {
            QFile::link(QString::fromUtf8(exe), folder + u"/exe"_s);
        }
    };
    const QByteArray user = "Uid:\t1000\t1000\t1000\t1000";
    add("100", user, "zoom", "/opt/zoom/zoom");
    add("12", user, "Web Content", "/usr/lib/firefox/firefox-bin");
    add("3", user, "steamwebhelper", "/home/u/.steam/steamwebhelper (deleted)");
    // Another user's program, even one that runs with this user's effective id.
    add("7", "Uid:\t0\t1000\t1000\t1000", "teams", "/usr/bin/teams");
    add("8", "Uid:\t1001\t1001\t1001\t1001", "keynote", "");
    // No executable, no comm; unreadable status lines; folders that are not processes.
    add("40", user, "kworker/0:1", "");
    add("41", user, "", "/usr/bin/obs");
    add("5", "Pid:\t5", "zoom", "");
    add("6", "Uid:\tnobody", "zoom", "");
    QDir().mkpath(proc.filePath(u"9"_s));
    QDir().mkpath(proc.filePath(u"self"_s));

    EXPECT_EQ(runningProcessNames(proc.path(), 1000),
              (QStringList{u"steamwebhelper"_s, u"Web Content"_s, u"firefox-bin"_s,
                           u"kworker/0:1"_s, u"obs"_s, u"zoom"_s}));
    EXPECT_EQ(runningProcessNames(proc.path(), 0), QStringList{u"teams"_s});
    EXPECT_EQ(runningProcessNames(proc.filePath(u"missing"_s), 1000), QStringList{});
    EXPECT_EQ(executableBaseName(u"relative"_s), u"relative"_s);
}

TEST(ScreenCoverage, WidthAndHeightThresholdsAgainstAnyOneScreen) {
    const QList<QSize> laptop{QSize(1440, 900)};
    // 1400 >= 0.96 * 1440 = 1382.4 and 810 >= 0.9 * 900 = 810.
    EXPECT_TRUE(windowCoversAnyScreen(QSize(1400, 810), laptop));
    EXPECT_TRUE(windowCoversAnyScreen(QSize(2000, 1200), laptop));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1380, 900), laptop));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1440, 809), laptop));
    // Too small for the large monitor, large enough for the small one.
    const QList<QSize> desk{QSize(2560, 1440), QSize(1024, 768)};
    EXPECT_TRUE(windowCoversAnyScreen(QSize(1000, 700), desk));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(980, 700), desk));
    EXPECT_FALSE(windowCoversAnyScreen(QSize(1000, 700), {}));
}

TEST(SingleInstanceLock, OneCopyPerUserWhateverTheEnvironment) {
    using Result = SingleInstanceLock::Result;
    QTemporaryDir folder;
    const QString path = folder.filePath(u"lumatide.lock"_s);
    auto first = std::make_unique<SingleInstanceLock>(path, QString());
    ASSERT_EQ(first->tryAcquire(), Result::acquired);
    SingleInstanceLock second(path, QString());
    EXPECT_EQ(second.tryAcquire(), Result::heldByAnotherCopy);
    // When the holder ends, however, the next start gets it.
    first.reset();
    EXPECT_EQ(second.tryAcquire(), Result::acquired);

    // Something else planted at the path is refused with a reason, never silently.
    const QString planted = folder.filePath(u"planted.lock"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(planted).constData(), 0600), 0);
    SingleInstanceLock third(planted, QString());
    EXPECT_EQ(third.tryAcquire(), Result::failed);
    EXPECT_TRUE(third.error().contains(planted)) << third.error().toStdString();

    // In the user's own runtime folder, else under a per-user name in the temporary folder.
    const QString perUser = QDir(QDir::tempPath()).filePath(u"lumatide-%1.lock"_s.arg(::getuid()));
    const std::pair<std::optional<QByteArray>, QString> cases[] = {{folder.path().toUtf8(), path},
                                                                   {"/nonexistent", perUser},
                                                                   {"relative/folder", perUser},
                                                                   {std::nullopt, perUser}};
    for (const auto& [runtime, expected] : cases) {
        const test::ScopedEnvironmentVariable variable("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(SingleInstanceLock::standardPath(), expected) << runtime.value_or("unset").data();
    }
}
