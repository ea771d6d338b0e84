// What one idle-time query costs, asked once a second by the break cycle, and what one busy
// check costs at the end of a work period. Run inside a desktop session:
//   tests/e2e/with-x-session.sh <build>/tests/integration/sensing/bench_sensing
#include "FakeDBusService.h"
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <benchmark/benchmark.h>

using namespace lumatide;

namespace {

void x11IdleTime(benchmark::State& state) {
    LinuxIdleTimeSource source(IdleTimeBackend::x11ScreenSaver, QDBusConnection::sessionBus());
    if (!source.systemIdleSeconds()) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.systemIdleSeconds());
    }
}
BENCHMARK(x11IdleTime);

// For comparison: a connection opened for every query.
void x11IdleTimeReconnecting(benchmark::State& state) {
    for (auto _ : state) {
        LinuxIdleTimeSource source(IdleTimeBackend::x11ScreenSaver, QDBusConnection::sessionBus());
        benchmark::DoNotOptimize(source.systemIdleSeconds());
    }
}
BENCHMARK(x11IdleTimeReconnecting);

void mutterIdleTimeOverDBus(benchmark::State& state) {
    const FakeDBusService monitor(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                  QStringLiteral("/org/gnome/Mutter/IdleMonitor"),
                                  [](const QDBusMessage&) -> std::optional<QList<QVariant>> {
                                      return QList<QVariant>{QVariant::fromValue(qulonglong{1234})};
                                  });
    LinuxIdleTimeSource source(IdleTimeBackend::gnomeMutter, QDBusConnection::sessionBus());
    if (!source.systemIdleSeconds()) {
        state.SkipWithError("no session bus");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.systemIdleSeconds());
    }
}
BENCHMARK(mutterIdleTimeOverDBus);

// The whole busy check of this session: bus services, /proc, the active window.
void busyCheck(benchmark::State& state) {
    LinuxBusyProbe probe;
    for (auto _ : state) {
        benchmark::DoNotOptimize(probe.currentBusyEnvironment());
    }
}
BENCHMARK(busyCheck)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
