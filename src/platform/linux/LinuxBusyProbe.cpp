// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/LinuxBusyProbe.h"

#include "linux/DesktopSession.h"
#include "linux/ProcessNames.h"
#include "linux/WaylandToplevelCoverage.h"
#include "linux/X11WindowCoverage.h"
#include "sensing/BusyDecision.h"

#include <QProcessEnvironment>
#include <unistd.h>

namespace lumatide {
namespace {

std::unique_ptr<ActiveWindowCoverage> sessionWindows() {
    const auto environment = QProcessEnvironment::systemEnvironment();
    // In a Wayland session the X server sees only X clients; its active window says nothing.
    if (isWaylandSession(environment)) {
        return std::make_unique<WaylandToplevelCoverage>();
    }
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty()) {
        return nullptr;
    }
    return X11WindowCoverage::open();
}

} // namespace

LinuxBusyProbe::LinuxBusyProbe()
    : procRoot_(QStringLiteral("/proc")), uid_(getuid()), connected_(false) {
}

void LinuxBusyProbe::connectToSession() const {
    if (connected_) {
        return;
    }
    connected_ = true;
    report_.emplace(QDBusConnection::sessionBus(), QDBusConnection::systemBus());
    windows_ = sessionWindows();
}

LinuxBusyProbe::LinuxBusyProbe(PowerAssertionReport report, QString procRoot, uid_t uid,
                               std::unique_ptr<ActiveWindowCoverage> windows)
    : report_(std::move(report)), procRoot_(std::move(procRoot)), uid_(uid),
      windows_(std::move(windows)) {
}

LinuxBusyProbe::~LinuxBusyProbe() = default;

QString LinuxBusyProbe::powerAssertionReport() const {
    connectToSession();
    return report_ ? report_->text() : QString();
}

QStringList LinuxBusyProbe::runningApplicationNames() const {
    return runningProcessNames(procRoot_, uid_);
}

bool LinuxBusyProbe::activeWindowCoversScreen() const {
    connectToSession();
    return windows_ && windows_->activeWindowCoversScreen();
}

std::optional<BusyEnvironment> LinuxBusyProbe::currentBusyEnvironment() {
    const QString report = powerAssertionReport();
    const QStringList names = runningApplicationNames();
    const bool coversScreen = activeWindowCoversScreen();
    return detectBusyEnvironment(report, names, coversScreen);
}

} // namespace lumatide
