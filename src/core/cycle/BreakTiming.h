// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"

#include <QString>
#include <cstdint>

namespace lumatide {

// Longest period the program accepts, so that every remaining time, title and minute count
// fits comfortably in 64-bit integers (about 31 years).
inline constexpr double maximumPeriodSeconds = 1.0e9;
// The rest length unless the command line sets another.
inline constexpr double defaultRestSeconds = 5.0 * 60.0;

// The status title: "W 29:59" while working, "B 04:59" while resting. Negative counts as 0;
// minutes are not limited to two digits.
QString formatSeconds(std::int64_t seconds, TimerPhase phase);

// Seconds before the end of a work period at which the warning toast appears.
std::int64_t warningThreshold(double forWorkSeconds);

// How long the toast stays for a given remaining time: the time itself, at least 1 s.
std::int64_t warningDisplayDuration(std::int64_t forRemainingSeconds);

// Remaining seconds rounded up, saturated into the 64-bit range; 0 or negative once over.
std::int64_t remainingWholeSeconds(double secondsUntilEnd);

} // namespace lumatide
