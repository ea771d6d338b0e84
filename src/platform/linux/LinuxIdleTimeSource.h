// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/DesktopSession.h"
#include "sensing/IdleTimeSource.h"

#include <QByteArray>
#include <QDBusConnection>
#include <chrono>
#include <memory>

namespace lumatide {

class WaylandIdleMonitor;

// The user's idle time in a Linux desktop session: the X server's MIT-SCREEN-SAVER counter in
// an X11 session, Mutter's idle monitor on GNOME Wayland, the compositor's idle notifications on
// other Wayland desktops.
// The X connection is opened at the first question and kept; a D-Bus call waits at most 500 ms and
// counts as nothing past that. A service that let a call time out is left alone for a minute
// (nothing is reported meanwhile), so a hung compositor does not stall every tick by half a second.
class LinuxIdleTimeSource final : public IdleTimeSource {
public:
    // The current session, as its environment describes it, on the session bus and $DISPLAY.
    LinuxIdleTimeSource();
    // A given backend; displayName is the X display for x11ScreenSaver (empty: $DISPLAY) and the
    // Wayland one for wayland (empty: $WAYLAND_DISPLAY); bus is used by gnomeMutter.
    LinuxIdleTimeSource(IdleTimeBackend backend, QDBusConnection bus,
                        const QByteArray& displayName = {});
    ~LinuxIdleTimeSource() override;
    LinuxIdleTimeSource(const LinuxIdleTimeSource&) = delete;
    LinuxIdleTimeSource& operator=(const LinuxIdleTimeSource&) = delete;

    std::optional<double> systemIdleSeconds() override;

    IdleTimeBackend backend() const { return backend_; }

private:
    class X11Counter;

    std::optional<double> dbusIdleSeconds(const QString& service, const QString& path,
                                          const QString& interface, const QString& method);

    IdleTimeBackend backend_;
    QDBusConnection bus_;
    QByteArray displayName_;
    bool x11Tried_ = false;
    std::unique_ptr<X11Counter> x11_;
    bool waylandTried_ = false;
    std::unique_ptr<WaylandIdleMonitor> wayland_;
    std::chrono::steady_clock::time_point quietUntil_;
};

} // namespace lumatide
