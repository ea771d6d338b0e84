// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/ActiveWindowCoverage.h"
#include "linux/PowerAssertionReport.h"
#include "sensing/BusyProbe.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <sys/types.h>

namespace lumatide {

// Whether the Linux desktop is busy: held idle inhibitors and playing media players (the
// power-assertion report), the names of the user's programs, and whether the active window
// covers a screen, combined by the busy decision. Asked once per end of a work period; the real
// session's bus and X connections are made at the first question, not while the program starts.
class LinuxBusyProbe final : public BusyProbe {
public:
    // The real session: session and system bus, /proc for the current user, and the window list
    // of the Wayland compositor in a Wayland session, else the X display of $DISPLAY.
    LinuxBusyProbe();
    // Given parts; a null window probe means no window covers a screen.
    LinuxBusyProbe(PowerAssertionReport report, QString procRoot, uid_t uid,
                   std::unique_ptr<ActiveWindowCoverage> windows);
    ~LinuxBusyProbe() override;
    LinuxBusyProbe(const LinuxBusyProbe&) = delete;
    LinuxBusyProbe& operator=(const LinuxBusyProbe&) = delete;

    // The report text; empty when nothing is held or nothing answers.
    QString powerAssertionReport() const;
    QStringList runningApplicationNames() const;
    bool activeWindowCoversScreen() const;

    std::optional<BusyEnvironment> currentBusyEnvironment() override;

private:
    void connectToSession() const;

    mutable std::optional<PowerAssertionReport> report_;
    QString procRoot_;
    uid_t uid_;
    mutable std::unique_ptr<ActiveWindowCoverage> windows_;
    mutable bool connected_ = true; // false until the real session's parts are made
};

} // namespace lumatide
