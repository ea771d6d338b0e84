#pragma once

#include "sensing/IdleTimeSource.h"

#include <optional>

namespace lumatide {

// Reports whatever idle time the test set; nothing until then.
class FakeIdleTimeSource final : public IdleTimeSource {
public:
    std::optional<double> systemIdleSeconds() override {
        ++callCount_;
        return idleSeconds_;
    }

    void setIdleSeconds(std::optional<double> seconds) { idleSeconds_ = seconds; }
    int callCount() const { return callCount_; }

private:
    std::optional<double> idleSeconds_;
    int callCount_ = 0;
};

} // namespace lumatide
