// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sensing/IdleTimeSource.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

namespace lumatide {

// The user's idle time from a Wayland compositor, on a connection of its own: the compositor
// says when a second has passed without input and when input comes back, and the monitor keeps
// the moment the idleness began, so the once-a-second question costs no message at all.
// Speaks ext_idle_notifier_v1 where offered (KWin, newer wlroots desktops), else KDE's
// org_kde_kwin_idle (older wlroots desktops such as sway 1.7).
class WaylandIdleMonitor final : public IdleTimeSource {
public:
    // Nothing when there is no compositor at displayName (empty: $WAYLAND_DISPLAY) or it offers
    // neither protocol or no seat.
    static std::unique_ptr<WaylandIdleMonitor> connect(const QByteArray& displayName = {});
    ~WaylandIdleMonitor() override;
    WaylandIdleMonitor(const WaylandIdleMonitor&) = delete;
    WaylandIdleMonitor& operator=(const WaylandIdleMonitor&) = delete;

    // Seconds since the last input, in whole-second steps; nothing once the connection is lost.
    std::optional<double> systemIdleSeconds() override;

    // "ext_idle_notifier_v1" or "org_kde_kwin_idle".
    QString protocol() const;

private:
    struct Connection;
    explicit WaylandIdleMonitor(std::unique_ptr<Connection> connection);
    void readEvents();

    std::unique_ptr<Connection> connection_;
};

} // namespace lumatide
