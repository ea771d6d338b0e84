// Idle time, the power-assertion report and the busy probe against fake desktop services on a
// private session bus (run under dbus-run-session).
#include "FakeDBusService.h"
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"
#include "linux/PowerAssertionReport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;

namespace {

// An entry of logind's ListInhibitors: what, who, why, mode, uid, pid.
struct LogindInhibitor {
    QString what;
    QString who;
    QString why;
    QString mode;
    uint uid = 0;
    uint pid = 0;
};

QDBusArgument& operator<<(QDBusArgument& argument, const LogindInhibitor& entry) {
    argument.beginStructure();
    argument << entry.what << entry.who << entry.why << entry.mode << entry.uid << entry.pid;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, LogindInhibitor& entry) {
    argument.beginStructure();
    argument >> entry.what >> entry.who >> entry.why >> entry.mode >> entry.uid >> entry.pid;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(LogindInhibitor)

namespace {

using Reply = std::optional<QList<QVariant>>;
using KdeInhibitions = QList<std::pair<QString, QString>>;

struct GnomeInhibitor {
    QString appId;
    QString reason;
    uint flags = 0;
};

// What the fake desktop holds. The fakes answer from their own threads, hence the lock.
struct DesktopState {
    QString playback;
    QList<GnomeInhibitor> gnome;
    bool kdeScreenHeld = false;
    QList<LogindInhibitor> logind;
};
QMutex stateLock;
DesktopState desktop;

DesktopState current() {
    const QMutexLocker lock(&stateLock);
    return desktop;
}

// A media player: PlaybackStatus on the Player interface, Identity on the root interface.
Reply mediaPlayer(const QDBusMessage& call) {
    const bool status = call.arguments().value(1).toString() == QLatin1String("PlaybackStatus");
    return FakeDBusService::propertyReply(status ? current().playback
                                                 : QStringLiteral("Fake Player"));
}

// GNOME's session manager with its inhibitor objects /org/gnome/SessionManager/Inhibitor<N>.
Reply gnomeSessionManager(const QDBusMessage& call) {
    const QList<GnomeInhibitor> held = current().gnome;
    const QString prefix = QStringLiteral("/org/gnome/SessionManager/Inhibitor");
    if (call.member() == QLatin1String("GetInhibitors")) {
        QList<QDBusObjectPath> paths;
        for (qsizetype i = 0; i < held.size(); ++i) {
            paths.append(QDBusObjectPath(prefix + QString::number(i)));
        }
        return QList<QVariant>{QVariant::fromValue(paths)};
    }
    const GnomeInhibitor inhibitor = held.value(call.path().mid(prefix.size()).toInt());
    if (call.member() == QLatin1String("GetFlags")) {
        return QList<QVariant>{QVariant::fromValue(inhibitor.flags)};
    }
    return QList<QVariant>{call.member() == QLatin1String("GetAppId") ? inhibitor.appId
                                                                      : inhibitor.reason};
}

// KDE's policy agent, where only the screen-settings kind (4) of inhibition is ever held.
Reply kdePolicyAgent(const QDBusMessage& call) {
    const bool held = current().kdeScreenHeld;
    if (call.member() == QLatin1String("HasInhibition")) {
        return QList<QVariant>{held && call.arguments().value(0).toUInt() == 4};
    }
    const KdeInhibitions listed{{QStringLiteral("firefox"), QStringLiteral("video")}};
    return QList<QVariant>{QVariant::fromValue(held ? listed : KdeInhibitions{})};
}

Reply logindManager(const QDBusMessage&) {
    return QList<QVariant>{QVariant::fromValue(current().logind)};
}

Reply neverAnswers(const QDBusMessage&) {
    return std::nullopt;
}

QDBusConnection noBus() {
    return QDBusConnection(QStringLiteral("no such bus"));
}

} // namespace

TEST(PowerAssertionReportOnBus, ReportsOnlyWhatKeepsTheScreenOn) {
    qDBusRegisterMetaType<LogindInhibitor>();
    qDBusRegisterMetaType<QList<LogindInhibitor>>();
    qDBusRegisterMetaType<std::pair<QString, QString>>();
    qDBusRegisterMetaType<KdeInhibitions>();
    // logind lives on the system bus; here a second connection to the private bus stands in.
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    const FakeDBusService player(QStringLiteral("org.mpris.MediaPlayer2.fakeplayer"),
                                 QStringLiteral("/org/mpris/MediaPlayer2"), mediaPlayer);
    const FakeDBusService gnome(QStringLiteral("org.gnome.SessionManager"),
                                QStringLiteral("/org/gnome/SessionManager"), gnomeSessionManager);
    const FakeDBusService kde(QStringLiteral("org.kde.Solid.PowerManagement"),
                              QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
                              kdePolicyAgent);
    const FakeDBusService logind(QStringLiteral("org.freedesktop.login1"),
                                 QStringLiteral("/org/freedesktop/login1"), logindManager, address);
    for (const FakeDBusService* fake : {&player, &gnome, &kde, &logind}) {
        ASSERT_TRUE(fake->isServing());
    }
    const auto systemBus = QDBusConnection::connectToBus(address, QStringLiteral("stand-in"));
    const PowerAssertionReport report(QDBusConnection::sessionBus(), systemBus);
    QTemporaryDir emptyProc;
    LinuxBusyProbe probe(report, emptyProc.path(), getuid(), nullptr);

    // What every session holds all the time: a paused player, a suspend-only (4) inhibitor, and
    // logind entries that only delay, do not touch idle, or block only weakly.
    const DesktopState quiet{
        QStringLiteral("Paused"),
        {{QStringLiteral("org.example.Backup"), QStringLiteral("Copying files"), 4}},
        false,
        {{QStringLiteral("sleep"), QStringLiteral("NetworkManager"), QStringLiteral("Networks"),
          QStringLiteral("delay")},
         {QStringLiteral("handle-power-key:handle-suspend-key"), QStringLiteral("gsd-power"),
          QStringLiteral("Keys"), QStringLiteral("block")},
         {QStringLiteral("idle:sleep"), QStringLiteral("mpv"), QStringLiteral("Paused"),
          QStringLiteral("delay")},
         {QStringLiteral("idle"), QStringLiteral("Editor"), QStringLiteral("Saving"),
          QStringLiteral("block-weak")}}};
    DesktopState playing = quiet;
    playing.playback = QStringLiteral("Playing");
    DesktopState gnomeVideo = quiet;
    gnomeVideo.gnome.append(
        {QStringLiteral("org.example.Video"), QStringLiteral("Playing a film"), 4 | 8});
    DesktopState kdeScreen = quiet;
    kdeScreen.kdeScreenHeld = true;
    DesktopState logindIdle = quiet;
    logindIdle.logind.append({QStringLiteral("sleep:idle"), QStringLiteral("Slides"),
                              QStringLiteral("Presenting"), QStringLiteral("block"), 1000, 42});
    const QString inhibitor = QStringLiteral("PreventUserIdleDisplaySleep named: ");
    const struct {
        DesktopState state;
        QString report;
    } cases[] = {
        {quiet, QString()},
        {playing, QStringLiteral("audio playing: Fake Player")},
        {gnomeVideo, inhibitor + QStringLiteral("org.example.Video (Playing a film)")},
        {kdeScreen, inhibitor + QStringLiteral("firefox (video)")},
        {logindIdle, inhibitor + QStringLiteral("Slides (Presenting)")},
    };
    for (const auto& c : cases) {
        {
            const QMutexLocker lock(&stateLock);
            desktop = c.state;
        }
        EXPECT_EQ(report.text(), c.report);
        const auto busy = probe.currentBusyEnvironment();
        EXPECT_EQ(busy.has_value(), !c.report.isEmpty()) << c.report.toStdString();
        EXPECT_EQ(busy.value_or(BusyEnvironment{}).reason, BusyReason::mediaPlayback);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
}

TEST(PowerAssertionReportOnBus, HungServicesCostNoMoreThanTheirBound) {
    {
        const QMutexLocker lock(&stateLock);
        desktop.playback = QStringLiteral("Playing");
    }
    const FakeDBusService player(QStringLiteral("org.mpris.MediaPlayer2.fakeplayer"),
                                 QStringLiteral("/org/mpris/MediaPlayer2"), mediaPlayer);
    const FakeDBusService hungPlayer(QStringLiteral("org.mpris.MediaPlayer2.hung"),
                                     QStringLiteral("/org/mpris/MediaPlayer2"), neverAnswers);
    const FakeDBusService hungManager(QStringLiteral("org.gnome.SessionManager"),
                                      QStringLiteral("/org/gnome/SessionManager"), neverAnswers);
    const FakeDBusService hungAgent(QStringLiteral("org.kde.Solid.PowerManagement"),
                                    QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
                                    neverAnswers);
    const FakeDBusService hungMonitor(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                      QStringLiteral("/org/gnome/Mutter/IdleMonitor"),
                                      neverAnswers);
    for (const FakeDBusService* fake :
         {&player, &hungPlayer, &hungManager, &hungAgent, &hungMonitor}) {
        ASSERT_TRUE(fake->isServing());
    }

    // Three hung services stay within the whole report's budget; the others still answer.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(PowerAssertionReport(QDBusConnection::sessionBus(), noBus()).text(),
              QStringLiteral("audio playing: Fake Player"));
    EXPECT_LT(clock.elapsed(), 1800);

    // A hung idle monitor costs one call's bound, and the next ticks do not wait for it again.
    LinuxIdleTimeSource idle(IdleTimeBackend::gnomeMutter, QDBusConnection::sessionBus());
    clock.restart();
    EXPECT_EQ(idle.systemIdleSeconds(), std::nullopt);
    EXPECT_LT(clock.elapsed(), 900);
    clock.restart();
    EXPECT_EQ(idle.systemIdleSeconds(), std::nullopt);
    EXPECT_EQ(idle.systemIdleSeconds(), std::nullopt);
    EXPECT_LT(clock.elapsed(), 200);
}

TEST(IdleTimeOnWayland, CompositorMonitorsAnswerInMilliseconds) {
    const struct {
        IdleTimeBackend backend;
        const char* service;
        const char* path;
        bool unsigned32;
    } cases[] = {
        {IdleTimeBackend::gnomeMutter, "org.gnome.Mutter.IdleMonitor",
         "/org/gnome/Mutter/IdleMonitor", false},
        {IdleTimeBackend::kdeScreenSaver, "org.freedesktop.ScreenSaver",
         "/org/freedesktop/ScreenSaver", true},
    };
    for (const auto& c : cases) {
        LinuxIdleTimeSource source(c.backend, QDBusConnection::sessionBus());
        EXPECT_EQ(source.systemIdleSeconds(), std::nullopt); // no compositor answers yet
        std::atomic<qint64> ms = 0;
        {
            const FakeDBusService monitor(
                QString::fromLatin1(c.service), QString::fromLatin1(c.path),
                [&ms, &c](const QDBusMessage&) -> Reply {
                    return QList<QVariant>{c.unsigned32 ? QVariant::fromValue(uint(ms.load()))
                                                        : QVariant::fromValue(qulonglong(ms))};
                });
            ASSERT_TRUE(monitor.isServing());
            for (const qint64 value : {1500, 42250, 600000, 0}) {
                ms = value;
                EXPECT_EQ(source.systemIdleSeconds(), value / 1000.0) << c.service;
            }
        }
        EXPECT_EQ(source.systemIdleSeconds(), std::nullopt) << c.service; // gone again
    }
}
