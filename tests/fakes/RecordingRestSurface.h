// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/RestSurface.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace lumatide {

// Remembers every call, and whether panels would be on screen now.
class RecordingRestSurface final : public RestSurface {
public:
    struct Shown {
        BreakAction action;
        AppLanguage language;
    };

    void show(const BreakAction& action, AppLanguage language) override {
        shows.push_back({action, language});
        showing_ = true;
    }
    void hide() override { showing_ = false; }
    void update(std::int64_t remainingSeconds) override { updates.push_back(remainingSeconds); }
    void setUnlockHandler(std::function<void()> handler) override {
        unlockHandler = std::move(handler);
    }

    // What typing the right passcode into a panel does.
    void typeCorrectPasscode() {
        if (showing_ && unlockHandler) {
            unlockHandler();
        }
    }

    bool isShowing() const { return showing_; }

    std::vector<Shown> shows;
    std::vector<std::int64_t> updates;
    std::function<void()> unlockHandler;

private:
    bool showing_ = false;
};

} // namespace lumatide
