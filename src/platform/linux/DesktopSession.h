// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>

namespace lumatide {

// Where the user's idle time can be read in the current desktop session.
enum class IdleTimeBackend {
    x11ScreenSaver, // MIT-SCREEN-SAVER of the X server
    gnomeMutter,    // org.gnome.Mutter.IdleMonitor (GNOME on Wayland)
    kdeScreenSaver, // org.freedesktop.ScreenSaver.GetSessionIdleTime (KDE on Wayland)
    none,
};

// True in a Wayland session: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
bool isWaylandSession(const QProcessEnvironment& environment);

// True when XDG_CURRENT_DESKTOP (else DESKTOP_SESSION) names the desktop, ignoring case.
bool desktopIs(const QProcessEnvironment& environment, QLatin1String name);

// X11 session → MIT-SCREEN-SAVER. Wayland → the compositor's idle service on GNOME and KDE, none
// elsewhere: the X server of a Wayland session only sees input to X clients, so the user would
// always look idle. No display at all → none.
IdleTimeBackend chooseIdleTimeBackend(const QProcessEnvironment& environment);

} // namespace lumatide
