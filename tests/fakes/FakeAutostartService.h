#pragma once

#include "system/AutostartService.h"

#include <QString>
#include <optional>

namespace lumatide {

// An autostart entry the test can switch on and off, and make fail.
class FakeAutostartService final : public AutostartService {
public:
    bool isEnabled() const override { return enabled; }
    std::optional<QString> enable() override {
        ++enableCount;
        if (!failure.isEmpty()) {
            return failure;
        }
        enabled = true;
        return std::nullopt;
    }
    std::optional<QString> disable() override {
        ++disableCount;
        if (!failure.isEmpty()) {
            return failure;
        }
        enabled = false;
        return std::nullopt;
    }

    bool enabled = false;
    QString failure; // empty: the change succeeds
    int enableCount = 0;
    int disableCount = 0;
};

} // namespace lumatide
