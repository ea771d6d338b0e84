#pragma once

#include "cycle/BreakCycle.h"
#include "fakes/FakeBusyProbe.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeIdleTimeSource.h"
#include "fakes/MemoryPreferenceStore.h"
#include "fakes/RecordingRestSurface.h"
#include "fakes/RecordingTitleSink.h"
#include "fakes/RecordingUsageEvents.h"
#include "fakes/RecordingWarningSurface.h"
#include "prefs/LanguagePreference.h"

#include <functional>
#include <memory>

namespace lumatide {

// A break cycle wired to fakes, with a fresh in-memory store and English as the stored
// language. Time only moves when the test moves it.
struct BreakCycleRig {
    struct Options {
        double workSeconds = 1800.0;
        double restSeconds = 300.0;
        bool demoWorkSecondsEnabled = false;
        std::optional<AppLanguage> forcedLanguage = std::nullopt;
        bool launch = true;
    };

    BreakCycleRig() : BreakCycleRig(Options{}) {}
    explicit BreakCycleRig(const Options& options) {
        setCurrentLanguage(AppLanguage::english, preferences);
        cycle =
            std::make_unique<BreakCycle>(BreakCycleServices{.clock = clock,
                                                            .preferences = preferences,
                                                            .idleTime = &idle,
                                                            .busyProbe = &busy,
                                                            .rest = &rest,
                                                            .warning = &warning,
                                                            .title = &titles,
                                                            .usage = &usage},
                                         options.workSeconds, options.restSeconds,
                                         options.demoWorkSecondsEnabled, options.forcedLanguage);
        if (options.launch) {
            cycle->launch();
        }
    }

    // Moves both clocks by the step, then ticks.
    void tickAfter(double step) {
        clock.advance(step);
        cycle->tick();
    }
    // One tick a second for the given number of seconds. The hook runs before each tick with
    // the number of whole seconds elapsed since the run began (1 for the first tick).
    void runSeconds(int seconds, const std::function<void(int)>& beforeTick = {}) {
        for (int second = 1; second <= seconds; ++second) {
            clock.advance(1.0);
            if (beforeTick) {
                beforeTick(second);
            }
            cycle->tick();
        }
    }
    // Ticks once a second until the condition holds; the seconds it took, or -1 when it
    // still does not hold after the limit.
    int runUntil(const std::function<bool()>& condition, int limitSeconds) {
        for (int second = 1; second <= limitSeconds; ++second) {
            clock.advance(1.0);
            cycle->tick();
            if (condition()) {
                return second;
            }
        }
        return -1;
    }
    int secondsUntilPhase(TimerPhase phase, int limitSeconds = 100000) {
        return runUntil([this, phase] { return cycle->phase() == phase; }, limitSeconds);
    }

    FakeClock clock;
    MemoryPreferenceStore preferences;
    FakeIdleTimeSource idle;
    FakeBusyProbe busy;
    RecordingRestSurface rest;
    RecordingWarningSurface warning;
    RecordingTitleSink titles;
    RecordingUsageEvents usage;
    std::unique_ptr<BreakCycle> cycle;
};

} // namespace lumatide
