#include "integration/services/ServicesTestSupport.h"
#include "linux/DetachedRelauncher.h"
#include "linux/ProgramLocation.h"
#include "system/RelaunchCommands.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;
using lumatide::test::readAll;
using lumatide::test::waitUntil;
using lumatide::test::writeExecutable;

namespace {

// The fields of /proc/<pid>/stat after the command name, which may itself hold spaces and
// parentheses: state, parent, process group, session, ...
QStringList statFieldsAfterName(const QString& stat) {
    return stat.mid(stat.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
}

struct HelperRun {
    int exitCode = -1;
    QString output;
    QString errors;
    qint64 pid = 0;
    qint64 processGroup = 0;
    qint64 session = 0;
};

class RelaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(fakeTools()));
        marker = root.filePath(QStringLiteral("marker"));
        // The program to start again lives in a folder with a space and a single quote.
        const QString folder = root.filePath(QStringLiteral("Kid's Apps"));
        ASSERT_TRUE(QDir().mkpath(folder));
        target = folder + QStringLiteral("/relaunch target");
        ASSERT_TRUE(writeExecutable(
            target, "#!/bin/sh\n"
                    "if [ -e \"/proc/$LUMATIDE_TEST_PARENT_PID\" ]; then parent=alive; "
                    "else parent=gone; fi\n"
                    "printf '%s %s\\n' \"$parent\" \"$(cat /proc/$$/stat)\" >> "
                    "\"$LUMATIDE_TEST_MARKER\"\n"));
    }

    QString fakeTools() const { return root.filePath(QStringLiteral("bin")); }

    // A user manager that is not there: the relaunch must take the detached path.
    void fakeOfflineManager() {
        ASSERT_TRUE(writeExecutable(fakeTools() + QStringLiteral("/systemctl"),
                                    "#!/bin/sh\necho offline\nexit 1\n"));
    }

    // A user manager that answers; `systemd-run` records its arguments and starts the command
    // in a session of its own, as the manager would, or fails when asked to. The fake
    // systemctl notes restarts in the marker.
    void fakeAnsweringManager(bool systemdRunFails) {
        const QByteArray arguments =
            root.filePath(QStringLiteral("systemd-run-arguments")).toUtf8();
        ASSERT_TRUE(writeExecutable(
            fakeTools() + QStringLiteral("/systemctl"),
            "#!/bin/sh\n"
            "case \"$*\" in\n"
            "  '--user is-system-running') echo degraded; exit 1 ;;\n"
            "  '--user restart '*) echo \"restart $3\" >> \"$LUMATIDE_TEST_MARKER\" ;;\n"
            "esac\n"));
        ASSERT_TRUE(writeExecutable(
            fakeTools() + QStringLiteral("/systemd-run"),
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + arguments + "'\n" +
                (systemdRunFails
                     ? QByteArray("echo 'Failed to start transient service unit: Access denied' "
                                  ">&2\nexit 1\n")
                     : QByteArray("while [ \"$1\" != /bin/sh ]; do shift; done\n"
                                  "setsid \"$@\" </dev/null >/dev/null 2>&1 &\n"))));
    }

    HelperRun runHelper(const QString& programPath) {
        QProcess helper;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), fakeTools() + QLatin1Char(':') +
                                                       environment.value(QStringLiteral("PATH")));
        environment.insert(QStringLiteral("LUMATIDE_TEST_MARKER"), marker);
        helper.setProcessEnvironment(environment);
        helper.start(QStringLiteral(LUMATIDE_SERVICES_HELPER),
                     {QStringLiteral("relaunch"), QStringLiteral("1"), programPath});
        HelperRun run;
        if (!helper.waitForFinished(20000)) {
            helper.kill();
            helper.waitForFinished();
            return run;
        }
        run.exitCode = helper.exitCode();
        run.errors = QString::fromUtf8(helper.readAllStandardError()).trimmed();
        run.output = QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
        const QStringList ids = run.output.split(QLatin1Char(' '));
        if (ids.size() == 3) {
            run.pid = ids.at(0).toLongLong();
            run.processGroup = ids.at(1).toLongLong();
            run.session = ids.at(2).toLongLong();
        }
        return run;
    }

    QStringList markerLines() const {
        return QString::fromUtf8(readAll(marker)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir root;
    QString marker;
    QString target;
};

} // namespace

