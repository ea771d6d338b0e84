// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

struct HistoryEvent;

// Where the break cycle and the menu commands report what happened. Recording never fails
// towards the caller: a record that cannot be kept costs the record, never a rest.
class HistoryRecorder {
public:
    virtual ~HistoryRecorder() = default;
    virtual void record(const HistoryEvent& event) = 0;
};

} // namespace lumatide
