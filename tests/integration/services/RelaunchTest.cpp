// SPDX-License-Identifier: GPL-3.0-or-later
// The relaunch after a temporary quit, scheduled by a helper process that leaves at once: the
// program, on a path with a space and a quote, started again a second later outside the
// helper's process group and session, or the user unit restarted through the user manager.
#include "integration/services/ServicesTestSupport.h"
#include "linux/ProgramLocation.h"
#include "system/RelaunchCommands.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;
using namespace Qt::StringLiterals;
using lumatide::test::readBytes;
using lumatide::test::waitUntil;

namespace {

QStringList linesOf(const QString& path) {
    return QString::fromUtf8(readBytes(path)).split(u'\n', Qt::SkipEmptyParts);
}

void writeExecutable(const QString& path, const QByteArray& content) {
    ASSERT_TRUE(test::writeBytes(path, content) &&
                QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner));
}

} // namespace

TEST(Relaunch, StartsTheProgramOrRestartsTheUnitOnceTheQuitHasHappened) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(root.filePath(u"bin"_s)));
    ASSERT_TRUE(QDir().mkpath(root.filePath(u"Kid's Apps"_s)));
    const QString marker = root.filePath(u"marker"_s);
    const QString target = root.filePath(u"Kid's Apps/relaunch target"_s);
    writeExecutable(target,
                    "#!/bin/sh\n"
                    "if [ -e \"/proc/$LUMATIDE_TEST_PARENT_PID\" ]; then parent=alive; "
                    "else parent=gone; fi\n"
                    "printf '%s %s\\n' \"$parent\" \"$(cat /proc/$$/stat)\" >> \"$MARKER\"\n");
    // A user manager in the state FAKE_STATE that notes restarts in the marker.
    writeExecutable(root.filePath(u"bin/systemctl"_s),
                    "#!/bin/sh\n"
                    "case \"$*\" in\n"
                    "  '--user is-system-running') echo \"$FAKE_STATE\"; exit 1 ;;\n"
                    "  '--user restart '*) echo \"restart $3\" >> \"$MARKER\" ;;\n"
                    "esac\n");
    // Records its arguments, then fails when FAKE_RUN_FAILS is set or else starts the command
    // in a session of its own, as the manager would.
    writeExecutable(root.filePath(u"bin/systemd-run"_s),
                    "#!/bin/sh\n"
                    "printf '%s\\n' \"$@\" > \"$MARKER.arguments\"\n"
                    "if [ -n \"$FAKE_RUN_FAILS\" ]; then\n"
                    "  echo 'Failed to start transient service unit: Access denied' >&2\n"
                    "  exit 1\n"
                    "fi\n"
                    "while [ \"$1\" != /bin/sh ]; do shift; done\n"
                    "setsid \"$@\" </dev/null >/dev/null 2>&1 &\n");

    const struct {
        const char* managerState; // what `systemctl --user is-system-running` says
        bool runFails;
        bool serviceForm;
        const char* error; // a part of the failure; nullptr when scheduling works
    } cases[] = {
        // Without a manager the program is started as a detached process; the unit cannot be.
        {"offline", false, false, nullptr},
        {"offline", false, true, "com.vexilo.lumatide.service"},
        // A manager that answers ("degraded" counts) runs either form as a transient unit.
        {"degraded", false, false, nullptr},
        {"degraded", false, true, nullptr},
        // When it fails, the detached process takes over, but the unit cannot be restarted.
        {"degraded", true, false, nullptr},
        {"degraded", true, true, "Failed to start transient service unit: Access denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.managerState << (c.runFails ? " failing" : "")
                                        << (c.serviceForm ? " service" : " direct"));
        QFile::remove(marker);
        QFile::remove(marker + u".arguments"_s);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"PATH"_s, root.filePath(u"bin:"_s) + environment.value(u"PATH"_s));
        environment.insert(u"MARKER"_s, marker);
        environment.insert(u"FAKE_STATE"_s, QString::fromLatin1(c.managerState));
        environment.insert(u"FAKE_RUN_FAILS"_s, c.runFails ? u"1"_s : QString());
        // The helper shares this test's process group and session.
        QProcess helper;
        helper.setProcessEnvironment(environment);
        helper.start(QStringLiteral(LUMATIDE_SERVICES_HELPER), {c.serviceForm ? u"-"_s : target});
        ASSERT_TRUE(helper.waitForFinished(20000));
        const QString errors = QString::fromUtf8(helper.readAllStandardError()).trimmed();
        if (c.error != nullptr) {
            EXPECT_EQ(helper.exitCode(), 1);
            EXPECT_TRUE(errors.contains(QString::fromUtf8(c.error))) << errors.toStdString();
            continue;
        }
        ASSERT_EQ(helper.exitCode(), 0) << errors.toStdString();
        if (qstrcmp(c.managerState, "degraded") == 0) {
            const QStringList arguments = linesOf(marker + u".arguments"_s);
            EXPECT_EQ(arguments.mid(0, 2), (QStringList{u"--user"_s, u"--collect"_s}));
            EXPECT_EQ(
                arguments.mid(arguments.size() - 3),
                (QStringList{u"/bin/sh"_s, u"-c"_s,
                             temporaryQuitRelaunchCommand(c.serviceForm ? QString() : target, 1)}));
        }

        ASSERT_TRUE(waitUntil([&] { return !linesOf(marker).isEmpty(); }, 15000));
        const QStringList lines = linesOf(marker);
        ASSERT_EQ(lines.size(), 1) << lines.join(u'\n').toStdString();
        if (c.serviceForm) {
            EXPECT_EQ(lines.first(), u"restart com.vexilo.lumatide.service"_s);
            continue;
        }
        // Started after the helper had gone, outside its process group and session. The fields
        // after the command name, which may itself hold spaces and parentheses, are state,
        // parent, process group, session, ...
        EXPECT_TRUE(lines.first().startsWith(u"gone "_s)) << lines.first().toStdString();
        const QStringList fields =
            lines.first().mid(lines.first().lastIndexOf(u')') + 2).split(u' ');
        ASSERT_GE(fields.size(), 4);
        EXPECT_NE(fields.at(2), QString::number(::getpgrp()));
        EXPECT_NE(fields.at(3), QString::number(::getsid(0)));
    }
}

TEST(RelaunchUnitDetection, NeedsTheInvocationIdAndTheUnitsControlGroup) {
    QProcessEnvironment unit;
    unit.insert(u"INVOCATION_ID"_s, u"0123456789abcdef"_s);
    const QString slice = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"_s;
    EXPECT_TRUE(runningAsUserServiceUnit(unit, slice + u"com.vexilo.lumatide.service\n"_s));
    EXPECT_TRUE(runningAsUserServiceUnit(
        unit, u"12:pids:/user.slice\n1:name=systemd:/user.slice/com.vexilo.lumatide.service\n"_s));
    EXPECT_FALSE(runningAsUserServiceUnit({}, slice + u"com.vexilo.lumatide.service\n"_s));
    for (const QString& other : {slice + u"app-gnome-lumatide-4711.scope\n"_s,
                                 slice + u"xcom.vexilo.lumatide.service\n"_s, QString()}) {
        EXPECT_FALSE(runningAsUserServiceUnit(unit, other)) << other.toStdString();
    }
    // The running program is found through the kernel's own record of it.
    EXPECT_EQ(runningExecutablePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
}
