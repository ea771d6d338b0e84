// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sensing/IdleTimeSource.h"

#include <optional>

namespace lumatide {

// Reports whatever idle time the test set (nothing until then) and counts the questions.
class FakeIdleTimeSource final : public IdleTimeSource {
public:
    std::optional<double> systemIdleSeconds() override {
        ++callCount;
        return idleSeconds;
    }

    std::optional<double> idleSeconds;
    int callCount = 0;
};

} // namespace lumatide
