// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/TelemetryPayload.h"
#include "system/UsageEvents.h"

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <memory>

class QNetworkAccessManager;

namespace lumatide {

class PreferenceStore;

// Anonymous usage events posted over HTTPS. Each event is one request that is never waited
// for; its outcome only ever reaches the log, and requests still running when the object goes
// away (at exit) are abandoned without a word.
class NetworkUsageEvents final : public UsageEvents {
public:
    // Events carry the forced interface language (the command line's) when there is one.
    // `endpoint` is the text of the events URL (the one fixed at build time unless a test
    // points it elsewhere); `extraCaCertificates` are trusted in addition to the system's.
    NetworkUsageEvents(PreferenceStore& preferences, std::optional<AppLanguage> forcedLanguage,
                       QString endpoint = telemetryEndpoint,
                       QList<QSslCertificate> extraCaCertificates = {});
    ~NetworkUsageEvents() override;
    NetworkUsageEvents(const NetworkUsageEvents&) = delete;
    NetworkUsageEvents& operator=(const NetworkUsageEvents&) = delete;

    void send(const QString& event, const QJsonObject& properties) override;
    // No event at all is sent from now until the program ends, whatever the preference says:
    // when the preferences were lost, the user's choice is unknown.
    void switchOffForThisRun() { switchedOff_ = true; }

    // Requests handed to the network and not yet completed.
    int requestsInFlight() const { return inFlight_; }

    static constexpr int transferTimeoutMs = 60'000;

private:
    PreferenceStore& preferences_;
    std::optional<AppLanguage> forcedLanguage_;
    QString endpoint_;
    QList<QSslCertificate> extraCaCertificates_;
    std::unique_ptr<QNetworkAccessManager> network_;
    int inFlight_ = 0;
    bool switchedOff_ = false;
};

} // namespace lumatide
