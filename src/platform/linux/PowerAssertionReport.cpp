// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/PowerAssertionReport.h"

#include "linux/BoundedDBus.h"
#include "linux/DBusCallBudget.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QFile>

namespace lumatide {
namespace {

// GsmInhibitorFlag: 8 inhibits the session from being marked idle (and the screen blanking).
constexpr quint64 gnomeIdleFlag = 8;
// PowerDevil's PolicyAgent: ChangeScreenSettings covers dimming and turning off the screen.
constexpr uint kdeChangeScreenSettings = 4;
// A misbehaving service must not make the report endless.
constexpr int maxEntries = 64;

QString firstString(const std::optional<QList<QVariant>>& reply) {
    if (!reply || reply->isEmpty()) {
        return {};
    }
    return reply->first().toString();
}

// The kernel's login session of a process (its audit session id); nothing when unknown.
std::optional<QByteArray> loginSessionOf(const QString& pid) {
    QFile file(QStringLiteral("/proc/%1/sessionid").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray id = file.read(32).trimmed();
    // 4294967295 is the kernel's "no session".
    if (id.isEmpty() || id == "4294967295") {
        return std::nullopt;
    }
    return id;
}

// Whether the process runs in this process's login session, as far as the kernel tells.
bool inOwnLoginSession(uint pid) {
    static const std::optional<QByteArray> own = loginSessionOf(QStringLiteral("self"));
    const std::optional<QByteArray> theirs = loginSessionOf(QString::number(pid));
    return !own || !theirs || *own == *theirs;
}

} // namespace

QString idleInhibitorLine(const QString& application, const QString& reason) {
    QString line = QStringLiteral("PreventUserIdleDisplaySleep named: ") + application;
    if (!reason.isEmpty()) {
        line += QStringLiteral(" (") + reason + QLatin1Char(')');
    }
    return line;
}

PowerAssertionReport::PowerAssertionReport(QDBusConnection sessionBus, QDBusConnection systemBus,
                                           std::chrono::milliseconds budget, uint ownUid)
    : sessionBus_(std::move(sessionBus)), systemBus_(std::move(systemBus)), budget_(budget),
      ownUid_(ownUid) {
}

QString PowerAssertionReport::text() const {
    const DBusCallBudget budget(budget_);
    QStringList lines;
    lines += mediaPlayerLines(budget);
    lines += gnomeInhibitorLines(budget);
    lines += kdeInhibitorLines(budget);
    lines += logindInhibitorLines(budget);
    return lines.join(QLatin1Char('\n'));
}

QStringList PowerAssertionReport::gnomeInhibitorLines(const DBusCallBudget& budget) const {
    const QString service = QStringLiteral("org.gnome.SessionManager");
    const QString inhibitorInterface = QStringLiteral("org.gnome.SessionManager.Inhibitor");
    const auto reply =
        boundedCall(sessionBus_, service, QStringLiteral("/org/gnome/SessionManager"),
                    QStringLiteral("org.gnome.SessionManager"), QStringLiteral("GetInhibitors"), {},
                    budget.nextTimeoutMs());
    if (!reply || reply->isEmpty()) {
        return {};
    }
    const auto paths = qdbus_cast<QList<QDBusObjectPath>>(reply->first());
    QStringList lines;
    for (const QDBusObjectPath& path : paths.mid(0, maxEntries)) {
        const auto flags = boundedCall(sessionBus_, service, path.path(), inhibitorInterface,
                                       QStringLiteral("GetFlags"), {}, budget.nextTimeoutMs());
        if (!flags || flags->isEmpty()) {
            continue;
        }
        const auto value = unsignedNumber(flags->first());
        if (!value || (*value & gnomeIdleFlag) == 0) {
            continue;
        }
        const QString application =
            firstString(boundedCall(sessionBus_, service, path.path(), inhibitorInterface,
                                    QStringLiteral("GetAppId"), {}, budget.nextTimeoutMs()));
        const QString reason =
            firstString(boundedCall(sessionBus_, service, path.path(), inhibitorInterface,
                                    QStringLiteral("GetReason"), {}, budget.nextTimeoutMs()));
        lines.append(idleInhibitorLine(application.isEmpty() ? path.path() : application, reason));
    }
    return lines;
}

QStringList PowerAssertionReport::kdeInhibitorLines(const DBusCallBudget& budget) const {
    const QString service = QStringLiteral("org.kde.Solid.PowerManagement");
    const QString path = QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent");
    const QString interface = QStringLiteral("org.kde.Solid.PowerManagement.PolicyAgent");
    const auto held =
        boundedCall(sessionBus_, service, path, interface, QStringLiteral("HasInhibition"),
                    {QVariant::fromValue(kdeChangeScreenSettings)}, budget.nextTimeoutMs());
    if (!held || held->isEmpty() || !held->first().toBool()) {
        return {};
    }
    // The listing does not say which kind each inhibition is; the screen is known to be held, so
    // every listed holder is named. Without a listing the screen inhibition still counts.
    QStringList lines;
    const auto listing = boundedCall(sessionBus_, service, path, interface,
                                     QStringLiteral("ListInhibitions"), {}, budget.nextTimeoutMs());
    if (listing && !listing->isEmpty() && listing->first().canConvert<QDBusArgument>()) {
        const auto argument = qvariant_cast<QDBusArgument>(listing->first());
        if (argument.currentType() == QDBusArgument::ArrayType) {
            argument.beginArray();
            while (!argument.atEnd() && lines.size() < maxEntries) {
                QString application;
                QString reason;
                argument.beginStructure();
                argument >> application >> reason;
                argument.endStructure();
                lines.append(idleInhibitorLine(application, reason));
            }
            argument.endArray();
        }
    }
    if (lines.isEmpty()) {
        lines.append(idleInhibitorLine(QStringLiteral("KDE power management"),
                                       QStringLiteral("screen settings inhibited")));
    }
    return lines;
}

QStringList PowerAssertionReport::logindInhibitorLines(const DBusCallBudget& budget) const {
    const auto reply = boundedCall(systemBus_, QStringLiteral("org.freedesktop.login1"),
                                   QStringLiteral("/org/freedesktop/login1"),
                                   QStringLiteral("org.freedesktop.login1.Manager"),
                                   QStringLiteral("ListInhibitors"), {}, budget.nextTimeoutMs());
    if (!reply || reply->isEmpty() || !reply->first().canConvert<QDBusArgument>()) {
        return {};
    }
    const auto argument = qvariant_cast<QDBusArgument>(reply->first());
    if (argument.currentType() != QDBusArgument::ArrayType) {
        return {};
    }
    QStringList lines;
    argument.beginArray();
    while (!argument.atEnd() && lines.size() < maxEntries) {
        QString what;
        QString who;
        QString why;
        QString mode;
        uint uid = 0;
        uint pid = 0;
        argument.beginStructure();
        argument >> what >> who >> why >> mode >> uid >> pid;
        argument.endStructure();
        // Only inhibitors that stop the session from going idle, and only those that block:
        // "delay" inhibitors merely postpone and sleep-only ones do not keep the screen on.
        // Other users' and other sessions' inhibitors keep their own screens on, not this one.
        if (what.split(QLatin1Char(':')).contains(QLatin1String("idle")) &&
            mode == QLatin1String("block") && uid == ownUid_ && inOwnLoginSession(pid)) {
            lines.append(idleInhibitorLine(who, why));
        }
    }
    argument.endArray();
    return lines;
}

QStringList PowerAssertionReport::mediaPlayerLines(const DBusCallBudget& budget) const {
    const auto names =
        boundedCall(sessionBus_, QStringLiteral("org.freedesktop.DBus"),
                    QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
                    QStringLiteral("ListNames"), {}, budget.nextTimeoutMs());
    if (!names || names->isEmpty()) {
        return {};
    }
    const QString prefix = QStringLiteral("org.mpris.MediaPlayer2.");
    const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
    QStringList lines;
    int asked = 0;
    for (const QString& name : names->first().toStringList()) {
        if (!name.startsWith(prefix) || ++asked > maxEntries) {
            continue;
        }
        const auto status = boundedProperty(
            sessionBus_, name, path, QStringLiteral("org.mpris.MediaPlayer2.Player"),
            QStringLiteral("PlaybackStatus"), budget.nextTimeoutMs());
        if (!status || status->toString() != QLatin1String("Playing")) {
            continue;
        }
        const auto identity =
            boundedProperty(sessionBus_, name, path, QStringLiteral("org.mpris.MediaPlayer2"),
                            QStringLiteral("Identity"), budget.nextTimeoutMs());
        const QString shown = identity && !identity->toString().isEmpty() ? identity->toString()
                                                                          : name.mid(prefix.size());
        lines.append(QStringLiteral("audio playing: ") + shown);
    }
    return lines;
}

} // namespace lumatide
