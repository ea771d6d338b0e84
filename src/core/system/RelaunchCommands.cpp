// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/RelaunchCommands.h"

#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

// No sensible delay is longer: a longer one is printed as this many seconds.
constexpr double longestDelaySeconds = 1.0e9;

// Whole seconds, truncated toward zero. Callers pass the one-hour constant; anything that is
// not a sensible delay is bounded rather than allowed to print a negative or huge number.
QString delayText(double delaySeconds) {
    if (std::isnan(delaySeconds)) {
        delaySeconds = 0.0;
    }
    const double bounded = std::clamp(delaySeconds, 0.0, longestDelaySeconds);
    return QString::number(static_cast<qlonglong>(std::trunc(bounded)));
}

} // namespace

QString shellSingleQuoted(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString relaunchCommand(const QString& appPath, double delaySeconds) {
    return QStringLiteral("sleep ") + delayText(delaySeconds) + QStringLiteral("; exec ") +
           shellSingleQuoted(appPath);
}

QString serviceRelaunchCommand(const QString& label, double delaySeconds) {
    return QStringLiteral("sleep ") + delayText(delaySeconds) +
           QStringLiteral("; systemctl --user restart ") + label + QStringLiteral(".service");
}

QString temporaryQuitRelaunchCommand(const QString& programPath, double delaySeconds) {
    if (programPath.isEmpty()) {
        return serviceRelaunchCommand(desktopId, delaySeconds);
    }
    return relaunchCommand(programPath, delaySeconds);
}

} // namespace lumatide
