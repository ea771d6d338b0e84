// SPDX-License-Identifier: GPL-3.0-or-later
// Idle time, the power-assertion report and the busy probe against fake desktop services on a
// private session bus (run under dbus-run-session).
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"
#include "linux/PowerAssertionReport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;
using namespace Qt::StringLiterals;

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
    QString playback{};
    QList<GnomeInhibitor> gnome{};
    bool kdeScreenHeld = false;
    QList<LogindInhibitor> logind{};
    bool hung = false; // every service but the media player "fakeplayer" hangs
};
QMutex stateLock;
DesktopState desktop;

DesktopState current() {
    const QMutexLocker lock(&stateLock);
    return desktop;
}

void setCurrent(const DesktopState& state) {
    const QMutexLocker lock(&stateLock);
    desktop = state;
}

// A service on a connection of its own whose calls are answered on a worker thread, so the code
// under test may block the main thread while it waits, as it does in the program. The handler
// sees every call to the root path or below and returns the reply, or nothing for a service
// that hangs, as all but one do while the desktop is hung: such calls are only answered when the
// fake goes away.
class FakeService final : public QDBusVirtualObject {
public:
    FakeService(const QString& name, const QString& rootPath,
                std::function<Reply(const QDBusMessage&)> handler, bool hangsWithTheDesktop = true)
        : connection_(name + u"-fake"_s), handler_(std::move(handler)),
          hangs_(hangsWithTheDesktop) {
        thread_.start();
        moveToThread(&thread_);
        // Registered from the worker thread, which then owns whatever registration makes.
        QMetaObject::invokeMethod(
            this,
            [&] {
                auto bus = QDBusConnection::connectToBus(
                    qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), connection_);
                serving = bus.registerVirtualObject(rootPath, this, QDBusConnection::SubPath) &&
                          bus.registerService(name);
            },
            Qt::BlockingQueuedConnection);
    }
    ~FakeService() override {
        thread_.quit();
        thread_.wait(); // no call is handled past this point
        for (const QDBusMessage& call : std::as_const(held_)) {
            QDBusConnection(connection_).send(call.createReply());
        }
        QDBusConnection::disconnectFromBus(connection_);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        if (const Reply reply = hangs_ && current().hung ? std::nullopt : handler_(call)) {
            bus.send(call.createReply(*reply));
        } else {
            held_.append(call);
        }
        return true;
    }

    bool serving = false;

private:
    QString connection_;
    std::function<Reply(const QDBusMessage&)> handler_;
    bool hangs_;
    QThread thread_;
    QList<QDBusMessage> held_;
};

// A media player: PlaybackStatus on the Player interface, Identity on the root interface.
Reply mediaPlayer(const QDBusMessage& call) {
    const bool status = call.arguments().value(1).toString() == "PlaybackStatus"_L1;
    return QList<QVariant>{
        QVariant::fromValue(QDBusVariant(status ? current().playback : u"Fake Player"_s))};
}

// GNOME's session manager with its inhibitor objects /org/gnome/SessionManager/Inhibitor<N>.
Reply gnomeSessionManager(const QDBusMessage& call) {
    const QList<GnomeInhibitor> held = current().gnome;
    const QString prefix = u"/org/gnome/SessionManager/Inhibitor"_s;
    if (call.member() == "GetInhibitors"_L1) {
        QList<QDBusObjectPath> paths;
        for (qsizetype i = 0; i < held.size(); ++i) {
            paths.append(QDBusObjectPath(prefix + QString::number(i)));
        }
        return QList<QVariant>{QVariant::fromValue(paths)};
    }
    const GnomeInhibitor inhibitor = held.value(call.path().mid(prefix.size()).toInt());
    if (call.member() == "GetFlags"_L1) {
        return QList<QVariant>{QVariant::fromValue(inhibitor.flags)};
    }
    return QList<QVariant>{call.member() == "GetAppId"_L1 ? inhibitor.appId : inhibitor.reason};
}

// KDE's policy agent, where only the screen-settings kind (4) of inhibition is ever held.
Reply kdePolicyAgent(const QDBusMessage& call) {
    const bool held = current().kdeScreenHeld;
    if (call.member() == "HasInhibition"_L1) {
        return QList<QVariant>{held && call.arguments().value(0).toUInt() == 4};
    }
    const KdeInhibitions listed{{u"firefox"_s, u"video"_s}};
    return QList<QVariant>{QVariant::fromValue(held ? listed : KdeInhibitions{})};
}

Reply logindManager(const QDBusMessage&) {
    return QList<QVariant>{QVariant::fromValue(current().logind)};
}

} // namespace

