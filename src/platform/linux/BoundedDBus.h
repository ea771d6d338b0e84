// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QVariant>
#include <optional>

namespace lumatide {

// Sends a method call and waits at most timeoutMs for the answer, blocking the calling thread
// without running its event loop. Nothing on an error, a time-out, a timeout of 0 or less, or a
// bus that is not connected. Never starts a service that is not already running.
std::optional<QList<QVariant>> boundedCall(const QDBusConnection& bus, QDBusMessage call,
                                           int timeoutMs);

// Convenience for a method call with arguments.
std::optional<QList<QVariant>> boundedCall(const QDBusConnection& bus, const QString& service,
                                           const QString& path, const QString& interface,
                                           const QString& method, const QList<QVariant>& arguments,
                                           int timeoutMs);

// A property read through org.freedesktop.DBus.Properties.Get, unwrapped from its variant.
std::optional<QVariant> boundedProperty(const QDBusConnection& bus, const QString& service,
                                        const QString& path, const QString& interface,
                                        const QString& name, int timeoutMs);

// An unsigned number of any D-Bus integer type; nothing for other types and negative numbers.
std::optional<quint64> unsignedNumber(const QVariant& value);

} // namespace lumatide
