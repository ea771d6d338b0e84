// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QDateTime>
#include <QString>

namespace lumatide {

// A 12-second in (4 s), hold (3 s), out (5 s) cycle anchored to the wall clock, so every
// panel on every screen shows the same phase at the same moment.
struct BreathingPhase {
    QString text;
    double progress = 0.0; // 0 at the start of breathing in, 1 while holding
};

// Seconds since 2001-01-01 00:00:00 UTC, the breathing cycle's reference instant.
double secondsSinceBreathingReference(const QDateTime& at);

BreathingPhase breathingPhase(const QDateTime& at, AppLanguage language);
// Font size in points, 20 to 34, eased with a smoothstep of the progress.
double smoothBreathingFontSize(const QDateTime& at);

} // namespace lumatide
