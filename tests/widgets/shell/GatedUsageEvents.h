#pragma once

#include "prefs/TelemetryPreferences.h"
#include "system/UsageEvents.h"

#include <QStringList>

namespace lumatide {

class PreferenceStore;

// Behaves like the real sender: an event is delivered only while the user's switch is on.
class GatedUsageEvents final : public UsageEvents {
public:
    explicit GatedUsageEvents(const PreferenceStore& preferences) : preferences_(preferences) {}

    void send(const QString& event, const QJsonObject& properties) override {
        sent.append(event);
        lastProperties = properties;
        if (anonymousTelemetryEnabled(preferences_)) {
            delivered.append(event);
        }
    }

    QStringList sent;
    QStringList delivered;
    QJsonObject lastProperties;

private:
    const PreferenceStore& preferences_;
};

} // namespace lumatide
