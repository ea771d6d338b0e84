#include "fakes/MemoryPreferenceStore.h"
#include "integration/services/ServicesTestSupport.h"
#include "linux/NetworkUsageEvents.h"
#include "prefs/LanguagePreference.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/WorkDuration.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

using namespace lumatide;
using lumatide::test::LogCapture;
using lumatide::test::readAll;
using lumatide::test::waitUntil;

namespace {

constexpr int completionTimeoutMs = 15000;

// One HTTPS server with a certificate authority made for this run, shared by the cases.
class UsageEventsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(directory->isValid());
        QProcess makeCa;
        makeCa.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral(LUMATIDE_SERVICES_TEST_DIR "/make-test-ca.sh"), directory->path()});
        ASSERT_TRUE(makeCa.waitForFinished(30000));
        ASSERT_EQ(makeCa.exitCode(), 0) << makeCa.readAllStandardError().toStdString();
        certificates = QSslCertificate::fromPath(directory->filePath(QStringLiteral("ca.pem")));
        ASSERT_EQ(certificates.size(), 1);

        server = std::make_unique<QProcess>();
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString portFile = directory->filePath(QStringLiteral("port"));
        server->start(QStringLiteral(LUMATIDE_PYTHON3),
                      {QStringLiteral(LUMATIDE_SERVICES_TEST_DIR "/event_server.py"),
                       QStringLiteral("--cert"), directory->filePath(QStringLiteral("server.pem")),
                       QStringLiteral("--key"), directory->filePath(QStringLiteral("server.key")),
                       QStringLiteral("--port-file"), portFile, QStringLiteral("--record"),
                       recordPath()});
        ASSERT_TRUE(server->waitForStarted(10000));
        ASSERT_TRUE(waitUntil([&portFile] { return QFile::exists(portFile); }, 15000));
        port = readAll(portFile).toInt();
        ASSERT_GT(port, 0);
    }

    static void TearDownTestSuite() {
        if (server) {
            server->kill();
            server->waitForFinished(5000);
        }
        server.reset();
        directory.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(QSslSocket::supportsSsl()) << "no TLS backend";
        QFile::remove(recordPath());
    }

    static QString recordPath() { return directory->filePath(QStringLiteral("record.jsonl")); }
    static QString endpoint(const QString& path = QStringLiteral("/events")) {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(port).arg(path);
    }

    static QList<QJsonObject> received() {
        QList<QJsonObject> requests;
        const QList<QByteArray> lines = readAll(recordPath()).split('\n');
        for (const QByteArray& line : lines) {
            if (!line.isEmpty()) {
                requests.append(QJsonDocument::fromJson(line).object());
            }
        }
        return requests;
    }

    static bool settle(const NetworkUsageEvents& events) {
        return waitUntil([&events] { return events.requestsInFlight() == 0; }, completionTimeoutMs);
    }

    static inline std::unique_ptr<QTemporaryDir> directory;
    static inline std::unique_ptr<QProcess> server;
    static inline QList<QSslCertificate> certificates;
    static inline int port = 0;
};

// A local port with nothing listening on it.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

TEST_F(UsageEventsTest, ServerReceivesTheNineMemberPayload) {
    MemoryPreferenceStore preferences;
    setCurrentLanguage(AppLanguage::german, preferences);
    preferences.setDouble(workMinutesKey, 45.0);
    NetworkUsageEvents events(preferences, std::nullopt, endpoint(), certificates);
    LogCapture log;

    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    QJsonObject properties;
    properties.insert(QStringLiteral("action"), QStringLiteral("Trinken"));
    properties.insert(QStringLiteral("minutes"), 45);
    events.send(QStringLiteral("break_started"), properties);
    EXPECT_EQ(events.requestsInFlight(), 1);
    ASSERT_TRUE(settle(events));
    const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);
    EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::lines().join(u'\n').toStdString();

    const QList<QJsonObject> requests = received();
    ASSERT_EQ(requests.size(), 1);
    const QJsonObject request = requests.first();
    EXPECT_EQ(request.value(QStringLiteral("path")).toString(), QStringLiteral("/events"));
    EXPECT_EQ(request.value(QStringLiteral("headers"))[QStringLiteral("content-type")].toString(),
              QStringLiteral("application/json"));

    QJsonParseError error{};
    const QJsonDocument body =
        QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    const QJsonObject payload = body.object();
    EXPECT_EQ(payload.size(), 9);
    EXPECT_EQ(payload.value(QStringLiteral("event")), QJsonValue(QStringLiteral("break_started")));
    const std::optional<QString> installId = preferences.string(anonymousTelemetryInstallIdKey);
    ASSERT_TRUE(installId.has_value());
    EXPECT_EQ(payload.value(QStringLiteral("anonymousInstallId")), QJsonValue(*installId));
    EXPECT_EQ(*installId, installId->toUpper());
    EXPECT_TRUE(payload.value(QStringLiteral("appVersion")).isString());
    EXPECT_FALSE(payload.value(QStringLiteral("appVersion")).toString().isEmpty());
    EXPECT_TRUE(payload.value(QStringLiteral("buildVersion")).isString());
    EXPECT_TRUE(payload.value(QStringLiteral("macOSVersion")).isString());
    EXPECT_EQ(payload.value(QStringLiteral("language")), QJsonValue(QStringLiteral("de")));
    EXPECT_EQ(payload.value(QStringLiteral("workMinutes")), QJsonValue(45.0));
    const QString timestamp = payload.value(QStringLiteral("timestamp")).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"))
                    .match(timestamp)
                    .hasMatch())
        << timestamp.toStdString();
    const QDateTime sentAt = QDateTime::fromString(timestamp, Qt::ISODate);
    EXPECT_TRUE(sentAt >= before && sentAt <= after) << timestamp.toStdString();
    EXPECT_EQ(payload.value(QStringLiteral("properties")).toObject(), properties);
}

