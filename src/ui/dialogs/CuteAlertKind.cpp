#include "dialogs/CuteAlertKind.h"

namespace lumatide {

QString symbolName(CuteAlertKind kind) {
    switch (kind) {
    case CuteAlertKind::general:
        return QStringLiteral("timer");
    case CuteAlertKind::launchAtLogin:
        return QStringLiteral("bolt.heart");
    case CuteAlertKind::passcode:
        return QStringLiteral("lock.heart");
    case CuteAlertKind::passcodeSuccess:
        return QStringLiteral("checkmark.seal");
    case CuteAlertKind::passcodeWarning:
        return QStringLiteral("key.slash");
    case CuteAlertKind::restartLimit:
        return QStringLiteral("sparkles");
    case CuteAlertKind::busyDefer:
        return QStringLiteral("cup.and.saucer");
    case CuteAlertKind::quitConfirm:
        return QStringLiteral("moon.zzz");
    case CuteAlertKind::quitLimit:
        return QStringLiteral("heart.text.square");
    }
    return {};
}

CuteAlertPalette palette(CuteAlertKind kind) {
    const auto rgb = [](double r, double g, double b) { return QColor::fromRgbF(r, g, b, 1.0); };
    switch (kind) {
    case CuteAlertKind::general:
        return {rgb(0.30, 0.68, 0.96), rgb(0.15, 0.47, 0.92)};
    case CuteAlertKind::launchAtLogin:
        return {rgb(1.00, 0.62, 0.28), rgb(0.92, 0.38, 0.22)};
    case CuteAlertKind::passcode:
        return {rgb(0.53, 0.65, 1.00), rgb(0.89, 0.45, 0.78)};
    case CuteAlertKind::passcodeSuccess:
        return {rgb(0.28, 0.78, 0.54), rgb(0.13, 0.58, 0.44)};
    case CuteAlertKind::passcodeWarning:
        return {rgb(1.00, 0.64, 0.55), rgb(0.92, 0.30, 0.36)};
    case CuteAlertKind::restartLimit:
        return {rgb(1.00, 0.79, 0.34), rgb(0.98, 0.51, 0.24)};
    case CuteAlertKind::busyDefer:
        return {rgb(0.40, 0.86, 0.82), rgb(0.20, 0.62, 0.70)};
    case CuteAlertKind::quitConfirm:
        return {rgb(0.55, 0.55, 0.96), rgb(0.35, 0.28, 0.78)};
    case CuteAlertKind::quitLimit:
        return {rgb(1.00, 0.55, 0.72), rgb(0.88, 0.31, 0.58)};
    }
    return {};
}

} // namespace lumatide