TEST(PowerAssertionReportOnBus, ReportsOnlyWhatKeepsTheScreenOnWithinItsBudget) {
    qDBusRegisterMetaType<LogindInhibitor>();
    qDBusRegisterMetaType<QList<LogindInhibitor>>();
    qDBusRegisterMetaType<std::pair<QString, QString>>();
    qDBusRegisterMetaType<KdeInhibitions>();
    const QString players = u"/org/mpris/MediaPlayer2"_s;
    const FakeService player(u"org.mpris.MediaPlayer2.fakeplayer"_s, players, mediaPlayer, false);
    const FakeService other(u"org.mpris.MediaPlayer2.other"_s, players, mediaPlayer);
    const FakeService gnome(u"org.gnome.SessionManager"_s, u"/org/gnome/SessionManager"_s,
                            gnomeSessionManager);
    const FakeService kde(u"org.kde.Solid.PowerManagement"_s,
                          u"/org/kde/Solid/PowerManagement/PolicyAgent"_s, kdePolicyAgent);
    // logind lives on the system bus; here another connection to the private bus stands in.
    const FakeService logind(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                             logindManager);
    for (const FakeService* fake : {&player, &other, &gnome, &kde, &logind}) {
        ASSERT_TRUE(fake->serving);
    }
    const auto systemBus = QDBusConnection::connectToBus(
        qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), u"stand-in"_s);
    // The session's user is 1000 here, whoever runs the test.
    const PowerAssertionReport report(QDBusConnection::sessionBus(), systemBus,
                                      PowerAssertionReport::defaultBudget, 1000);
    QTemporaryDir emptyProc;
    LinuxBusyProbe probe(report, emptyProc.path(), getuid(), nullptr);

    // What every session holds all the time: paused players, a suspend-only (4) inhibitor, and
    // logind entries that only delay, do not touch idle, block only weakly, or belong to
    // another user.
    const DesktopState quiet{
        u"Paused"_s,
        {{u"org.example.Backup"_s, u"Copying files"_s, 4}},
        false,
        {{u"handle-power-key:handle-suspend-key"_s, u"gsd-power"_s, u"Keys"_s, u"block"_s},
         {u"idle:sleep"_s, u"mpv"_s, u"Paused"_s, u"delay"_s, 1000, 42},
         {u"idle"_s, u"Editor"_s, u"Saving"_s, u"block-weak"_s, 1000, 42},
         {u"idle"_s, u"Projector"_s, u"Other user's talk"_s, u"block"_s, 1001, 43}}};
    DesktopState playing = quiet;
    playing.playback = u"Playing"_s;
    DesktopState gnomeVideo = quiet;
    gnomeVideo.gnome.append({u"org.example.Video"_s, u"Playing a film"_s, 4 | 8});
    DesktopState kdeScreen = quiet;
    kdeScreen.kdeScreenHeld = true;
    DesktopState logindIdle = quiet;
    logindIdle.logind.append({u"sleep:idle"_s, u"Slides"_s, u"Presenting"_s, u"block"_s, 1000, 42});
    const QString inhibitor = u"PreventUserIdleDisplaySleep named: "_s;
    const struct {
        DesktopState state;
        QString report;
    } cases[] = {
        {quiet, QString()},
        {playing, u"audio playing: Fake Player\naudio playing: Fake Player"_s},
        {gnomeVideo, inhibitor + u"org.example.Video (Playing a film)"_s},
        {kdeScreen, inhibitor + u"firefox (video)"_s},
        {logindIdle, inhibitor + u"Slides (Presenting)"_s},
    };
    for (const auto& c : cases) {
        setCurrent(c.state);
        EXPECT_EQ(report.text(), c.report);
        const auto busy = probe.currentBusyEnvironment();
        EXPECT_EQ(busy.has_value(), !c.report.isEmpty()) << c.report.toStdString();
        EXPECT_EQ(busy.value_or(BusyEnvironment{}).reason, BusyReason::mediaPlayback);
    }

    // Hung services cost no more than the report's budget, and the others still answer.
    playing.hung = true;
    setCurrent(playing);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(report.text(), u"audio playing: Fake Player"_s);
    EXPECT_LT(clock.elapsed(), 1800);
}

TEST(IdleTimeOnWayland, MutterMonitorAnswersInMillisecondsOrIsLeftAlone) {
    const struct {
        IdleTimeBackend backend;
        QString service;
        QString path;
        bool unsigned32;
    } cases[] = {
        {IdleTimeBackend::gnomeMutter, u"org.gnome.Mutter.IdleMonitor"_s,
         u"/org/gnome/Mutter/IdleMonitor"_s, false},
    };
    for (const auto& c : cases) {
        setCurrent({});
        LinuxIdleTimeSource source(c.backend, QDBusConnection::sessionBus());
        EXPECT_EQ(source.systemIdleSeconds(), std::nullopt); // no compositor answers yet
        std::atomic<qint64> ms = 0;
        const FakeService monitor(c.service, c.path, [&ms, &c](const QDBusMessage&) -> Reply {
            return QList<QVariant>{c.unsigned32 ? QVariant::fromValue(uint(ms))
                                                : QVariant::fromValue(qulonglong(ms))};
        });
        ASSERT_TRUE(monitor.serving);
        for (const qint64 value : {1500, 42250, 0}) {
            ms = value;
            EXPECT_EQ(source.systemIdleSeconds(), value / 1000.0) << c.service.toStdString();
        }

        // A hung monitor costs one call's bound; then it is left alone for a while, even once
        // it answers again.
        setCurrent({.hung = true});
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(source.systemIdleSeconds(), std::nullopt);
        EXPECT_LT(clock.elapsed(), 900);
        setCurrent({});
        clock.restart();
        EXPECT_EQ(source.systemIdleSeconds(), std::nullopt);
        EXPECT_LT(clock.elapsed(), 200);
    }
}
