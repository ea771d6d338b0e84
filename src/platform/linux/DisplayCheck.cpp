// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/DisplayCheck.h"

#include "linux/X11Display.h"

namespace lumatide {

std::optional<QString> displayProblem(const QProcessEnvironment& environment) {
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const QString display = environment.value(QStringLiteral("DISPLAY"));
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb"))) {
        return std::nullopt;
    }
    // Without a platform named and without X, Qt looks for a Wayland compositor.
    if (platform.isEmpty() && display.isEmpty() &&
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()) {
        return std::nullopt;
    }
    const QString suffix = QStringLiteral("; Lumatide needs a graphical session");
    if (display.isEmpty()) {
        return QStringLiteral("cannot open the display: DISPLAY is not set") + suffix;
    }
    if (X11Display::open(display.toLocal8Bit()) == nullptr) {
        return QStringLiteral("cannot open the display \"%1\"").arg(display) + suffix;
    }
    return std::nullopt;
}

std::optional<QString> displayLimitation(const std::function<bool()>& compositorLayers,
                                         const QProcessEnvironment& environment) {
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const bool nativeWayland =
        environment.value(QStringLiteral("DISPLAY")).isEmpty() &&
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() &&
        (platform.isEmpty() || platform.startsWith(QLatin1String("wayland")));
    if (!nativeWayland || compositorLayers()) {
        return std::nullopt;
    }
    return QStringLiteral("this desktop session has no X server (XWayland): rest panels cannot be "
                          "shown above other windows on this desktop");
}

} // namespace lumatide
