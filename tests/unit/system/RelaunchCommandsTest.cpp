#include "system/RelaunchCommands.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumatide;

TEST(RelaunchCommands, DirectAndServiceForms) {
    EXPECT_EQ(relaunchCommand(QStringLiteral("/usr/bin/lumatide")),
              QStringLiteral("sleep 3600; exec '/usr/bin/lumatide'"));
    EXPECT_EQ(relaunchCommand(QStringLiteral("/opt/My Apps/lumatide"), 90.9),
              QStringLiteral("sleep 90; exec '/opt/My Apps/lumatide'"));
    EXPECT_EQ(relaunchCommand(QStringLiteral("/home/kim/Kid's Apps/lumatide"), 3600.0),
              QStringLiteral("sleep 3600; exec '/home/kim/Kid'\\''s Apps/lumatide'"));
    EXPECT_EQ(serviceRelaunchCommand(),
              QStringLiteral("sleep 3600; systemctl --user restart com.vexilo.lumatide.service"));
    EXPECT_EQ(temporaryQuitRelaunchCommand(QString(), 3600.0), serviceRelaunchCommand());
    EXPECT_EQ(temporaryQuitRelaunchCommand(QStringLiteral("/usr/bin/lumatide"), 3600.0),
              relaunchCommand(QStringLiteral("/usr/bin/lumatide")));
}

TEST(RelaunchCommands, DelayIsWholeNonNegativeSeconds) {
    EXPECT_TRUE(relaunchCommand(QStringLiteral("/x"), 0.99).startsWith(QStringLiteral("sleep 0;")));
    EXPECT_TRUE(relaunchCommand(QStringLiteral("/x"), -5).startsWith(QStringLiteral("sleep 0;")));
    EXPECT_TRUE(relaunchCommand(QStringLiteral("/x"), 1e300)
                    .startsWith(QStringLiteral("sleep 1000000000;")));
}

// The shell must see exactly the path given, as one word, whatever it contains.
TEST(RelaunchCommands, ShellRunsTheExactPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("Kid's \"Apps\" $HOME `x` \\ end"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/start me");
    const QString marker = dir.filePath(QStringLiteral("started"));
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$0\" > \"$MARKER\"\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    }
    QProcess shell;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARKER"), marker);
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), temporaryQuitRelaunchCommand(program, 0.0)});
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(shell.exitCode(), 0);
    QFile result(marker);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(result.readAll()).trimmed(), program);
}
