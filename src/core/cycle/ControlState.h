// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"

#include <QString>
#include <cstdint>

namespace lumatide {

// What the program shows other programs about itself (a status bar, the command line).
struct ControlState {
    TimerPhase phase = TimerPhase::work;
    // Wall-clock end of the current phase, in milliseconds since the epoch.
    std::int64_t phaseEndsAtMs = 0;
    QString title;    // "W 29:59"
    QString activity; // during a rest; empty during work
    std::uint32_t workSeconds = 0;
    QString language; // its code, "en"
    bool launchAtLogin = false;
    bool usageEvents = false;
};

// How a command from another program went.
enum class ControlOutcome {
    done,
    // Refused: it would end or replace the rest that is under way.
    resting,
    // Refused: today's allowance for it is spent.
    dailyLimitReached,
    // Refused: not one of the menu's work lengths.
    invalidWorkLength,
};

struct ControlAnswer {
    ControlOutcome outcome = ControlOutcome::done;
    QString message; // for a refusal, in the interface language
};

} // namespace lumatide
