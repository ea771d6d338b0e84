// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

// After this long without input the user counts as away, and work starts afresh.
inline constexpr double idleResetThresholdSeconds = 600.0;

// True when the user has been idle for at least the threshold; false when either is NaN.
bool shouldResetWorkAfterIdle(double idleSeconds, double threshold = idleResetThresholdSeconds);

} // namespace lumatide
