// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <optional>

namespace lumatide {

class PreferenceStore;

// Versions reported with every usage event.
struct TelemetryBuildInfo {
    QString appVersion;   // the project version, or "dev"
    QString buildVersion; // the build number, or "dev"
    QString osVersion;    // the system's human-readable name and version

    static TelemetryBuildInfo current();
};

// The events endpoint fixed when the program is built; empty when events are switched off
// at build time.
extern const QString telemetryEndpoint;

// The endpoint when the text is an absolute URL whose scheme is exactly "https" (checked on
// the raw text: the URL parser lower-cases schemes) and which has a host; nothing otherwise.
std::optional<QUrl> telemetryEndpointURL(const QString& from = telemetryEndpoint);

// The nine-member event object, for the interface language in effect. Reads (and on first use
// creates) the install identifier.
QJsonObject makeTelemetryPayload(const QString& event, const QJsonObject& properties,
                                 PreferenceStore& preferences, const QDateTime& now,
                                 AppLanguage language,
                                 const TelemetryBuildInfo& build = TelemetryBuildInfo::current());

} // namespace lumatide