TEST_F(UsageEventsTest, NothingIsSentWhenSwitchedOffOrWithoutAUsableEndpoint) {
    LogCapture log;
    MemoryPreferenceStore off;
    setAnonymousTelemetryEnabled(false, off);
    NetworkUsageEvents switchedOff(off, std::nullopt, endpoint(), certificates);
    switchedOff.send(QStringLiteral("app_open"), {});
    EXPECT_EQ(switchedOff.requestsInFlight(), 0);
    EXPECT_FALSE(off.contains(anonymousTelemetryInstallIdKey));

    for (const QString& unusable :
         {QString(), QStringLiteral("http://127.0.0.1:%1/events").arg(port),
          QStringLiteral("HTTPS://127.0.0.1:%1/events").arg(port), QStringLiteral("https:///x")}) {
        MemoryPreferenceStore preferences;
        NetworkUsageEvents events(preferences, std::nullopt, unusable, certificates);
        events.send(QStringLiteral("app_open"), {});
        EXPECT_EQ(events.requestsInFlight(), 0) << unusable.toStdString();
        EXPECT_FALSE(preferences.contains(anonymousTelemetryInstallIdKey));
    }

    // Switched on again, the same sender delivers; the earlier event never arrives.
    setAnonymousTelemetryEnabled(true, off);
    switchedOff.send(QStringLiteral("anonymous_usage_stats_enabled"), {});
    ASSERT_TRUE(settle(switchedOff));
    const QList<QJsonObject> requests = received();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests.first()
                    .value(QStringLiteral("body"))
                    .toString()
                    .contains(QStringLiteral("\"anonymous_usage_stats_enabled\"")));
    EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::lines().join(u'\n').toStdString();
}

TEST_F(UsageEventsTest, OnlyTransportFailuresAreLogged) {
    MemoryPreferenceStore preferences;
    {
        // The server answers 500: delivered as far as the sender cares.
        LogCapture log;
        NetworkUsageEvents events(preferences, std::nullopt,
                                  endpoint(QStringLiteral("/status500/events")), certificates);
        events.send(QStringLiteral("break_completed"), {});
        ASSERT_TRUE(settle(events));
        EXPECT_EQ(received().size(), 1);
        EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::lines().join(u'\n').toStdString();
    }
    {
        LogCapture log;
        NetworkUsageEvents events(preferences, std::nullopt,
                                  QStringLiteral("https://127.0.0.1:%1/events").arg(closedPort()),
                                  certificates);
        events.send(QStringLiteral("app_open"), {});
        ASSERT_TRUE(settle(events));
        ASSERT_EQ(LogCapture::lines().size(), 1);
        EXPECT_EQ(LogCapture::lines().first(),
                  QStringLiteral("Lumatide telemetry failed for app_open: Connection refused"));
    }
    {
        // Without the test authority the server is not trusted: the certificate is checked.
        LogCapture log;
        NetworkUsageEvents events(preferences, std::nullopt, endpoint());
        events.send(QStringLiteral("app_open"), {});
        ASSERT_TRUE(settle(events));
        ASSERT_EQ(LogCapture::lines().size(), 1);
        const QString prefix = QStringLiteral("Lumatide telemetry failed for app_open: ");
        EXPECT_TRUE(LogCapture::lines().first().startsWith(prefix));
        EXPECT_GT(LogCapture::lines().first().size(), prefix.size());
    }
    EXPECT_EQ(received().size(), 1);
}

TEST_F(UsageEventsTest, UnencodablePayloadIsLoggedAndNotSent) {
    MemoryPreferenceStore preferences;
    LogCapture log;
    NetworkUsageEvents events(preferences, std::nullopt, endpoint(), certificates);
    QJsonObject properties;
    properties.insert(QStringLiteral("minutes"), std::numeric_limits<double>::quiet_NaN());
    events.send(QStringLiteral("work_duration_changed"), properties);
    EXPECT_EQ(events.requestsInFlight(), 0);
    EXPECT_EQ(LogCapture::lines(),
              QStringList{QStringLiteral(
                  "Lumatide telemetry payload was invalid for event work_duration_changed")});
}

TEST_F(UsageEventsTest, RequestsStillRunningAtExitAreAbandonedQuietly) {
    MemoryPreferenceStore preferences;
    LogCapture log;
    const QString refused = QStringLiteral("https://127.0.0.1:%1/events").arg(closedPort());
    {
        NetworkUsageEvents leaving(preferences, std::nullopt, refused, certificates);
        leaving.send(QStringLiteral("app_open"), {});
        EXPECT_EQ(leaving.requestsInFlight(), 1);
    }
    // A later sender's own failure is the only line: the abandoned request wrote nothing.
    NetworkUsageEvents staying(preferences, std::nullopt, refused, certificates);
    staying.send(QStringLiteral("break_started"), {});
    ASSERT_TRUE(settle(staying));
    EXPECT_EQ(LogCapture::lines(),
              QStringList{QStringLiteral(
                  "Lumatide telemetry failed for break_started: Connection refused")});
}
