// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/LinuxIdleTimeSource.h"

#include "linux/BoundedDBus.h"
#include "linux/DBusCallBudget.h"
#include "linux/X11Display.h"

#include <QProcessEnvironment>

// Xlib last: its macros clash with Qt's names.
#include "linux/WaylandIdleMonitor.h"
#include "linux/X11ErrorTrap.h"

#include <X11/extensions/scrnsaver.h>

namespace lumatide {

// The MIT-SCREEN-SAVER idle counter on a connection kept open between calls.
class LinuxIdleTimeSource::X11Counter final {
public:
    static std::unique_ptr<X11Counter> open(const QByteArray& displayName) {
        auto display = X11Display::open(displayName);
        if (!display) {
            return nullptr;
        }
        int eventBase = 0;
        int errorBase = 0;
        if (XScreenSaverQueryExtension(display->get(), &eventBase, &errorBase) == 0) {
            return nullptr;
        }
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        if (info == nullptr) {
            return nullptr;
        }
        return std::unique_ptr<X11Counter>(new X11Counter(std::move(display), info));
    }

    ~X11Counter() { XFree(info_); }
    X11Counter(const X11Counter&) = delete;
    X11Counter& operator=(const X11Counter&) = delete;

    std::optional<double> idleSeconds() {
        Display* x = display_->get();
        const X11ErrorTrap trap;
        if (XScreenSaverQueryInfo(x, XDefaultRootWindow(x), info_) == 0 || trap.caughtError()) {
            return std::nullopt;
        }
        return static_cast<double>(info_->idle) / 1000.0;
    }

private:
    X11Counter(std::unique_ptr<X11Display> display, XScreenSaverInfo* info)
        : display_(std::move(display)), info_(info) {}

    std::unique_ptr<X11Display> display_;
    XScreenSaverInfo* info_;
};

LinuxIdleTimeSource::LinuxIdleTimeSource()
    : LinuxIdleTimeSource(chooseIdleTimeBackend(QProcessEnvironment::systemEnvironment()),
                          QDBusConnection::sessionBus()) {
}

LinuxIdleTimeSource::LinuxIdleTimeSource(IdleTimeBackend backend, QDBusConnection bus,
                                         const QByteArray& displayName)
    : backend_(backend), bus_(std::move(bus)), displayName_(displayName) {
}

LinuxIdleTimeSource::~LinuxIdleTimeSource() = default;

std::optional<double> LinuxIdleTimeSource::systemIdleSeconds() {
    switch (backend_) {
    case IdleTimeBackend::x11ScreenSaver:
        // Opened at the first question rather than at start, where every millisecond delays
        // the tray icon; one try only, as a display that refused once keeps refusing.
        if (!x11Tried_) {
            x11Tried_ = true;
            x11_ = X11Counter::open(displayName_);
        }
        return x11_ ? x11_->idleSeconds() : std::nullopt;
    case IdleTimeBackend::gnomeMutter:
        return dbusIdleSeconds(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                               QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                               QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                               QStringLiteral("GetIdletime"));
    case IdleTimeBackend::wayland:
        // Connected at the first question, once, like the X counter.
        if (!waylandTried_) {
            waylandTried_ = true;
            wayland_ = WaylandIdleMonitor::connect(displayName_);
        }
        return wayland_ ? wayland_->systemIdleSeconds() : std::nullopt;
    case IdleTimeBackend::none:
        break;
    }
    return std::nullopt;
}

std::optional<double> LinuxIdleTimeSource::dbusIdleSeconds(const QString& service,
                                                           const QString& path,
                                                           const QString& interface,
                                                           const QString& method) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    if (start < quietUntil_) {
        return std::nullopt;
    }
    const auto reply = boundedCall(bus_, service, path, interface, method, {},
                                   static_cast<int>(DBusCallBudget::callLimit.count()));
    if (!reply || reply->isEmpty()) {
        // A quick failure (no such service) costs nothing to repeat; a time-out does.
        if (Clock::now() - start >= DBusCallBudget::callLimit * 9 / 10) {
            quietUntil_ = Clock::now() + std::chrono::minutes(1);
        }
        return std::nullopt;
    }
    // Both services answer in milliseconds.
    const auto milliseconds = unsignedNumber(reply->first());
    if (!milliseconds) {
        return std::nullopt;
    }
    return static_cast<double>(*milliseconds) / 1000.0;
}

} // namespace lumatide
