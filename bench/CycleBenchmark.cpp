// SPDX-License-Identifier: GPL-3.0-or-later
// What the program does once a second while idle and once per work period:
//   build/<dir>/bench/lumatide_cycle_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
// The break-cycle tick runs on a hand-moved clock, once with preferences in memory and once
// with the preference file the program uses: equal times show that a tick reads no file. The
// busy-probe round reads the real /proc (and asks the session bus, when there is one).

#include "cycle/BreakCycle.h"
#include "cycle/TitleSink.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryPreferenceStore.h"
#include "linux/LinuxBusyProbe.h"
#include "prefs/JsonFilePreferenceStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace lumatide;

namespace {

// Keeps the title as the tray does: a copy of the text when it changed.
class KeptTitle final : public TitleSink {
public:
    void showTitle(const QString& title, TimerPhase /*phase*/,
                   std::int64_t /*remainingSeconds*/) override {
        if (title != title_) {
            title_ = title;
        }
    }

private:
    QString title_;
};

void runTicks(benchmark::State& state, PreferenceStore& store) {
    FakeClock clock;
    KeptTitle title;
    BreakCycle cycle(BreakCycleServices{clock, store, nullptr, nullptr, nullptr, nullptr, &title},
                     30.0 * 60.0, 5.0 * 60.0, false, {});
    cycle.launch();
    for (auto _ : state) {
        clock.advance(1.0);
        cycle.tick();
        if (cycle.remainingSeconds() < 120) {
            // Stay in the plain part of the work period: no toast, no rest.
            state.PauseTiming();
            cycle.startWork();
            state.ResumeTiming();
        }
    }
}

void breakCycleTick(benchmark::State& state) {
    MemoryPreferenceStore store;
    runTicks(state, store);
}

void breakCycleTickWithPreferenceFile(benchmark::State& state) {
    const QTemporaryDir dir;
    JsonFilePreferenceStore store(dir.filePath(QStringLiteral("preferences.json")));
    store.setBool(QStringLiteral("Lumatide.anonymousTelemetryEnabled"), false);
    runTicks(state, store);
}

void busyProbeRound(benchmark::State& state) {
    LinuxBusyProbe probe;
    for (auto _ : state) {
        benchmark::DoNotOptimize(probe.currentBusyEnvironment());
    }
}

void runningProgramsFromProc(benchmark::State& state) {
    const LinuxBusyProbe probe;
    for (auto _ : state) {
        benchmark::DoNotOptimize(probe.runningApplicationNames());
    }
}

} // namespace

BENCHMARK(breakCycleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(breakCycleTickWithPreferenceFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(busyProbeRound)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(runningProgramsFromProc)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the session bus of the busy probe
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
