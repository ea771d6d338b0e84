// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"

#include <QString>
#include <cstdint>

namespace lumatide {

// Where the countdown title goes (the tray icon's tooltip and badge).
class TitleSink {
public:
    virtual ~TitleSink() = default;

    // The title text ("W 29:59") together with what it was made from, so that a badge can be
    // drawn from the phase and the remaining whole seconds.
    virtual void showTitle(const QString& title, TimerPhase phase,
                           std::int64_t remainingSeconds) = 0;

protected:
    TitleSink() = default;
    TitleSink(const TitleSink&) = default;
    TitleSink& operator=(const TitleSink&) = default;
};

} // namespace lumatide
