#pragma once

#include "system/LoginItemService.h"

#include <QString>
#include <optional>

namespace lumatide {

// A login item the test can switch on and off, and make fail.
class FakeLoginItemService final : public LoginItemService {
public:
    bool isEnabled() const override { return enabled; }
    std::optional<QString> registerItem() override {
        ++registerCount;
        if (!failure.isEmpty()) {
            return failure;
        }
        enabled = true;
        return std::nullopt;
    }
    std::optional<QString> unregisterItem() override {
        ++unregisterCount;
        if (!failure.isEmpty()) {
            return failure;
        }
        enabled = false;
        return std::nullopt;
    }

    bool enabled = false;
    QString failure; // empty: the change succeeds
    int registerCount = 0;
    int unregisterCount = 0;
};

} // namespace lumatide
