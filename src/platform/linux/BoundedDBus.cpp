// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/BoundedDBus.h"

#include <QDBusVariant>

namespace lumatide {

std::optional<QList<QVariant>> boundedCall(const QDBusConnection& bus, QDBusMessage call,
                                           int timeoutMs) {
    if (timeoutMs <= 0 || !bus.isConnected()) {
        return std::nullopt;
    }
    // Asking must not start a service (a session manager or player activated by the bus).
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return reply.arguments();
}

std::optional<QList<QVariant>> boundedCall(const QDBusConnection& bus, const QString& service,
                                           const QString& path, const QString& interface,
                                           const QString& method, const QList<QVariant>& arguments,
                                           int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return boundedCall(bus, call, timeoutMs);
}

std::optional<QVariant> boundedProperty(const QDBusConnection& bus, const QString& service,
                                        const QString& path, const QString& interface,
                                        const QString& name, int timeoutMs) {
    const auto reply =
        boundedCall(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                    QStringLiteral("Get"), {interface, name}, timeoutMs);
    if (!reply || reply->isEmpty() || !reply->first().canConvert<QDBusVariant>()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusVariant>(reply->first()).variant();
}

std::optional<quint64> unsignedNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toULongLong();
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong: {
        const qlonglong number = value.toLongLong();
        if (number < 0) {
            return std::nullopt;
        }
        return static_cast<quint64>(number);
    }
    default:
        return std::nullopt;
    }
}

} // namespace lumatide
