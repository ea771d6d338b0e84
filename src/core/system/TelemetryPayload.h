#pragma once

#include "cycle/CommandLine.h"
#include "cycle/Constants.h"

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

// The endpoint when the text is an absolute URL whose scheme is exactly "https" (checked on
// the raw text: the URL parser lower-cases schemes) and which has a host; nothing otherwise.
std::optional<QUrl> telemetryEndpointURL(const QString& from = telemetryEndpointURLString);

// The nine-member event object. Reads (and on first use creates) the install identifier.
QJsonObject makeTelemetryPayload(const QString& event, const QJsonObject& properties,
                                 PreferenceStore& preferences, const QDateTime& now,
                                 const TelemetryBuildInfo& build = TelemetryBuildInfo::current(),
                                 const QStringList& arguments = processArguments());

} // namespace lumatide
