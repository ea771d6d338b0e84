#pragma once

#include "system/Relauncher.h"

#include <QString>
#include <optional>

namespace lumatide {

// Counts relaunch requests; fails with the reason the test set.
class FakeRelauncher final : public Relauncher {
public:
    std::optional<QString> scheduleRelaunchAfterTemporaryQuit() override {
        ++requestCount;
        if (failure.has_value()) {
            return failure;
        }
        ++scheduledCount;
        return std::nullopt;
    }

    std::optional<QString> failure;
    int requestCount = 0;
    int scheduledCount = 0;
};

} // namespace lumatide
