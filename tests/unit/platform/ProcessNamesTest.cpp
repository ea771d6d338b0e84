#include "linux/ProcessNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

// A fake /proc in a temporary folder.
class FakeProc {
public:
    // uid as in "Uid:\t<real>\t<effective>\t<saved>\t<fs>"; an empty comm or exe leaves it out.
    void addProcess(const QString& pid, const QByteArray& statusUidLine, const QByteArray& comm,
                    const QString& exeTarget) {
        const QString folder = root_.path() + QLatin1Char('/') + pid;
        QDir().mkpath(folder);
        write(folder + QStringLiteral("/status"),
              "Name:\tx\nUmask:\t0022\nState:\tS (sleeping)\n" + statusUidLine + "\nGid:\t0\n");
        if (!comm.isEmpty()) {
            write(folder + QStringLiteral("/comm"), comm + '\n');
        }
        if (!exeTarget.isEmpty()) {
            QFile::link(exeTarget, folder + QStringLiteral("/exe"));
        }
    }
    QString path() const { return root_.path(); }

private:
    static void write(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir root_;
};

} // namespace

TEST(ProcessNames, NamesOfTheUsersOwnProcessesInIdOrder) {
    FakeProc proc;
    proc.addProcess(QStringLiteral("100"), "Uid:\t1000\t1000\t1000\t1000", "zoom",
                    QStringLiteral("/opt/zoom/zoom"));
    proc.addProcess(QStringLiteral("12"), "Uid:\t1000\t1000\t1000\t1000", "Web Content",
                    QStringLiteral("/usr/lib/firefox/firefox-bin"));
    proc.addProcess(QStringLiteral("3"), "Uid:\t1000\t1000\t1000\t1000", "steamwebhelper",
                    QStringLiteral("/home/u/.steam/steamwebhelper (deleted)"));
    // Another user's program, even one that runs with this user's effective id.
    proc.addProcess(QStringLiteral("7"), "Uid:\t0\t1000\t1000\t1000", "teams",
                    QStringLiteral("/usr/bin/teams"));
    proc.addProcess(QStringLiteral("8"), "Uid:\t1001\t1001\t1001\t1001", "keynote", {});
    // Kernel-style entries with no executable, and folders that are not processes.
    proc.addProcess(QStringLiteral("40"), "Uid:\t1000\t1000\t1000\t1000", "kworker/0:1", {});
    QDir().mkpath(proc.path() + QStringLiteral("/self"));
    QDir().mkpath(proc.path() + QStringLiteral("/sys"));

    EXPECT_EQ(runningProcessNames(proc.path(), 1000),
              (QStringList{QStringLiteral("steamwebhelper"), QStringLiteral("Web Content"),
                           QStringLiteral("firefox-bin"), QStringLiteral("kworker/0:1"),
                           QStringLiteral("zoom")}));
    EXPECT_EQ(runningProcessNames(proc.path(), 0), QStringList{QStringLiteral("teams")});
}

TEST(ProcessNames, UnreadableProcessesAreSkipped) {
    FakeProc proc;
    // No Uid line, a malformed one, and a process that has gone without a status file.
    proc.addProcess(QStringLiteral("5"), "Pid:\t5", "zoom", {});
    proc.addProcess(QStringLiteral("6"), "Uid:\tnobody", "zoom", {});
    QDir().mkpath(proc.path() + QStringLiteral("/9"));
    proc.addProcess(QStringLiteral("10"), "Uid:\t1000\t1000\t1000\t1000", {},
                    QStringLiteral("/usr/bin/obs"));

    EXPECT_EQ(runningProcessNames(proc.path(), 1000), QStringList{QStringLiteral("obs")});
    EXPECT_EQ(runningProcessNames(proc.path() + QStringLiteral("/missing"), 1000), QStringList{});
}

TEST(ProcessNames, ExecutableBaseName) {
    EXPECT_EQ(executableBaseName(QStringLiteral("/usr/bin/zoom")), QStringLiteral("zoom"));
    EXPECT_EQ(executableBaseName(QStringLiteral("/opt/Epic Games/launcher (deleted)")),
              QStringLiteral("launcher"));
    EXPECT_EQ(executableBaseName(QStringLiteral("relative")), QStringLiteral("relative"));
}