TEST_F(RelaunchTest, DirectFormStartsTheProgramOnceAfterTheParentHasGone) {
    fakeOfflineManager();
    const HelperRun run = runHelper(target);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    // A session id of 0 is real: in a container the session leader may sit outside the
    // process-id namespace. The pid tells whether the helper reported its ids at all.
    ASSERT_NE(run.pid, 0) << run.output.toStdString();

    ASSERT_TRUE(waitUntil([this] { return !markerLines().isEmpty(); }, 15000));
    const QStringList lines = markerLines();
    ASSERT_EQ(lines.size(), 1) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("gone "))) << lines.first().toStdString();

    // Neither the helper's nor this test's process group or session.
    const QStringList fields = statFieldsAfterName(lines.first());
    ASSERT_GE(fields.size(), 4);
    const qint64 processGroup = fields.at(2).toLongLong();
    const qint64 session = fields.at(3).toLongLong();
    EXPECT_NE(processGroup, run.processGroup);
    EXPECT_NE(session, run.session);
    EXPECT_NE(processGroup, static_cast<qint64>(::getpgrp()));
    EXPECT_NE(session, static_cast<qint64>(::getsid(0)));
}

TEST_F(RelaunchTest, AnsweringUserManagerRunsItAsATransientUnit) {
    fakeAnsweringManager(false);
    const HelperRun run = runHelper(QStringLiteral("-"));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    const QStringList arguments =
        QString::fromUtf8(readAll(root.filePath(QStringLiteral("systemd-run-arguments"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(arguments.size(), 6);
    EXPECT_EQ(arguments.mid(0, 3),
              (QStringList{QStringLiteral("--user"), QStringLiteral("--collect"),
                           QStringLiteral("--quiet")}));
    EXPECT_TRUE(arguments.contains(QStringLiteral("--setenv=PATH")));
    EXPECT_EQ(arguments.mid(arguments.size() - 3),
              (QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                           serviceRelaunchCommand(desktopId, 1.0)}));

    // The service form restarts the unit through the user manager.
    ASSERT_TRUE(waitUntil([this] { return !markerLines().isEmpty(); }, 15000));
    EXPECT_EQ(markerLines(), QStringList{QStringLiteral("restart com.vexilo.lumatide.service")});
}

TEST_F(RelaunchTest, AFailingUserManagerFallsBackOrStopsTheQuit) {
    fakeAnsweringManager(true);
    // Restarting the unit needs the manager: the failure is reported and the quit must stop.
    const HelperRun service = runHelper(QStringLiteral("-"));
    EXPECT_EQ(service.exitCode, 1);
    EXPECT_EQ(service.errors,
              QStringLiteral("Failed to start transient service unit: Access denied"));

    // Starting the program directly does not: the detached shell takes over.
    const HelperRun direct = runHelper(target);
    EXPECT_EQ(direct.exitCode, 0) << direct.errors.toStdString();
    ASSERT_TRUE(waitUntil([this] { return !markerLines().isEmpty(); }, 15000));
    ASSERT_EQ(markerLines().size(), 1);
    EXPECT_TRUE(markerLines().first().startsWith(QStringLiteral("gone ")));
}

TEST_F(RelaunchTest, ServiceFormWithoutAManagerIsRefused) {
    fakeOfflineManager();
    const HelperRun run = runHelper(QStringLiteral("-"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("com.vexilo.lumatide.service")))
        << run.errors.toStdString();
}

TEST(RelaunchUnitDetection, NeedsTheInvocationIdAndTheUnitsControlGroup) {
    QProcessEnvironment unit;
    unit.insert(QStringLiteral("INVOCATION_ID"), QStringLiteral("0123456789abcdef"));
    const QString unitGroup = QStringLiteral(
        "0::/user.slice/user-1000.slice/user@1000.service/app.slice/com.vexilo.lumatide.service\n");
    EXPECT_TRUE(runningAsUserServiceUnit(unit, unitGroup));
    EXPECT_TRUE(runningAsUserServiceUnit(
        unit, QStringLiteral("12:pids:/user.slice\n1:name=systemd:/user.slice/user-1000.slice/"
                             "user@1000.service/com.vexilo.lumatide.service\n0::/\n")));
    EXPECT_FALSE(runningAsUserServiceUnit(QProcessEnvironment(), unitGroup));
    EXPECT_FALSE(runningAsUserServiceUnit(
        unit, QStringLiteral("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                             "app-gnome-lumatide-4711.scope\n")));
    EXPECT_FALSE(runningAsUserServiceUnit(
        unit, QStringLiteral("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                             "xcom.vexilo.lumatide.service\n")));
    EXPECT_FALSE(runningAsUserServiceUnit(unit, QString()));

    // This test is not that unit, so the relaunch starts this very executable.
    if (!runningAsUserServiceUnit()) {
        EXPECT_EQ(DetachedRelauncher(DetachedRelauncher::Options{2.5, std::nullopt}).command(),
                  relaunchCommand(programPathToStart(), 2.0));
        EXPECT_EQ(programPathToStart(),
                  QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    }
}
