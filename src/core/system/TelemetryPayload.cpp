// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/TelemetryPayload.h"

#include "prefs/TelemetryPreferences.h"
#include "prefs/WorkDuration.h"

#include <QSysInfo>

namespace lumatide {

namespace {

QString orDev(const char* text) {
    const QString value = QString::fromUtf8(text);
    return value.isEmpty() ? QStringLiteral("dev") : value;
}

} // namespace

const QString telemetryEndpoint = QStringLiteral(LUMATIDE_TELEMETRY_ENDPOINT);

TelemetryBuildInfo TelemetryBuildInfo::current() {
    return {orDev(LUMATIDE_VERSION), orDev(LUMATIDE_BUILD_NUMBER), QSysInfo::prettyProductName()};
}

std::optional<QUrl> telemetryEndpointURL(const QString& from) {
    const auto colon = from.indexOf(QLatin1Char(':'));
    if (colon < 0 || QStringView(from).left(colon) != QLatin1String("https")) {
        return std::nullopt;
    }
    const QUrl url(from, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

QJsonObject makeTelemetryPayload(const QString& event, const QJsonObject& properties,
                                 PreferenceStore& preferences, const QDateTime& now,
                                 AppLanguage language, const TelemetryBuildInfo& build) {
    QJsonObject payload;
    payload.insert(QStringLiteral("event"), event);
    payload.insert(QStringLiteral("anonymousInstallId"), anonymousInstallId(preferences));
    payload.insert(QStringLiteral("appVersion"), build.appVersion);
    payload.insert(QStringLiteral("buildVersion"), build.buildVersion);
    // The receiving end knows the member by this name; it carries the system's pretty name.
    payload.insert(QStringLiteral("macOSVersion"), build.osVersion);
    payload.insert(QStringLiteral("language"), languageCode(language));
    payload.insert(QStringLiteral("workMinutes"),
                   savedWorkMinutes(defaultWorkMinutes, preferences));
    // Whole seconds in UTC with the Z suffix: 2027-01-15T08:00:00Z.
    const QDateTime utc = now.toUTC();
    payload.insert(QStringLiteral("timestamp"),
                   utc.addMSecs(-utc.time().msec()).toString(Qt::ISODate));
    payload.insert(QStringLiteral("properties"), properties);
    return payload;
}

} // namespace lumatide
