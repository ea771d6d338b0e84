#include "dialogs/AlertKind.h"

namespace lumatide {

QString symbolName(AlertKind kind) {
    switch (kind) {
    case AlertKind::general:
        return QStringLiteral("timer");
    case AlertKind::launchAtLogin:
        return QStringLiteral("bolt.heart");
    case AlertKind::passcode:
        return QStringLiteral("lock.heart");
    case AlertKind::passcodeSuccess:
        return QStringLiteral("checkmark.seal");
    case AlertKind::passcodeWarning:
        return QStringLiteral("key.slash");
    case AlertKind::restartLimit:
        return QStringLiteral("sparkles");
    case AlertKind::busyDefer:
        return QStringLiteral("cup.and.saucer");
    case AlertKind::quitConfirm:
        return QStringLiteral("moon.zzz");
    case AlertKind::quitLimit:
        return QStringLiteral("heart.text.square");
    }
    return {};
}

AlertPalette palette(AlertKind kind) {
    const auto rgb = [](double r, double g, double b) { return QColor::fromRgbF(r, g, b, 1.0); };
    switch (kind) {
    case AlertKind::general:
        return {rgb(0.30, 0.68, 0.96), rgb(0.15, 0.47, 0.92)};
    case AlertKind::launchAtLogin:
        return {rgb(1.00, 0.62, 0.28), rgb(0.92, 0.38, 0.22)};
    case AlertKind::passcode:
        return {rgb(0.53, 0.65, 1.00), rgb(0.89, 0.45, 0.78)};
    case AlertKind::passcodeSuccess:
        return {rgb(0.28, 0.78, 0.54), rgb(0.13, 0.58, 0.44)};
    case AlertKind::passcodeWarning:
        return {rgb(1.00, 0.64, 0.55), rgb(0.92, 0.30, 0.36)};
    case AlertKind::restartLimit:
        return {rgb(1.00, 0.79, 0.34), rgb(0.98, 0.51, 0.24)};
    case AlertKind::busyDefer:
        return {rgb(0.40, 0.86, 0.82), rgb(0.20, 0.62, 0.70)};
    case AlertKind::quitConfirm:
        return {rgb(0.55, 0.55, 0.96), rgb(0.35, 0.28, 0.78)};
    case AlertKind::quitLimit:
        return {rgb(1.00, 0.55, 0.72), rgb(0.88, 0.31, 0.58)};
    }
    return {};
}

} // namespace lumatide
