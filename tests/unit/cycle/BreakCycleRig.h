// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/BreakCycle.h"
#include "fakes/FakeBusyProbe.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeIdleTimeSource.h"
#include "fakes/MemoryPreferenceStore.h"
#include "fakes/RecordingHistory.h"
#include "fakes/RecordingRestSurface.h"
#include "fakes/RecordingTitleSink.h"
#include "fakes/RecordingUsageEvents.h"
#include "fakes/RecordingWarningSurface.h"
#include "prefs/LanguagePreference.h"
#include "unit/UnitTestSupport.h"

#include <memory>

namespace lumatide {

// A launched break cycle wired to fakes, with a fresh in-memory store and English as the
// stored language. Time only moves when the test moves it.
struct BreakCycleRig {
    struct Options {
        double workSeconds = 1800.0;
        double restSeconds = 300.0;
        bool demoWorkSecondsEnabled = false;
        std::optional<AppLanguage> forcedLanguage = std::nullopt;
    };

    BreakCycleRig() : BreakCycleRig(Options{}) {}
    explicit BreakCycleRig(const Options& options) {
        setCurrentLanguage(AppLanguage::english, preferences);
        cycle =
            std::make_unique<BreakCycle>(BreakCycleServices{clock, preferences, &idle, &busy, &rest,
                                                            &warning, &titles, &usage, &history},
                                         options.workSeconds, options.restSeconds,
                                         options.demoWorkSecondsEnabled, options.forcedLanguage);
        cycle->launch();
    }

    // Moves both clocks by the step, then ticks.
    void tickAfter(double step) {
        clock.advance(step);
        cycle->tick();
    }
    // One tick a second.
    void runSeconds(int seconds) {
        for (int second = 0; second < seconds; ++second) {
            tickAfter(1.0);
        }
    }
    // Ticks once a second until the phase is reached: the seconds it took, or -1.
    int secondsUntilPhase(TimerPhase phase, int limitSeconds = 100000) {
        for (int second = 1; second <= limitSeconds; ++second) {
            tickAfter(1.0);
            if (cycle->phase() == phase) {
                return second;
            }
        }
        return -1;
    }
    long completions() const { return usage.names.count(QStringLiteral("break_completed")); }

    FakeClock clock;
    MemoryPreferenceStore preferences;
    FakeIdleTimeSource idle;
    FakeBusyProbe busy;
    RecordingRestSurface rest;
    RecordingWarningSurface warning;
    RecordingTitleSink titles;
    RecordingUsageEvents usage;
    RecordingHistory history;
    std::unique_ptr<BreakCycle> cycle;
};

} // namespace lumatide
