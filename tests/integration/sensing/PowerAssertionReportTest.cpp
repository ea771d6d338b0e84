// The power-assertion report and the busy probe against fake desktop services on a private
// session bus (run under dbus-run-session).
#include "linux/PowerAssertionReport.h"

#include "FakeDBusService.h"
#include "linux/LinuxBusyProbe.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;
using namespace std::chrono_literals;

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

using KdeInhibitions = QList<std::pair<QString, QString>>;

// State a test changes while a fake answers from its own thread.
template <typename T> class Shared {
public:
    explicit Shared(T value) : value_(std::move(value)) {}
    void set(T value) {
        const QMutexLocker lock(&mutex_);
        value_ = std::move(value);
    }
    T get() const {
        const QMutexLocker lock(&mutex_);
        return value_;
    }

private:
    mutable QMutex mutex_;
    T value_;
};

QDBusConnection noBus() {
    return QDBusConnection(QStringLiteral("no such bus"));
}

PowerAssertionReport
sessionReport(std::chrono::milliseconds budget = PowerAssertionReport::defaultBudget) {
    return PowerAssertionReport(QDBusConnection::sessionBus(), noBus(), budget);
}

// A busy probe that sees only the session bus: no programs, no windows.
class ProbeWithoutProgramsOrWindows {
public:
    ProbeWithoutProgramsOrWindows()
        : probe_(sessionReport(), emptyProc_.path(), getuid(), nullptr) {}
    std::optional<BusyReason> reason() {
        const auto environment = probe_.currentBusyEnvironment();
        return environment ? std::optional(environment->reason) : std::nullopt;
    }

private:
    QTemporaryDir emptyProc_;
    LinuxBusyProbe probe_;
};

// A media player: PlaybackStatus on the Player interface, Identity on the root interface.
FakeDBusService::Handler mediaPlayer(std::shared_ptr<Shared<QString>> status, QString identity) {
    return [status, identity](const QDBusMessage& call) -> std::optional<QList<QVariant>> {
        const QList<QVariant> arguments = call.arguments();
        if (call.member() != QLatin1String("Get") || arguments.size() != 2) {
            return QList<QVariant>{};
        }
        if (arguments[1].toString() == QLatin1String("PlaybackStatus")) {
            return FakeDBusService::propertyReply(status->get());
        }
        return FakeDBusService::propertyReply(identity);
    };
}

struct GnomeInhibitor {
    QString appId;
    QString reason;
    uint flags = 0;
};

// GNOME's session manager with its inhibitor objects /org/gnome/SessionManager/Inhibitor<N>.
FakeDBusService::Handler
gnomeSessionManager(std::shared_ptr<Shared<QList<GnomeInhibitor>>> inhibitors) {
    return [inhibitors](const QDBusMessage& call) -> std::optional<QList<QVariant>> {
        const QList<GnomeInhibitor> held = inhibitors->get();
        const QString prefix = QStringLiteral("/org/gnome/SessionManager/Inhibitor");
        if (call.member() == QLatin1String("GetInhibitors")) {
            QList<QDBusObjectPath> paths;
            for (qsizetype i = 0; i < held.size(); ++i) {
                paths.append(QDBusObjectPath(prefix + QString::number(i)));
            }
            return QList<QVariant>{QVariant::fromValue(paths)};
        }
        const qsizetype index = call.path().mid(prefix.size()).toInt();
        if (!call.path().startsWith(prefix) || index >= held.size()) {
            return QList<QVariant>{};
        }
        if (call.member() == QLatin1String("GetFlags")) {
            return QList<QVariant>{QVariant::fromValue(held[index].flags)};
        }
        if (call.member() == QLatin1String("GetAppId")) {
            return QList<QVariant>{held[index].appId};
        }
        return QList<QVariant>{held[index].reason};
    };
}

FakeDBusService::Handler neverAnswers() {
    return [](const QDBusMessage&) -> std::optional<QList<QVariant>> { return std::nullopt; };
}

} // namespace

TEST(PowerAssertionReportOnBus, MediaPlayerCountsOnlyWhilePlaying) {
    auto status = std::make_shared<Shared<QString>>(QStringLiteral("Paused"));
    const FakeDBusService player(QStringLiteral("org.mpris.MediaPlayer2.fakeplayer"),
                                 QStringLiteral("/org/mpris/MediaPlayer2"),
                                 mediaPlayer(status, QStringLiteral("Fake Player")));
    ASSERT_TRUE(player.isServing());
    ProbeWithoutProgramsOrWindows probe;

    EXPECT_EQ(sessionReport().text(), QString());
    EXPECT_EQ(probe.reason(), std::nullopt);

    status->set(QStringLiteral("Playing"));
    EXPECT_EQ(sessionReport().text(), QStringLiteral("audio playing: Fake Player"));
    EXPECT_EQ(probe.reason(), BusyReason::mediaPlayback);

    status->set(QStringLiteral("Stopped"));
    EXPECT_EQ(sessionReport().text(), QString());
    EXPECT_EQ(probe.reason(), std::nullopt);
}

