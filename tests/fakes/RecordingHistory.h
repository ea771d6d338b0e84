// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryEvent.h"
#include "history/HistoryRecorder.h"

#include <vector>

namespace lumatide {

// Remembers every history event in order.
class RecordingHistory final : public HistoryRecorder {
public:
    void record(const HistoryEvent& event) override { events.push_back(event); }

    std::vector<HistoryEvent> events;
};

} // namespace lumatide
