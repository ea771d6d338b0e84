// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/BootTimeClock.h"

#include <ctime>

namespace lumatide {

double BootTimeClock::monotonicSeconds() const {
    timespec now{};
    // CLOCK_BOOTTIME exists on every kernel the program supports; CLOCK_MONOTONIC (which
    // stops during suspend) is only a last resort.
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        clock_gettime(CLOCK_MONOTONIC, &now);
    }
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1.0e9;
}

QDateTime BootTimeClock::wallNow() const {
    return QDateTime::currentDateTimeUtc();
}

} // namespace lumatide
