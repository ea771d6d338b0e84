// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/BreakTiming.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumatide {

namespace {

// The toast appears this long before a break; a work period shorter than that gets a shorter
// lead.
constexpr int lockWarningSeconds = 30;
constexpr int shortWorkWarningSeconds = 5;

} // namespace

QString formatSeconds(std::int64_t seconds, TimerPhase phase) {
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    const QChar letter = phase == TimerPhase::work ? QLatin1Char('W') : QLatin1Char('B');
    return QStringLiteral("%1 %2:%3")
        .arg(letter)
        .arg(static_cast<qlonglong>(s / 60), 2, 10, QLatin1Char('0'))
        .arg(static_cast<qlonglong>(s % 60), 2, 10, QLatin1Char('0'));
}

std::int64_t warningThreshold(double forWorkSeconds) {
    // Written so that not-a-number takes the ordinary 30-second lead.
    if (!(forWorkSeconds <= lockWarningSeconds)) {
        return lockWarningSeconds;
    }
    if (forWorkSeconds < 1.0) {
        return 1;
    }
    const auto whole = static_cast<std::int64_t>(forWorkSeconds);
    return std::min<std::int64_t>(shortWorkWarningSeconds, whole);
}

std::int64_t warningDisplayDuration(std::int64_t forRemainingSeconds) {
    return forRemainingSeconds >= 2 ? forRemainingSeconds : 1;
}

std::int64_t remainingWholeSeconds(double secondsUntilEnd) {
    if (std::isnan(secondsUntilEnd)) {
        return 0;
    }
    const double rounded = std::ceil(secondsUntilEnd);
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (rounded >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (rounded < -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(rounded);
}

} // namespace lumatide
