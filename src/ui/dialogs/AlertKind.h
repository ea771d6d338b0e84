// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <array>

namespace lumatide {

// The icon styles of the program's dialogs, in their fixed order.
enum class AlertKind {
    general,
    launchAtLogin,
    passcode,
    passcodeSuccess,
    passcodeWarning,
    restartLimit,
    busyDefer,
    quitConfirm,
    quitLimit
};

inline constexpr std::array<AlertKind, 9> allAlertKinds{
    AlertKind::general,         AlertKind::launchAtLogin,   AlertKind::passcode,
    AlertKind::passcodeSuccess, AlertKind::passcodeWarning, AlertKind::restartLimit,
    AlertKind::busyDefer,       AlertKind::quitConfirm,     AlertKind::quitLimit};

// The two ends of an icon tile's gradient: top at the upper left, bottom at the lower right.
struct AlertPalette {
    QColor top;
    QColor bottom;
};

// The name of the symbol drawn in the middle of the icon ("timer", "bolt.heart", ...).
QString symbolName(AlertKind kind);
AlertPalette palette(AlertKind kind);

} // namespace lumatide
