// SPDX-License-Identifier: GPL-3.0-or-later
#include "sensing/IdleRule.h"

namespace lumatide {

bool shouldResetWorkAfterIdle(double idleSeconds, double threshold) {
    // Any comparison with not-a-number is false, which is what a missing reading should give.
    return idleSeconds >= threshold;
}

} // namespace lumatide
