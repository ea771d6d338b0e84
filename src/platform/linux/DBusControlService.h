// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/RemoteControl.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <optional>

namespace lumatide {

// The program's control interface on the session bus (com.vexilo.Lumatide1, described in
// packaging/com.vexilo.Lumatide1.xml): the state as properties, announced with
// PropertiesChanged when it changes, and the commands a status bar or the command line may
// give. It adds no timer: the application tells it once a second, with its own tick, and it
// compares; the countdown title changes every second and is therefore never announced.
class DBusControlService final : public QObject,
                                 protected QDBusContext,
                                 public ControlStateObserver {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vexilo.Lumatide1")
    Q_PROPERTY(QString Phase READ phase)
    Q_PROPERTY(qlonglong PhaseEndsAt READ phaseEndsAt)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Activity READ activity)
    Q_PROPERTY(uint WorkSeconds READ workSeconds)
    Q_PROPERTY(QString Language READ language)
    Q_PROPERTY(bool LaunchAtLogin READ launchAtLogin)
    Q_PROPERTY(bool UsageEvents READ usageEvents)

public:
    static QString objectPath();
    static QString interfaceName();

    explicit DBusControlService(RemoteControl& control, QObject* parent = nullptr);

    // Puts the object on the bus (before the bus name is claimed, so that whoever sees the
    // name finds the object); the reason when it cannot.
    std::optional<QString> registerOn(QDBusConnection bus);

    void controlStateMayHaveChanged() override;

    QString phase() const;
    qlonglong phaseEndsAt() const;
    QString title() const;
    QString activity() const;
    uint workSeconds() const;
    QString language() const;
    bool launchAtLogin() const;
    bool usageEvents() const;

public Q_SLOTS:
    void StartBreak();
    void RestartWorkTimer();
    void SetWorkMinutes(uint minutes);

private:
    void answer(const ControlAnswer& result);

    RemoteControl& control_;
    std::optional<QDBusConnection> bus_;
    ControlState published_;
};

} // namespace lumatide
