// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

enum class BusyReason { mediaPlayback, meeting, presentation, fullScreenApp };

// Why the machine is busy. A machine that is not busy has no environment at all.
struct BusyEnvironment {
    BusyReason reason = BusyReason::mediaPlayback;

    friend bool operator==(const BusyEnvironment&, const BusyEnvironment&) = default;
};

} // namespace lumatide
