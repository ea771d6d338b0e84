// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/AutostartService.h"

#include <QString>
#include <optional>

namespace lumatide {

// An autostart entry the test can switch on and off, and make fail.
class FakeAutostartService final : public AutostartService {
public:
    bool isEnabled() const override { return enabled; }
    std::optional<QString> enable() override { return change(true, enableCount); }
    std::optional<QString> disable() override { return change(false, disableCount); }

    bool enabled = false;
    QString failure; // empty: the change succeeds
    int enableCount = 0;
    int disableCount = 0;

private:
    std::optional<QString> change(bool to, int& count) {
        ++count;
        if (!failure.isEmpty()) {
            return failure;
        }
        enabled = to;
        return std::nullopt;
    }
};

} // namespace lumatide
