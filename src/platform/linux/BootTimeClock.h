// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/Clock.h"

namespace lumatide {

// The machine's clocks: CLOCK_BOOTTIME, which keeps counting while the machine sleeps and
// ignores changes of the wall clock, and the UTC wall clock.
class BootTimeClock final : public Clock {
public:
    BootTimeClock() = default;

    double monotonicSeconds() const override;
    QDateTime wallNow() const override;
};

} // namespace lumatide
