// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/DesktopId.h"

#include <QString>

namespace lumatide {

// How long a temporary quit lasts before the program starts again.
inline constexpr double temporaryQuitDelaySeconds = 3600.0;

// Shell commands, one line for /bin/sh -c, that start the program again after a temporary
// quit: a sleep of the delay (whole seconds, truncated) followed by the start command.

// The path as one single-quoted shell word: every ' becomes '\''.
QString shellSingleQuoted(const QString& text);

// Direct form: "sleep D; exec '<path>'".
QString relaunchCommand(const QString& appPath, double delaySeconds = temporaryQuitDelaySeconds);

// Service form, for a program running as a systemd user unit named "<label>.service":
// "sleep D; systemctl --user restart <label>.service".
QString serviceRelaunchCommand(const QString& label = desktopId,
                               double delaySeconds = temporaryQuitDelaySeconds);

// The service form for an empty path (the caller runs as the unit), the direct form otherwise.
QString temporaryQuitRelaunchCommand(const QString& programPath,
                                     double delaySeconds = temporaryQuitDelaySeconds);

} // namespace lumatide
