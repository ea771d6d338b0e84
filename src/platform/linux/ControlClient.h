// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/LaunchOptions.h"

#include <cstdio>

namespace lumatide {

// Exit statuses of the verbs that talk to the running program.
inline constexpr int controlExitDone = 0;
inline constexpr int controlExitRefused = 1;
inline constexpr int controlExitUsage = 2;
inline constexpr int controlExitNotRunning = 3;

// Carries out --status (with --follow and --json), --start-break and --restart-work-timer
// against the running program over the session bus; needs a QCoreApplication. Messages go
// to err, answers to out. Returns the exit status.
int runControlVerb(const LaunchOptions& options, std::FILE* out, std::FILE* err);

} // namespace lumatide
