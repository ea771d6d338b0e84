// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sensing/BusyProbe.h"

#include <optional>

namespace lumatide {

// Reports the environment the test set (not busy until then) and counts how often it was
// asked, since a real probe is costly and must only run at the end of a work period.
class FakeBusyProbe final : public BusyProbe {
public:
    std::optional<BusyEnvironment> currentBusyEnvironment() override {
        ++callCount;
        return environment;
    }
    void setBusy(std::optional<BusyReason> reason) {
        environment = reason ? std::optional(BusyEnvironment{*reason}) : std::nullopt;
    }

    std::optional<BusyEnvironment> environment;
    int callCount = 0;
};

} // namespace lumatide
