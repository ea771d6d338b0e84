// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace lumatide {

// The names of the programs one user runs, read from a proc file system (procRoot is "/proc"
// outside tests): for every process whose real user id is uid, its command name (comm) and,
// when it differs, the base name of its executable. Processes in ascending id order; a process
// that vanishes or cannot be read is skipped.
QStringList runningProcessNames(const QString& procRoot, uid_t uid);

// The base name of an executable link target, without the " (deleted)" mark the kernel adds
// when the file was replaced (as after a package upgrade).
QString executableBaseName(const QString& linkTarget);

} // namespace lumatide
