#pragma once

#include <QColor>
#include <QString>
#include <array>

namespace lumatide {

// The icon styles of the program's dialogs, in their fixed order.
enum class CuteAlertKind {
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

inline constexpr std::array<CuteAlertKind, 9> allCuteAlertKinds{
    CuteAlertKind::general,         CuteAlertKind::launchAtLogin,   CuteAlertKind::passcode,
    CuteAlertKind::passcodeSuccess, CuteAlertKind::passcodeWarning, CuteAlertKind::restartLimit,
    CuteAlertKind::busyDefer,       CuteAlertKind::quitConfirm,     CuteAlertKind::quitLimit};

// The two ends of an icon tile's gradient: top at the upper left, bottom at the lower right.
struct CuteAlertPalette {
    QColor top;
    QColor bottom;
};

// The name of the symbol drawn in the middle of the icon ("timer", "bolt.heart", ...).
QString symbolName(CuteAlertKind kind);
CuteAlertPalette palette(CuteAlertKind kind);

} // namespace lumatide
