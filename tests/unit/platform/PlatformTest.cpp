// The parts of the Linux layer that need no display or bus: session detection, /proc reading,
// screen coverage, the Exec value of the autostart entry, the instance lock and the clock.

#include "linux/BootTimeClock.h"
#include "linux/DesktopEntryExec.h"
#include "linux/DesktopSession.h"
#include "linux/ProcessNames.h"
#include "linux/ScreenCoverage.h"
#include "linux/SingleInstanceLock.h"
#include "unit/UnitTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>

using namespace lumatide;

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> vars) {
    QProcessEnvironment result;
    for (const auto& [name, value] : vars) {
        result.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    }
    return result;
}

} // namespace

TEST(DesktopSession, IdleTimeBackendFollowsTheSession) {
    const std::pair<QProcessEnvironment, IdleTimeBackend> cases[] = {
        {environment({{"DISPLAY", ":0"}}), IdleTimeBackend::x11ScreenSaver},
        {environment(
             {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         IdleTimeBackend::x11ScreenSaver},
        {environment({}), IdleTimeBackend::none},
        {environment({{"XDG_SESSION_TYPE", "tty"}}), IdleTimeBackend::none},
        // Wayland, however it shows, never uses the X server even when one is reachable.
        {environment({{"DISPLAY", ":0"},
                      {"XDG_SESSION_TYPE", "wayland"},
                      {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}),
         IdleTimeBackend::gnomeMutter},
        {environment(
             {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "w-0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         IdleTimeBackend::kdeScreenSaver},
        {environment(
             {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "w-1"}, {"XDG_CURRENT_DESKTOP", "sway"}}),
         IdleTimeBackend::none},
        {environment({{"XDG_SESSION_TYPE", "wayland"}, {"DESKTOP_SESSION", "plasma"}}),
         IdleTimeBackend::kdeScreenSaver},
    };
    for (const auto& [env, backend] : cases) {
        EXPECT_EQ(chooseIdleTimeBackend(env), backend)
            << env.toStringList().join(u' ').toStdString();
    }
    // Desktop names are whole entries of the list, and XDG_CURRENT_DESKTOP wins.
    const auto classic = environment({{"XDG_CURRENT_DESKTOP", "GNOME-Classic:GNOME"}});
    EXPECT_TRUE(desktopIs(classic, QLatin1String("gnome")));
    EXPECT_FALSE(desktopIs(classic, QLatin1String("GNOME-Flashback")));
    EXPECT_FALSE(
        desktopIs(environment({{"XDG_CURRENT_DESKTOP", "GNOMEish"}}), QLatin1String("GNOME")));
    EXPECT_FALSE(
        desktopIs(environment({{"XDG_CURRENT_DESKTOP", "XFCE"}, {"DESKTOP_SESSION", "gnome"}}),
                  QLatin1String("GNOME")));
}

TEST(ProcessNames, NamesOfTheUsersOwnProcessesInIdOrder) {
    QTemporaryDir proc;
    // uid as in "Uid:\t<real>\t<effective>\t<saved>\t<fs>"; an empty comm or exe leaves it out.
    const auto add = [&](const char* pid, const QByteArray& uids, const QByteArray& comm,
                         const char* exe) {
        const QString folder = proc.filePath(QString::fromLatin1(pid));
        QDir().mkpath(folder);
        test::writeBytes(folder + QStringLiteral("/status"), "Name:\tx\n" + uids + "\nGid:\t0\n");
        if (!comm.isEmpty()) {
            test::writeBytes(folder + QStringLiteral("/comm"), comm + '\n');
        }
        if (*exe != '\0') {
            QFile::link(QString::fromUtf8(exe), folder + QStringLiteral("/exe"));
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
    QDir().mkpath(proc.filePath(QStringLiteral("9")));
    QDir().mkpath(proc.filePath(QStringLiteral("self")));

    EXPECT_EQ(runningProcessNames(proc.path(), 1000),
              (QStringList{QStringLiteral("steamwebhelper"), QStringLiteral("Web Content"),
                           QStringLiteral("firefox-bin"), QStringLiteral("kworker/0:1"),
                           QStringLiteral("obs"), QStringLiteral("zoom")}));
    EXPECT_EQ(runningProcessNames(proc.path(), 0), QStringList{QStringLiteral("teams")});
    EXPECT_EQ(runningProcessNames(proc.filePath(QStringLiteral("missing")), 1000), QStringList{});
    EXPECT_EQ(executableBaseName(QStringLiteral("relative")), QStringLiteral("relative"));
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

TEST(DesktopEntryExec, EachLayerOfEscapingIsApplied) {
    // Quoting (", `, $ and \ get a backslash), field codes (% doubled), then the string value
    // (every backslash doubled).
    const std::pair<QString, std::optional<QString>> cases[] = {
        {QStringLiteral("/usr/bin/lumatide"), QStringLiteral(R"("/usr/bin/lumatide")")},
        {QStringLiteral("/opt/100% sure"), QStringLiteral(R"("/opt/100%% sure")")},
        {QStringLiteral(R"(/a\b)"), QStringLiteral(R"("/a\\\\b")")},
        {QStringLiteral("/x\"`$"), QStringLiteral(R"("/x\\"\\`\\$")")},
        {QString(), std::nullopt},
        {QStringLiteral("/a\nb"), std::nullopt},
    };
    for (const auto& [program, value] : cases) {
        EXPECT_EQ(desktopEntryExecValue(program), value) << program.toStdString();
    }
}

TEST(SingleInstanceLock, OneHolderAtATimeHoweverLongItRuns) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("lumatide.lock"));
    auto first = std::make_unique<SingleInstanceLock>(path);
    ASSERT_TRUE(first->tryAcquire());
    SingleInstanceLock second(path);
    EXPECT_FALSE(second.tryAcquire());
    // A program that has run for hours still holds its lock.
    QFile lockFile(path);
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-6 * 3600),
                                     QFileDevice::FileModificationTime));
    EXPECT_FALSE(second.tryAcquire());
    // When the holder ends, the next start gets it.
    first.reset();
    EXPECT_TRUE(second.tryAcquire());

    // It lives in the runtime folder, else in the temporary one.
    const QString fallback = QDir(QDir::tempPath()).filePath(QStringLiteral("lumatide.lock"));
    {
        const test::ScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR",
                                                      QFile::encodeName(folder.path()));
        EXPECT_EQ(SingleInstanceLock::standardPath(), path);
    }
    const test::ScopedEnvironmentVariable missing("XDG_RUNTIME_DIR", QByteArray("/nonexistent"));
    EXPECT_EQ(SingleInstanceLock::standardPath(), fallback);
}

TEST(BootTimeClock, ReadsTheSuspendAwareClockAndUtcWallTime) {
    const auto bootSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1.0e9;
    };
    const BootTimeClock clock;
    const double before = bootSeconds();
    const double reading = clock.monotonicSeconds();
    EXPECT_LE(before, reading);
    EXPECT_LE(reading, bootSeconds());

    const QDateTime wallBefore = QDateTime::currentDateTimeUtc();
    const QDateTime wall = clock.wallNow();
    EXPECT_EQ(wall.timeSpec(), Qt::UTC);
    EXPECT_LE(wallBefore, wall);
    EXPECT_LE(wall, QDateTime::currentDateTimeUtc());
}
