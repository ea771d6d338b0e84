// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>

namespace lumatide {

// Time left for a group of D-Bus calls: each call gets at most callLimit, and none runs past
// the end of the whole budget, so a probe that asks several services stays bounded even when
// several of them hang.
class DBusCallBudget final {
public:
    static constexpr std::chrono::milliseconds callLimit{500};

    explicit DBusCallBudget(std::chrono::milliseconds total)
        : end_(std::chrono::steady_clock::now() + total) {}

    // Milliseconds the next call may wait for its answer; 0 once the budget is spent.
    int nextTimeoutMs() const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end_ - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return 0;
        }
        return static_cast<int>(std::min(left, callLimit).count());
    }

private:
    std::chrono::steady_clock::time_point end_;
};

} // namespace lumatide
