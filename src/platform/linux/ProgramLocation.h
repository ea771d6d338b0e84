// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace lumatide {

// Where the running program lives and how it was started: from an installed prefix, an
// AppImage or a build tree, and whether as the systemd user unit.

// The real path of the running executable (symbolic links resolved).
QString runningExecutablePath();

// The program a relaunch or an autostart entry should start: the AppImage file when the
// program runs from one ($APPIMAGE), else the executable's real path.
QString programPathToStart(const QProcessEnvironment& environment, const QString& executablePath);
QString programPathToStart();

// True when the program runs from an AppImage, or when the prefix of the executable's real
// path (its folder's parent) holds the installed desktop file. A build tree is not installed.
bool runningFromInstalledLocation(const QString& executablePath,
                                  const QProcessEnvironment& environment);
bool runningFromInstalledLocation();

// True when the program runs as the systemd user unit "com.vexilo.lumatide.service": systemd
// sets $INVOCATION_ID for the processes of a unit, and the process's control group (the text
// of /proc/self/cgroup) names the unit. Either alone is not enough: $INVOCATION_ID leaks into
// programs started from a unit's terminal, and a cgroup name alone could be a look-alike scope.
bool runningAsUserServiceUnit(const QProcessEnvironment& environment, const QString& cgroupText);
bool runningAsUserServiceUnit();

} // namespace lumatide
