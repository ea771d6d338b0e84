// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/NetworkUsageEvents.h"

#include "prefs/LanguagePreference.h"
#include "prefs/TelemetryPreferences.h"
#include "system/TelemetryPayload.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <cmath>
#include <utility>

namespace lumatide {

namespace {

bool isEncodable(const QJsonValue& value);

bool isEncodable(const QJsonObject& object) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!isEncodable(it.value())) {
            return false;
        }
    }
    return true;
}

// JSON has no text for infinities and NaN; Qt would quietly write null in their place and
// send something other than what was meant.
bool isEncodable(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return std::isfinite(value.toDouble());
    case QJsonValue::Object:
        return isEncodable(value.toObject());
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        for (const auto& element : array) {
            if (!isEncodable(element)) {
                return false;
            }
        }
        return true;
    }
    case QJsonValue::Undefined:
        return false;
    default:
        return true;
    }
}

void logLine(const QString& line) {
    qWarning("%s", qUtf8Printable(line));
}

} // namespace

NetworkUsageEvents::NetworkUsageEvents(PreferenceStore& preferences,
                                       std::optional<AppLanguage> forcedLanguage, QString endpoint,
                                       QList<QSslCertificate> extraCaCertificates)
    : preferences_(preferences), forcedLanguage_(forcedLanguage), endpoint_(std::move(endpoint)),
      extraCaCertificates_(std::move(extraCaCertificates)),
      network_(std::make_unique<QNetworkAccessManager>()) {
}

NetworkUsageEvents::~NetworkUsageEvents() {
    // Abandon what is still running: no completion may log anything once the program ends.
    const QList<QNetworkReply*> replies = network_->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        QObject::disconnect(reply, nullptr, nullptr, nullptr);
        reply->abort();
    }
}

void NetworkUsageEvents::send(const QString& event, const QJsonObject& properties) {
    // The switch comes first: with events off not even the install identifier is created.
    if (switchedOff_ || !anonymousTelemetryEnabled(preferences_)) {
        return;
    }
    const std::optional<QUrl> url = telemetryEndpointURL(endpoint_);
    if (!url) {
        return;
    }
    const QJsonObject payload =
        makeTelemetryPayload(event, properties, preferences_, QDateTime::currentDateTimeUtc(),
                             currentLanguage(preferences_, forcedLanguage_));
    const QByteArray body =
        isEncodable(payload) ? QJsonDocument(payload).toJson(QJsonDocument::Compact) : QByteArray();
    if (body.isEmpty()) {
        logLine(QStringLiteral("Lumatide telemetry payload was invalid for event ") + event);
        return;
    }

    QNetworkRequest request(*url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(transferTimeoutMs);
    if (!extraCaCertificates_.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        // Adding certificates alone would switch off the system roots' loading.
        tls.setCaCertificates(QSslConfiguration::systemCaCertificates() + extraCaCertificates_);
        request.setSslConfiguration(tls);
    }

    QNetworkReply* reply = network_->post(request, body);
    ++inFlight_;
    QObject::connect(reply, &QNetworkReply::finished, network_.get(), [this, reply, event] {
        --inFlight_;
        // Any HTTP answer, error statuses included, counts as delivered; only a transport
        // failure (no status at all) is worth a line.
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (reply->error() != QNetworkReply::NoError && !answered) {
            logLine(QStringLiteral("Lumatide telemetry failed for ") + event +
                    QStringLiteral(": ") + reply->errorString());
        }
        reply->deleteLater();
    });
}

} // namespace lumatide
