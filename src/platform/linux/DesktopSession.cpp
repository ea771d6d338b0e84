// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/DesktopSession.h"

#include <QStringList>

namespace lumatide {

bool isWaylandSession(const QProcessEnvironment& environment) {
    return environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

bool desktopIs(const QProcessEnvironment& environment, QLatin1String name) {
    QString desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    if (desktops.isEmpty()) {
        desktops = environment.value(QStringLiteral("DESKTOP_SESSION"));
    }
    // XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
    const QStringList entries = desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

IdleTimeBackend chooseIdleTimeBackend(const QProcessEnvironment& environment) {
    if (isWaylandSession(environment)) {
        return desktopIs(environment, QLatin1String("GNOME")) ? IdleTimeBackend::gnomeMutter
                                                              : IdleTimeBackend::wayland;
    }
    if (!environment.value(QStringLiteral("DISPLAY")).isEmpty()) {
        return IdleTimeBackend::x11ScreenSaver;
    }
    return IdleTimeBackend::none;
}

} // namespace lumatide
