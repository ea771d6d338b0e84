#pragma once

#include "sensing/BusyProbe.h"

#include <optional>

namespace lumatide {

// Reports the environment the test set (not busy until then) and counts how often it was
// asked, since a real probe is costly and must only run at the end of a work period.
class FakeBusyProbe final : public BusyProbe {
public:
    std::optional<BusyEnvironment> currentBusyEnvironment() override {
        ++callCount_;
        return environment_;
    }

    void setBusy(BusyReason reason) { environment_ = BusyEnvironment{reason}; }
    void setNotBusy() { environment_.reset(); }
    int callCount() const { return callCount_; }

private:
    std::optional<BusyEnvironment> environment_;
    int callCount_ = 0;
};

} // namespace lumatide
