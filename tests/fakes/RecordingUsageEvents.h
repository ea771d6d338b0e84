#pragma once

#include "system/UsageEvents.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace lumatide {

// Remembers every usage event in order.
class RecordingUsageEvents final : public UsageEvents {
public:
    struct Event {
        QString name;
        QJsonObject properties;
    };

    void send(const QString& event, const QJsonObject& properties) override {
        events.push_back({event, properties});
    }

    QStringList names() const {
        QStringList result;
        for (const Event& event : events) {
            result.append(event.name);
        }
        return result;
    }
    long count(const QString& name) const {
        return std::count_if(events.begin(), events.end(),
                             [&name](const Event& event) { return event.name == name; });
    }

    std::vector<Event> events;
};

} // namespace lumatide
