#pragma once

#include "cycle/Constants.h"

namespace lumatide {

// True when the user has been idle for at least the threshold; false when either is NaN.
bool shouldResetWorkAfterIdle(double idleSeconds, double threshold = idleResetThresholdSeconds);

} // namespace lumatide
