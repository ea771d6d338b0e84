// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/UsageEvents.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace lumatide {

// Remembers every usage event in order: its name and its properties.
class RecordingUsageEvents final : public UsageEvents {
public:
    void send(const QString& event, const QJsonObject& eventProperties) override {
        names.append(event);
        properties.append(eventProperties);
    }

    QStringList names;
    QList<QJsonObject> properties;
};

} // namespace lumatide
