// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <chrono>
#include <unistd.h>

namespace lumatide {

class DBusCallBudget;

// What keeps the session awake right now, as text for the busy decision: one line per idle
// inhibitor or playing media player that is actually held, nothing else, so that the media
// rule never matches an idle machine.
//   "PreventUserIdleDisplaySleep named: <app> (<reason>)" for each idle inhibitor held through
//   GNOME's session manager, KDE's power management or logind (block mode);
//   "audio playing: <identity>" for each media player whose PlaybackStatus is "Playing".
// Every call is bounded (at most 500 ms, and the whole report at most the budget); a service
// that is missing or does not answer in time contributes nothing.
class PowerAssertionReport final {
public:
    static constexpr std::chrono::milliseconds defaultBudget{1500};

    // sessionBus serves GNOME, KDE and the media players; systemBus serves logind.
    // Only logind inhibitors of the user `ownUid` count, and of those only the ones held in
    // this login session where the kernel tells the session of a process.
    PowerAssertionReport(QDBusConnection sessionBus, QDBusConnection systemBus,
                         std::chrono::milliseconds budget = defaultBudget,
                         uint ownUid = ::getuid());

    // The lines joined by line feeds; empty when nothing is held or nothing could be asked.
    QString text() const;

private:
    QStringList gnomeInhibitorLines(const DBusCallBudget& budget) const;
    QStringList kdeInhibitorLines(const DBusCallBudget& budget) const;
    QStringList logindInhibitorLines(const DBusCallBudget& budget) const;
    QStringList mediaPlayerLines(const DBusCallBudget& budget) const;

    QDBusConnection sessionBus_;
    QDBusConnection systemBus_;
    std::chrono::milliseconds budget_;
    uint ownUid_;
};

// "PreventUserIdleDisplaySleep named: <app> (<reason>)"; the parenthesis is left out when there
// is no reason.
QString idleInhibitorLine(const QString& application, const QString& reason);

} // namespace lumatide
