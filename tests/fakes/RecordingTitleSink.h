// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TitleSink.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace lumatide {

// Remembers every title in order.
class RecordingTitleSink final : public TitleSink {
public:
    struct Title {
        QString text;
        TimerPhase phase;
        std::int64_t remainingSeconds;
    };

    void showTitle(const QString& title, TimerPhase phase, std::int64_t remainingSeconds) override {
        titles.push_back({title, phase, remainingSeconds});
    }
    // The last title shown; empty when none was.
    QString last() const { return titles.empty() ? QString() : titles.back().text; }

    std::vector<Title> titles;
};

} // namespace lumatide
