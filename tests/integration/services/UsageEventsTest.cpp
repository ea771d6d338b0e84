// SPDX-License-Identifier: GPL-3.0-or-later
// Usage events sent to a local HTTPS server whose certificate is made for this run.
#include "fakes/MemoryPreferenceStore.h"
#include "integration/services/ServicesTestSupport.h"
#include "linux/NetworkUsageEvents.h"
#include "prefs/LanguagePreference.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TelemetryPreferences.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;
using namespace Qt::StringLiterals;
using lumatide::test::LogCapture;
using lumatide::test::readBytes;
using lumatide::test::waitUntil;

namespace {

bool settle(const NetworkUsageEvents& events) {
    return waitUntil([&events] { return events.requestsInFlight() == 0; }, 15000);
}

// A local address with nothing listening on it.
QString refusedEndpoint() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return u"https://127.0.0.1:%1/events"_s.arg(probe.serverPort());
}

} // namespace

TEST(UsageEvents, OnlyHttpsEventsAreSentAndOnlyTheirFailuresLogged) {
    QTemporaryDir directory;
    // A self-signed certificate for the server, which the senders are given as an authority.
    QProcess openssl;
    openssl.setWorkingDirectory(directory.path());
    openssl.start(u"openssl"_s, u"req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                                "-nodes -keyout server.key -out server.pem -days 2 "
                                "-subj /CN=localhost "
                                "-addext subjectAltName=IP:127.0.0.1,DNS:localhost"_s.split(u' '));
    ASSERT_TRUE(openssl.waitForFinished(30000));
    ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
    const auto certificates = QSslCertificate::fromPath(directory.filePath(u"server.pem"_s));
    ASSERT_EQ(certificates.size(), 1);
    const QString record = directory.filePath(u"record.jsonl"_s);
    QProcess server;
    server.start(QStringLiteral(LUMATIDE_PYTHON3),
                 {QStringLiteral(LUMATIDE_SERVICES_TEST_DIR "/event_server.py"),
                  directory.filePath(u"server.pem"_s), directory.filePath(u"server.key"_s),
                  record});
    ASSERT_TRUE(server.waitForReadyRead(15000));
    const QString https = u"https://127.0.0.1:%1/"_s.arg(server.readLine().trimmed().toInt());

    const QString failed = u"Lumatide telemetry failed for app_open: "_s;
    const struct {
        bool enabled;
        QString endpoint;
        bool trusted;
        double minutes;
        QString log; // the start of the only line, or empty for none
    } cases[] = {
        // Switched off, not even the install identifier is made; plain HTTP is never used.
        {false, https + u"events"_s, true, 1, {}},
        {true, u"http"_s + https.mid(5) + u"events"_s, true, 1, {}},
        // Delivered; an HTTP error status counts as delivered too.
        {true, https + u"events"_s, true, 1, {}},
        {true, https + u"status500/events"_s, true, 1, {}},
        {true, refusedEndpoint(), true, 1, failed + u"Connection refused"_s},
        // Without the authority the server is not trusted: the certificate is checked.
        {true, https + u"events"_s, false, 1, failed},
        // JSON has no NaN: nothing is sent rather than something else.
        {true, https + u"events"_s, true, std::numeric_limits<double>::quiet_NaN(),
         u"Lumatide telemetry payload was invalid for event app_open"_s},
    };
    MemoryPreferenceStore preferences;
    setCurrentLanguage(AppLanguage::german, preferences);
    for (const auto& c : cases) {
        LogCapture log;
        setAnonymousTelemetryEnabled(c.enabled, preferences);
        NetworkUsageEvents events(preferences, std::nullopt, c.endpoint,
                                  c.trusted ? certificates : QList<QSslCertificate>{});
        events.send(u"app_open"_s, {{u"minutes"_s, c.minutes}});
        ASSERT_TRUE(settle(events));
        if (!c.enabled) {
            EXPECT_FALSE(preferences.contains(anonymousTelemetryInstallIdKey));
        }
        const QStringList lines = LogCapture::lines();
        if (c.log.isEmpty()) {
            EXPECT_TRUE(lines.isEmpty()) << lines.join(u'\n').toStdString();
            continue;
        }
        ASSERT_EQ(lines.size(), 1) << c.endpoint.toStdString();
        // Each line names its cause.
        EXPECT_TRUE(lines.first().startsWith(c.log) && lines.first().size() > failed.size())
            << lines.first().toStdString();
    }

    // Once the preferences were found unusable, nothing is sent in that run, whatever they say.
    NetworkUsageEvents afterLoss(preferences, std::nullopt, https + u"events"_s, certificates);
    afterLoss.switchOffForThisRun();
    afterLoss.send(u"app_open"_s, {});
    EXPECT_EQ(afterLoss.requestsInFlight(), 0);

    // The two delivered events arrived whole.
    const QList<QByteArray> requests = readBytes(record).trimmed().split('\n');
    ASSERT_EQ(requests.size(), 2);
    const QJsonObject request = QJsonDocument::fromJson(requests.first()).object();
    EXPECT_EQ(request[u"headers"_s][u"content-type"_s], u"application/json"_s);
    const QJsonObject payload =
        QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object();
    EXPECT_EQ(payload[u"event"_s], u"app_open"_s);
    EXPECT_EQ(payload[u"properties"_s], (QJsonObject{{u"minutes"_s, 1}}));
    EXPECT_EQ(payload[u"language"_s], u"de"_s);
    EXPECT_EQ(payload[u"anonymousInstallId"_s],
              preferences.string(anonymousTelemetryInstallIdKey).value_or(u"-"_s));
    server.kill();
    server.waitForFinished();
}

TEST(UsageEvents, RequestsStillRunningAtExitAreAbandonedQuietly) {
    MemoryPreferenceStore preferences;
    LogCapture log;
    const QString refused = refusedEndpoint();
    {
        NetworkUsageEvents leaving(preferences, std::nullopt, refused);
        leaving.send(u"app_open"_s, {});
        EXPECT_EQ(leaving.requestsInFlight(), 1);
    }
    // A later sender's own failure is the only line: the abandoned request wrote nothing.
    NetworkUsageEvents staying(preferences, std::nullopt, refused);
    staying.send(u"break_started"_s, {});
    ASSERT_TRUE(settle(staying));
    EXPECT_EQ(LogCapture::lines(),
              QStringList{u"Lumatide telemetry failed for break_started: Connection refused"_s});
}
