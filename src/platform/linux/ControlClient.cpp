// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/ControlClient.h"

#include "cycle/BreakTiming.h"
#include "linux/DBusControlService.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QVariantMap>
#include <algorithm>
#include <optional>
#include <utility>

namespace lumatide {

namespace {

const QString serviceName = QStringLiteral("com.vexilo.Lumatide");
constexpr int callTimeoutMs = 5000;

bool notRunning(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    return name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
}

void printLine(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", qUtf8Printable(text));
    std::fflush(stream);
}

// Prints why a call failed and gives the exit status for it.
int failed(const QDBusMessage& reply, std::FILE* err) {
    if (notRunning(reply)) {
        printLine(err, QStringLiteral("lumatide: Lumatide is not running"));
        return controlExitNotRunning;
    }
    printLine(err, QStringLiteral("lumatide: ") + reply.errorMessage());
    return controlExitRefused;
}

QDBusMessage call(const QDBusConnection& bus, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        serviceName, DBusControlService::objectPath(), interface, method);
    message.setArguments(arguments);
    // Never start a program just to ask it something.
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, callTimeoutMs);
}

QJsonObject statusJson(const QVariantMap& properties) {
    return QJsonObject{
        {QStringLiteral("phase"), properties.value(QStringLiteral("Phase")).toString()},
        {QStringLiteral("phaseEndsAt"),
         properties.value(QStringLiteral("PhaseEndsAt")).toLongLong()},
        {QStringLiteral("title"), properties.value(QStringLiteral("Title")).toString()},
        {QStringLiteral("activity"), properties.value(QStringLiteral("Activity")).toString()},
        {QStringLiteral("workSeconds"),
         properties.value(QStringLiteral("WorkSeconds")).toLongLong()},
        {QStringLiteral("language"), properties.value(QStringLiteral("Language")).toString()},
        {QStringLiteral("launchAtLogin"),
         properties.value(QStringLiteral("LaunchAtLogin")).toBool()},
        {QStringLiteral("usageEvents"), properties.value(QStringLiteral("UsageEvents")).toBool()}};
}

// The countdown as the tray shows it, worked out here from the phase and its end, so that the
// program does not have to announce every second.
QString titleAt(const QVariantMap& properties, std::int64_t nowMs) {
    const std::int64_t left = properties.value(QStringLiteral("PhaseEndsAt")).toLongLong() - nowMs;
    const TimerPhase phase =
        properties.value(QStringLiteral("Phase")).toString() == QStringLiteral("rest")
            ? TimerPhase::rest
            : TimerPhase::work;
    return formatSeconds(remainingWholeSeconds(static_cast<double>(left) / 1000.0), phase);
}

// --status --follow: a line whenever the countdown changes, until the program ends.
class StatusFollower final : public QObject {
    Q_OBJECT

public:
    StatusFollower(QDBusConnection bus, bool json, std::FILE* out)
        : bus_(std::move(bus)), json_(json), out_(out),
          watcher_(serviceName, bus_, QDBusServiceWatcher::WatchForUnregistration) {
        connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
                [] { QCoreApplication::exit(controlExitDone); });
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &StatusFollower::show);
    }

    bool subscribe() {
        return bus_.connect(serviceName, DBusControlService::objectPath(),
                            QStringLiteral("org.freedesktop.DBus.Properties"),
                            QStringLiteral("PropertiesChanged"), this,
                            SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    }

    // The state as first read; changes announced meanwhile are applied after it.
    void start(const QVariantMap& properties) {
        properties_ = properties;
        show();
    }

    void show() {
        const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
        const QString title = titleAt(properties_, now);
        if (title != lastTitle_) {
            lastTitle_ = title;
            QVariantMap shown = properties_;
            shown.insert(QStringLiteral("Title"), title);
            printLine(out_,
                      json_ ? QString::fromUtf8(
                                  QJsonDocument(statusJson(shown)).toJson(QJsonDocument::Compact))
                            : title);
        }
        // Wake at the next change of the whole second, not more often.
        const std::int64_t left =
            properties_.value(QStringLiteral("PhaseEndsAt")).toLongLong() - now;
        const std::int64_t wait = left > 0 ? (left - 1) % 1000 + 1 : 1000;
        timer_.start(static_cast<int>(wait) + 2);
    }

private Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList&) {
        if (interface != DBusControlService::interfaceName()) {
            return;
        }
        for (auto it = changed.constBegin(); it != changed.constEnd(); ++it) {
            properties_.insert(it.key(), it.value());
        }
        // The activity or a setting can change without the countdown: shown in JSON only.
        if (json_) {
            lastTitle_.clear();
        }
        show();
    }

private:
    QDBusConnection bus_;
    QVariantMap properties_;
    bool json_;
    std::FILE* out_;
    QDBusServiceWatcher watcher_;
    QTimer timer_;
    QString lastTitle_;
};

int status(const QDBusConnection& bus, const LaunchOptions& options, std::FILE* out,
           std::FILE* err) {
    std::optional<StatusFollower> follower;
    // Subscribed before the first read, so that no change falls between the two.
    if (options.follow) {
        follower.emplace(bus, options.json, out);
        if (!follower->subscribe()) {
            printLine(err, QStringLiteral("lumatide: cannot follow the status on the session bus"));
            return controlExitRefused;
        }
    }
    const QDBusMessage reply =
        call(bus, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
             {DBusControlService::interfaceName()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return failed(reply, err);
    }
    const auto properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
    if (!follower.has_value()) {
        printLine(out,
                  options.json
                      ? QString::fromUtf8(
                            QJsonDocument(statusJson(properties)).toJson(QJsonDocument::Compact))
                      : properties.value(QStringLiteral("Title")).toString());
        return controlExitDone;
    }
    follower->start(properties);
    return QCoreApplication::exec();
}

} // namespace

int runControlVerb(const LaunchOptions& options, std::FILE* out, std::FILE* err) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        printLine(err,
                  QStringLiteral("lumatide: Lumatide is not running (there is no session bus)"));
        return controlExitNotRunning;
    }
    const QString interface = DBusControlService::interfaceName();
    switch (options.verb.value_or(CommandVerb::status)) {
    case CommandVerb::status:
        return status(bus, options, out, err);
    case CommandVerb::startBreak:
    case CommandVerb::restartWorkTimer: {
        const QDBusMessage reply =
            call(bus, interface,
                 options.verb == CommandVerb::startBreak ? QStringLiteral("StartBreak")
                                                         : QStringLiteral("RestartWorkTimer"));
        return reply.type() == QDBusMessage::ReplyMessage ? controlExitDone : failed(reply, err);
    }
    case CommandVerb::history:
        break;
    }
    return controlExitUsage;
}

} // namespace lumatide

#include "ControlClient.moc"
