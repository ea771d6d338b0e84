// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/WarningSurface.h"

#include <cstdint>
#include <vector>

namespace lumatide {

// Remembers every toast asked for, and whether one would be on screen now.
class RecordingWarningSurface final : public WarningSurface {
public:
    struct Shown {
        std::int64_t remainingSeconds;
        AppLanguage language;
    };

    void show(std::int64_t remainingSeconds, AppLanguage language) override {
        shows.push_back({remainingSeconds, language});
        showing_ = true;
    }
    void hide() override { showing_ = false; }

    bool isShowing() const { return showing_; }

    std::vector<Shown> shows;

private:
    bool showing_ = false;
};

} // namespace lumatide
