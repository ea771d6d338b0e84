// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandIdleMonitor.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "linux/WaylandRoundtrip.h"

#include <QSocketNotifier>
#include <cstring>
#include <wayland-client.h>

namespace lumatide {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The compositor reports idleness once this much time has passed without input; the monitor
// counts from the start of that time, so the granularity is this, not its lateness.
constexpr std::uint32_t idleNoticeMs = 1000;
// The connection is made at the first question, during a tick: a compositor that does not
// answer must not hold it up for long.
constexpr std::chrono::milliseconds answerLimit{500};

} // namespace

struct WaylandIdleMonitor::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* notifier = nullptr;
    ext_idle_notification_v1* notification = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout = nullptr;
    std::optional<SteadyClock::time_point> idleSince;
    bool lost = false;
    std::unique_ptr<QSocketNotifier> socket;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        socket.reset();
        if (notification != nullptr) {
            ext_idle_notification_v1_destroy(notification);
        }
        if (notifier != nullptr) {
            ext_idle_notifier_v1_destroy(notifier);
        }
        if (kdeTimeout != nullptr) {
            org_kde_kwin_idle_timeout_release(kdeTimeout);
        }
        if (kdeIdle != nullptr) {
            org_kde_kwin_idle_destroy(kdeIdle);
        }
        if (seat != nullptr) {
            wl_seat_destroy(seat);
        }
        if (registry != nullptr) {
            wl_registry_destroy(registry);
        }
        if (display != nullptr) {
            wl_display_flush(display);
            wl_display_disconnect(display);
        }
    }

    void idled() { idleSince = SteadyClock::now() - std::chrono::milliseconds(idleNoticeMs); }
    void resumed() { idleSince.reset(); }

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t) {
        auto* self = static_cast<Connection*>(data);
        const auto bind = [&](const wl_interface* wanted) {
            return wl_registry_bind(registry, name, wanted, 1);
        };
        if (self->seat == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0) {
            self->seat = static_cast<wl_seat*>(bind(&wl_seat_interface));
        } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
            self->notifier =
                static_cast<ext_idle_notifier_v1*>(bind(&ext_idle_notifier_v1_interface));
        } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
            self->kdeIdle = static_cast<org_kde_kwin_idle*>(bind(&org_kde_kwin_idle_interface));
        }
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}

    static constexpr wl_registry_listener registryListener{&global, &globalRemove};
    static constexpr ext_idle_notification_v1_listener notificationListener{
        [](void* data, ext_idle_notification_v1*) { static_cast<Connection*>(data)->idled(); },
        [](void* data, ext_idle_notification_v1*) { static_cast<Connection*>(data)->resumed(); }};
    static constexpr org_kde_kwin_idle_timeout_listener kdeTimeoutListener{
        [](void* data, org_kde_kwin_idle_timeout*) { static_cast<Connection*>(data)->idled(); },
        [](void* data, org_kde_kwin_idle_timeout*) { static_cast<Connection*>(data)->resumed(); }};
};

std::unique_ptr<WaylandIdleMonitor> WaylandIdleMonitor::connect(const QByteArray& displayName) {
    auto connection = std::make_unique<Connection>();
    connection->display =
        wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
    if (connection->display == nullptr) {
        return nullptr;
    }
    connection->registry = wl_display_get_registry(connection->display);
    wl_registry_add_listener(connection->registry, &Connection::registryListener, connection.get());
    if (!boundedRoundtrip(connection->display, answerLimit) || connection->seat == nullptr) {
        return nullptr;
    }
    // The standard protocol first; KDE's older one only where it is all there is.
    if (connection->notifier != nullptr) {
        connection->notification = ext_idle_notifier_v1_get_idle_notification(
            connection->notifier, idleNoticeMs, connection->seat);
        ext_idle_notification_v1_add_listener(connection->notification,
                                              &Connection::notificationListener, connection.get());
    } else if (connection->kdeIdle != nullptr) {
        connection->kdeTimeout =
            org_kde_kwin_idle_get_idle_timeout(connection->kdeIdle, connection->seat, idleNoticeMs);
        org_kde_kwin_idle_timeout_add_listener(connection->kdeTimeout,
                                               &Connection::kdeTimeoutListener, connection.get());
    } else {
        return nullptr;
    }
    if (!boundedRoundtrip(connection->display, answerLimit)) {
        return nullptr;
    }
    return std::unique_ptr<WaylandIdleMonitor>(new WaylandIdleMonitor(std::move(connection)));
}

WaylandIdleMonitor::WaylandIdleMonitor(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {
    connection_->socket = std::make_unique<QSocketNotifier>(wl_display_get_fd(connection_->display),
                                                            QSocketNotifier::Read);
    QObject::connect(connection_->socket.get(), &QSocketNotifier::activated,
                     connection_->socket.get(), [this] { readEvents(); });
}

WaylandIdleMonitor::~WaylandIdleMonitor() = default;

std::optional<double> WaylandIdleMonitor::systemIdleSeconds() {
    if (connection_->lost) {
        return std::nullopt;
    }
    if (!connection_->idleSince.has_value()) {
        return 0.0;
    }
    return std::chrono::duration<double>(SteadyClock::now() - *connection_->idleSince).count();
}

QString WaylandIdleMonitor::protocol() const {
    return QString::fromLatin1(connection_->notification != nullptr
                                   ? ext_idle_notifier_v1_interface.name
                                   : org_kde_kwin_idle_interface.name);
}

void WaylandIdleMonitor::readEvents() {
    // A compositor that went away stays away for this connection: report nothing from now on
    // rather than stale answers.
    if (!readWaylandEvents(connection_->display)) {
        connection_->lost = true;
        connection_->socket->setEnabled(false);
    }
}

} // namespace lumatide
