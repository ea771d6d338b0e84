// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sensing/BusyEnvironment.h"

#include <optional>

namespace lumatide {

// Whether the machine is busy (media, meeting, presentation, full-screen window) right now.
class BusyProbe {
public:
    virtual ~BusyProbe() = default;

    // Nothing when the machine is not busy. May block briefly: it is asked only when a work
    // period ends.
    virtual std::optional<BusyEnvironment> currentBusyEnvironment() = 0;

protected:
    BusyProbe() = default;
    BusyProbe(const BusyProbe&) = default;
    BusyProbe& operator=(const BusyProbe&) = default;
};

} // namespace lumatide
