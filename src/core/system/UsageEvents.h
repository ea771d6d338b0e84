// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

namespace lumatide {

// Anonymous usage events. Fire and forget: the sender decides itself whether the user opted
// in, and the caller never waits for the outcome.
class UsageEvents {
public:
    virtual ~UsageEvents() = default;

    virtual void send(const QString& event, const QJsonObject& properties) = 0;

protected:
    UsageEvents() = default;
    UsageEvents(const UsageEvents&) = default;
    UsageEvents& operator=(const UsageEvents&) = default;
};

} // namespace lumatide
