// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AlertKind.h"

#include "common/Colors.h"

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
    switch (kind) {
    case AlertKind::general:
        return {rgba(0.30, 0.68, 0.96), rgba(0.15, 0.47, 0.92)};
    case AlertKind::launchAtLogin:
        return {rgba(1.00, 0.62, 0.28), rgba(0.92, 0.38, 0.22)};
    case AlertKind::passcode:
        return {rgba(0.53, 0.65, 1.00), rgba(0.89, 0.45, 0.78)};
    case AlertKind::passcodeSuccess:
        return {rgba(0.28, 0.78, 0.54), rgba(0.13, 0.58, 0.44)};
    case AlertKind::passcodeWarning:
        return {rgba(1.00, 0.64, 0.55), rgba(0.92, 0.30, 0.36)};
    case AlertKind::restartLimit:
        return {rgba(1.00, 0.79, 0.34), rgba(0.98, 0.51, 0.24)};
    case AlertKind::busyDefer:
        return {rgba(0.40, 0.86, 0.82), rgba(0.20, 0.62, 0.70)};
    case AlertKind::quitConfirm:
        return {rgba(0.55, 0.55, 0.96), rgba(0.35, 0.28, 0.78)};
    case AlertKind::quitLimit:
        return {rgba(1.00, 0.55, 0.72), rgba(0.88, 0.31, 0.58)};
    }
    return {};
}

} // namespace lumatide
