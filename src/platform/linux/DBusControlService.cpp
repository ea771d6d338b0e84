// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/DBusControlService.h"

#include <QDBusMessage>
#include <QVariantMap>
#include <cstdlib>

namespace lumatide {

namespace {

// The end of a phase is worked out from two clocks each time; it is announced again only when
// it moved by more than this (a new phase, a restart, a change of the wall clock).
constexpr std::int64_t phaseEndToleranceMs = 1000;

QString phaseName(TimerPhase phase) {
    return phase == TimerPhase::rest ? QStringLiteral("rest") : QStringLiteral("work");
}

QString errorName(ControlOutcome outcome) {
    switch (outcome) {
    case ControlOutcome::resting:
        return QStringLiteral("com.vexilo.Lumatide1.Error.Resting");
    case ControlOutcome::dailyLimitReached:
        return QStringLiteral("com.vexilo.Lumatide1.Error.DailyLimitReached");
    case ControlOutcome::invalidWorkLength:
        return QStringLiteral("com.vexilo.Lumatide1.Error.InvalidWorkLength");
    case ControlOutcome::done:
        break;
    }
    return {};
}

} // namespace

QString DBusControlService::objectPath() {
    return QStringLiteral("/com/vexilo/Lumatide");
}

QString DBusControlService::interfaceName() {
    return QStringLiteral("com.vexilo.Lumatide1");
}

DBusControlService::DBusControlService(RemoteControl& control, QObject* parent)
    : QObject(parent), control_(control) {
}

std::optional<QString> DBusControlService::registerOn(QDBusConnection bus) {
    if (!bus.isConnected()) {
        return QStringLiteral("no session bus");
    }
    if (!bus.registerObject(objectPath(), this,
                            QDBusConnection::ExportAllProperties |
                                QDBusConnection::ExportAllSlots)) {
        return bus.lastError().message().isEmpty() ? QStringLiteral("the object path is taken")
                                                   : bus.lastError().message();
    }
    bus_ = bus;
    published_ = control_.controlState();
    return std::nullopt;
}

void DBusControlService::controlStateMayHaveChanged() {
    if (!bus_.has_value()) {
        return;
    }
    const ControlState now = control_.controlState();
    QVariantMap changed;
    if (now.phase != published_.phase) {
        changed.insert(QStringLiteral("Phase"), phaseName(now.phase));
    }
    if (now.phase != published_.phase ||
        std::llabs(now.phaseEndsAtMs - published_.phaseEndsAtMs) > phaseEndToleranceMs) {
        changed.insert(QStringLiteral("PhaseEndsAt"), static_cast<qlonglong>(now.phaseEndsAtMs));
        published_.phaseEndsAtMs = now.phaseEndsAtMs;
    }
    if (now.activity != published_.activity) {
        changed.insert(QStringLiteral("Activity"), now.activity);
    }
    if (now.workSeconds != published_.workSeconds) {
        changed.insert(QStringLiteral("WorkSeconds"), static_cast<uint>(now.workSeconds));
    }
    if (now.language != published_.language) {
        changed.insert(QStringLiteral("Language"), now.language);
    }
    if (now.launchAtLogin != published_.launchAtLogin) {
        changed.insert(QStringLiteral("LaunchAtLogin"), now.launchAtLogin);
    }
    if (now.usageEvents != published_.usageEvents) {
        changed.insert(QStringLiteral("UsageEvents"), now.usageEvents);
    }
    // A small drift of the end stays measured from what was announced, so it cannot creep.
    const std::int64_t announcedEnd = published_.phaseEndsAtMs;
    published_ = now;
    published_.phaseEndsAtMs = announcedEnd;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << interfaceName() << changed << QStringList();
    bus_->send(signal);
}

QString DBusControlService::phase() const {
    return phaseName(control_.controlState().phase);
}

qlonglong DBusControlService::phaseEndsAt() const {
    return control_.controlState().phaseEndsAtMs;
}

QString DBusControlService::title() const {
    return control_.controlState().title;
}

QString DBusControlService::activity() const {
    return control_.controlState().activity;
}

uint DBusControlService::workSeconds() const {
    return control_.controlState().workSeconds;
}

QString DBusControlService::language() const {
    return control_.controlState().language;
}

bool DBusControlService::launchAtLogin() const {
    return control_.controlState().launchAtLogin;
}

bool DBusControlService::usageEvents() const {
    return control_.controlState().usageEvents;
}

void DBusControlService::StartBreak() {
    answer(control_.startBreakRemotely());
}

void DBusControlService::RestartWorkTimer() {
    answer(control_.restartWorkTimerRemotely());
}

void DBusControlService::SetWorkMinutes(uint minutes) {
    answer(control_.setWorkMinutesRemotely(minutes));
}

void DBusControlService::answer(const ControlAnswer& result) {
    // Announced before the reply, so that a client sees the new state once its call returns.
    controlStateMayHaveChanged();
    if (result.outcome != ControlOutcome::done && calledFromDBus()) {
        sendErrorReply(errorName(result.outcome), result.message);
    }
}

} // namespace lumatide
