// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/ActiveWindowCoverage.h"

#include <QByteArray>
#include <memory>

namespace lumatide {

// Whether the active window of a Wayland session is full screen, from the compositor's list of
// windows (wlroots' foreign-toplevel management, offered by sway and other wlroots desktops, or
// KDE's plasma window management, offered by KWin to programs its desktop file vouches for).
// Each question opens a connection, reads the list and closes it again: a connection kept open
// would be woken by every change of every window title all day, for one question per work
// period. Only the full-screen state counts, as window sizes are not in the list.
class WaylandToplevelCoverage final : public ActiveWindowCoverage {
public:
    // An empty name means $WAYLAND_DISPLAY.
    explicit WaylandToplevelCoverage(QByteArray displayName = {});

    // False as well when the compositor offers no window list or does not answer in time.
    bool activeWindowCoversScreen() const override;
    // Whether the compositor offers the list at all (one connection).
    bool available() const;

private:
    QByteArray displayName_;
};

} // namespace lumatide