TEST(PowerAssertionReportOnBus, GnomeIdleInhibitorTakenAndReleased) {
    auto inhibitors = std::make_shared<Shared<QList<GnomeInhibitor>>>(QList<GnomeInhibitor>{});
    const FakeDBusService manager(QStringLiteral("org.gnome.SessionManager"),
                                  QStringLiteral("/org/gnome/SessionManager"),
                                  gnomeSessionManager(inhibitors));
    ASSERT_TRUE(manager.isServing());
    ProbeWithoutProgramsOrWindows probe;
    EXPECT_EQ(probe.reason(), std::nullopt);

    // A suspend-only inhibitor (flag 4) keeps the screen free to blank: it is not reported.
    const GnomeInhibitor backup{QStringLiteral("org.example.Backup"),
                                QStringLiteral("Copying files"), 4};
    inhibitors->set({backup});
    EXPECT_EQ(sessionReport().text(), QString());
    EXPECT_EQ(probe.reason(), std::nullopt);

    inhibitors->set(
        {backup, {QStringLiteral("org.example.Video"), QStringLiteral("Playing a film"), 4 | 8}});
    EXPECT_EQ(
        sessionReport().text(),
        QStringLiteral("PreventUserIdleDisplaySleep named: org.example.Video (Playing a film)"));
    EXPECT_EQ(probe.reason(), BusyReason::mediaPlayback);

    inhibitors->set({});
    EXPECT_EQ(sessionReport().text(), QString());
    EXPECT_EQ(probe.reason(), std::nullopt);
}

TEST(PowerAssertionReportOnBus, LogindCountsOnlyBlockingIdleInhibitors) {
    qDBusRegisterMetaType<LogindInhibitor>();
    qDBusRegisterMetaType<QList<LogindInhibitor>>();
    auto entries = std::make_shared<Shared<QList<LogindInhibitor>>>(QList<LogindInhibitor>{
        // The kind of entries every system holds all the time.
        {QStringLiteral("sleep"), QStringLiteral("NetworkManager"),
         QStringLiteral("NetworkManager needs to turn off networks"), QStringLiteral("delay")},
        {QStringLiteral("handle-power-key:handle-suspend-key"), QStringLiteral("gsd-power"),
         QStringLiteral("GNOME handles the keys"), QStringLiteral("block")},
        {QStringLiteral("idle:sleep"), QStringLiteral("mpv"), QStringLiteral("Paused"),
         QStringLiteral("delay")},
    });
    // logind lives on the system bus; here a second connection to the private bus stands in.
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    const FakeDBusService logind(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        [entries](const QDBusMessage&) -> std::optional<QList<QVariant>> {
            return QList<QVariant>{QVariant::fromValue(entries->get())};
        },
        address);
    ASSERT_TRUE(logind.isServing());
    const auto systemBus = QDBusConnection::connectToBus(address, QStringLiteral("stand-in"));
    const PowerAssertionReport report(noBus(), systemBus);

    EXPECT_EQ(report.text(), QString());

    auto held = entries->get();
    held.append({QStringLiteral("sleep:idle"), QStringLiteral("Slides"),
                 QStringLiteral("Presenting"), QStringLiteral("block"), 1000, 42});
    entries->set(held);
    EXPECT_EQ(report.text(),
              QStringLiteral("PreventUserIdleDisplaySleep named: Slides (Presenting)"));
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
}

TEST(PowerAssertionReportOnBus, KdeScreenInhibitionNamesItsHolders) {
    qDBusRegisterMetaType<std::pair<QString, QString>>();
    qDBusRegisterMetaType<KdeInhibitions>();
    auto screenHeld = std::make_shared<Shared<bool>>(false);
    const FakeDBusService agent(
        QStringLiteral("org.kde.Solid.PowerManagement"),
        QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
        [screenHeld](const QDBusMessage& call) -> std::optional<QList<QVariant>> {
            if (call.member() == QLatin1String("HasInhibition")) {
                // Only the screen-settings kind (4) is held.
                const bool asksScreen = call.arguments().value(0).toUInt() == 4;
                return QList<QVariant>{asksScreen && screenHeld->get()};
            }
            const KdeInhibitions listed{{QStringLiteral("firefox"), QStringLiteral("video")}};
            return QList<QVariant>{
                QVariant::fromValue(screenHeld->get() ? listed : KdeInhibitions{})};
        });
    ASSERT_TRUE(agent.isServing());

    EXPECT_EQ(sessionReport().text(), QString());
    screenHeld->set(true);
    EXPECT_EQ(sessionReport().text(),
              QStringLiteral("PreventUserIdleDisplaySleep named: firefox (video)"));
}

TEST(PowerAssertionReportOnBus, ServicesThatNeverAnswerCountAsNothingWithinTheBound) {
    auto status = std::make_shared<Shared<QString>>(QStringLiteral("Playing"));
    const FakeDBusService hungPlayer(QStringLiteral("org.mpris.MediaPlayer2.hung"),
                                     QStringLiteral("/org/mpris/MediaPlayer2"), neverAnswers());
    const FakeDBusService player(QStringLiteral("org.mpris.MediaPlayer2.fakeplayer"),
                                 QStringLiteral("/org/mpris/MediaPlayer2"),
                                 mediaPlayer(status, QStringLiteral("Fake Player")));
    ASSERT_TRUE(hungPlayer.isServing());
    ASSERT_TRUE(player.isServing());

    // One hung service costs one call's bound; the others still answer.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(sessionReport().text(), QStringLiteral("audio playing: Fake Player"));
    EXPECT_LT(clock.elapsed(), 1000);

    // Several hung services together stay within the whole report's budget.
    status->set(QStringLiteral("Paused"));
    const FakeDBusService hungManager(QStringLiteral("org.gnome.SessionManager"),
                                      QStringLiteral("/org/gnome/SessionManager"), neverAnswers());
    const FakeDBusService hungAgent(QStringLiteral("org.kde.Solid.PowerManagement"),
                                    QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
                                    neverAnswers());
    ProbeWithoutProgramsOrWindows probe;
    clock.restart();
    EXPECT_EQ(probe.reason(), std::nullopt);
    EXPECT_LT(clock.elapsed(), 1800);
}
