// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace lumatide {

// The two clocks the break cycle reads. Deadlines and tick gaps use the monotonic one, so
// setting the wall clock never lengthens or shortens a period; day tokens use the wall one.
class Clock {
public:
    virtual ~Clock() = default;

    // Seconds of a clock that keeps counting during suspend and never jumps with the wall
    // clock. Only differences between two readings mean anything.
    virtual double monotonicSeconds() const = 0;
    // The current wall-clock instant.
    virtual QDateTime wallNow() const = 0;

protected:
    Clock() = default;
    Clock(const Clock&) = default;
    Clock& operator=(const Clock&) = default;
};

} // namespace lumatide
