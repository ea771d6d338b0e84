// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>

namespace lumatide {

// Where the user's idle time can be read in the current desktop session.
enum class IdleTimeBackend {
    x11ScreenSaver, // MIT-SCREEN-SAVER of the X server
    gnomeMutter,    // org.gnome.Mutter.IdleMonitor (GNOME on Wayland)
    wayland,        // the compositor's idle notifications (KDE, wlroots desktops)
    none,
};

// True in a Wayland session: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
bool isWaylandSession(const QProcessEnvironment& environment);

// True when XDG_CURRENT_DESKTOP (else DESKTOP_SESSION) names the desktop, ignoring case.
bool desktopIs(const QProcessEnvironment& environment, QLatin1String name);

// X11 session → MIT-SCREEN-SAVER. Wayland → the Mutter idle monitor on GNOME, the compositor's
// idle notifications elsewhere (KDE's ScreenSaver service does not tell the idle time on
// Wayland). Never the X server in a Wayland session: it only sees input to X clients, so the
// user would always look idle. No display at all → none.
IdleTimeBackend chooseIdleTimeBackend(const QProcessEnvironment& environment);

} // namespace lumatide
