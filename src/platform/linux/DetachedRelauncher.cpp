// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/DetachedRelauncher.h"

#include "linux/ProgramLocation.h"
#include "system/RelaunchCommands.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <utility>

namespace lumatide {

namespace {

const QString shellPath = QStringLiteral("/bin/sh");
constexpr int managerQueryTimeoutMs = 2000;
constexpr int transientUnitTimeoutMs = 5000;

// What a program started by the user manager needs to reach the same desktop and settings:
// the manager's own environment may lack them. Passed by name; values come from ours.
const QStringList forwardedVariables{
    QStringLiteral("DISPLAY"),
    QStringLiteral("WAYLAND_DISPLAY"),
    QStringLiteral("XAUTHORITY"),
    QStringLiteral("XDG_RUNTIME_DIR"),
    QStringLiteral("XDG_SESSION_TYPE"),
    QStringLiteral("XDG_CURRENT_DESKTOP"),
    QStringLiteral("XDG_CONFIG_HOME"),
    QStringLiteral("XDG_CONFIG_DIRS"),
    QStringLiteral("XDG_DATA_HOME"),
    QStringLiteral("XDG_DATA_DIRS"),
    QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
    QStringLiteral("HOME"),
    QStringLiteral("PATH"),
    QStringLiteral("LANG"),
    QStringLiteral("LANGUAGE"),
    QStringLiteral("LC_ALL"),
    QStringLiteral("LC_MESSAGES"),
    QStringLiteral("QT_QPA_PLATFORM"),
};

// Runs a short helper to its end within `timeoutMs`; a helper past its time is killed.
struct Finished {
    bool ok = false;
    QString output;
    QString error;
};

Finished runBounded(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(timeoutMs)) {
        return {false, {}, process.errorString()};
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(timeoutMs);
        return {false, {}, QStringLiteral("%1 did not finish in time").arg(program)};
    }
    const QString output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString stderrText = QString::fromUtf8(process.readAllStandardError()).trimmed();
        return {
            false, output,
            stderrText.isEmpty()
                ? QStringLiteral("%1 failed with status %2").arg(program).arg(process.exitCode())
                : stderrText};
    }
    return {true, output, {}};
}

// A user manager that reports any state but "offline" (no manager on the bus) or "unknown"
// answers. "degraded" exits with a non-zero status yet the manager works, so the text counts.
bool userManagerAnswers() {
    const QString systemctl = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (systemctl.isEmpty()) {
        return false;
    }
    QProcess process;
    process.setProgram(systemctl);
    process.setArguments({QStringLiteral("--user"), QStringLiteral("is-system-running")});
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(managerQueryTimeoutMs) ||
        !process.waitForFinished(managerQueryTimeoutMs)) {
        process.kill();
        process.waitForFinished(managerQueryTimeoutMs);
        return false;
    }
    const QString state = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return !state.isEmpty() && state != QLatin1String("offline") &&
           state != QLatin1String("unknown");
}

std::optional<QString> startAsTransientUnit(const QString& command) {
    const QString systemdRun = QStandardPaths::findExecutable(QStringLiteral("systemd-run"));
    if (systemdRun.isEmpty()) {
        return QStringLiteral("systemd-run was not found");
    }
    QStringList arguments{QStringLiteral("--user"), QStringLiteral("--collect"),
                          QStringLiteral("--quiet")};
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : forwardedVariables) {
        if (environment.contains(name)) {
            arguments.append(QStringLiteral("--setenv=") + name);
        }
    }
    arguments << shellPath << QStringLiteral("-c") << command;
    const Finished finished = runBounded(systemdRun, arguments, transientUnitTimeoutMs);
    if (!finished.ok) {
        return finished.error;
    }
    return std::nullopt;
}

// Qt's detached start forks twice and gives the child a session of its own (setsid), so the
// shell leaves the program's process group and is adopted by init (or the nearest
// subreaper) when the program exits.
std::optional<QString> startDetachedShell(const QString& command) {
    QProcess process;
    process.setProgram(shellPath);
    process.setArguments({QStringLiteral("-c"), command});
    if (!process.startDetached()) {
        return QStringLiteral("Could not start %1: %2").arg(shellPath, process.errorString());
    }
    return std::nullopt;
}

} // namespace

DetachedRelauncher::DetachedRelauncher() : DetachedRelauncher(Options{}) {
}

DetachedRelauncher::DetachedRelauncher(Options options) : options_(std::move(options)) {
}

QString DetachedRelauncher::command() const {
    QString path;
    if (options_.programPath) {
        path = *options_.programPath;
    } else if (!runningAsUserServiceUnit()) {
        path = programPathToStart();
    }
    return temporaryQuitRelaunchCommand(path, options_.delaySeconds);
}

std::optional<QString> DetachedRelauncher::scheduleRelaunchAfterTemporaryQuit() {
    const QString shellCommand = command();
    // The service form restarts the unit the program runs in. A plain child would stay in
    // that unit's control group and be stopped together with the program, so without the
    // manager there is no way to schedule it.
    const bool restartsTheUnit =
        options_.programPath ? options_.programPath->isEmpty() : runningAsUserServiceUnit();
    if (userManagerAnswers()) {
        std::optional<QString> failure = startAsTransientUnit(shellCommand);
        if (!failure || restartsTheUnit) {
            return failure;
        }
    } else if (restartsTheUnit) {
        return QStringLiteral("The user service manager does not answer, so the restart of "
                              "%1.service cannot be scheduled")
            .arg(desktopId);
    }
    return startDetachedShell(shellCommand);
}

} // namespace lumatide
