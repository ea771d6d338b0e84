// Idle time in Wayland sessions, from fake compositor idle services on a private session bus.
#include "FakeDBusService.h"
#include "linux/LinuxIdleTimeSource.h"

#include <QAtomicInteger>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    void set(const char* name, const QByteArray& value) {
        if (!saved_.contains(name)) {
            saved_.insert(name, qgetenv(name));
            wasSet_.insert(name, qEnvironmentVariableIsSet(name));
        }
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.cbegin(); it != saved_.cend(); ++it) {
            if (wasSet_.value(it.key())) {
                qputenv(it.key().constData(), it.value());
            } else {
                qunsetenv(it.key().constData());
            }
        }
    }

private:
    QMap<QByteArray, QByteArray> saved_;
    QMap<QByteArray, bool> wasSet_;
};

FakeDBusService::Handler answersMilliseconds(std::shared_ptr<QAtomicInteger<qint64>> ms,
                                             bool asUnsigned32) {
    return [ms, asUnsigned32](const QDBusMessage&) -> std::optional<QList<QVariant>> {
        const qint64 value = ms->loadRelaxed();
        if (asUnsigned32) {
            return QList<QVariant>{QVariant::fromValue(static_cast<uint>(value))};
        }
        return QList<QVariant>{QVariant::fromValue(static_cast<qulonglong>(value))};
    };
}

} // namespace

TEST(IdleTimeOnWayland, GnomeSessionAsksMuttersIdleMonitor) {
    ScopedEnvironment environment;
    environment.set("XDG_SESSION_TYPE", "wayland");
    environment.set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    // An X server reachable from a Wayland session only sees X clients: never ask it.
    environment.set("DISPLAY", ":0");
    LinuxIdleTimeSource source;
    EXPECT_EQ(source.backend(), IdleTimeBackend::gnomeMutter);

    EXPECT_EQ(source.systemIdleSeconds(), std::nullopt); // no compositor answers yet

    auto ms = std::make_shared<QAtomicInteger<qint64>>(1500);
    {
        const FakeDBusService monitor(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                      QStringLiteral("/org/gnome/Mutter/IdleMonitor"),
                                      answersMilliseconds(ms, false));
        ASSERT_TRUE(monitor.isServing());
        EXPECT_EQ(source.systemIdleSeconds(), 1.5);
        ms->storeRelaxed(600000);
        EXPECT_EQ(source.systemIdleSeconds(), 600.0);
        ms->storeRelaxed(0);
        EXPECT_EQ(source.systemIdleSeconds(), 0.0);
    }
    EXPECT_EQ(source.systemIdleSeconds(), std::nullopt); // gone again
}

TEST(IdleTimeOnWayland, KdeSessionAsksTheScreenSaverService) {
    ScopedEnvironment environment;
    environment.set("XDG_SESSION_TYPE", "wayland");
    environment.set("XDG_CURRENT_DESKTOP", "KDE");
    LinuxIdleTimeSource source;
    EXPECT_EQ(source.backend(), IdleTimeBackend::kdeScreenSaver);

    auto ms = std::make_shared<QAtomicInteger<qint64>>(42250);
    const FakeDBusService screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"),
                                      QStringLiteral("/org/freedesktop/ScreenSaver"),
                                      answersMilliseconds(ms, true));
    ASSERT_TRUE(screenSaver.isServing());
    EXPECT_EQ(source.systemIdleSeconds(), 42.25);
}

TEST(IdleTimeOnWayland, OtherCompositorsAndHungMonitorsGiveNothing) {
    ScopedEnvironment environment;
    environment.set("XDG_SESSION_TYPE", "wayland");
    environment.set("XDG_CURRENT_DESKTOP", "sway");
    environment.set("DISPLAY", ":0");
    LinuxIdleTimeSource elsewhere;
    EXPECT_EQ(elsewhere.backend(), IdleTimeBackend::none);
    EXPECT_EQ(elsewhere.systemIdleSeconds(), std::nullopt);

    const FakeDBusService hung(
        QStringLiteral("org.gnome.Mutter.IdleMonitor"),
        QStringLiteral("/org/gnome/Mutter/IdleMonitor"),
        [](const QDBusMessage&) -> std::optional<QList<QVariant>> { return std::nullopt; });
    ASSERT_TRUE(hung.isServing());
    LinuxIdleTimeSource gnome(IdleTimeBackend::gnomeMutter, QDBusConnection::sessionBus());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(gnome.systemIdleSeconds(), std::nullopt);
    EXPECT_LT(clock.elapsed(), 900);
    // The next ticks do not wait for it again.
    clock.restart();
    EXPECT_EQ(gnome.systemIdleSeconds(), std::nullopt);
    EXPECT_EQ(gnome.systemIdleSeconds(), std::nullopt);
    EXPECT_LT(clock.elapsed(), 200);
}
