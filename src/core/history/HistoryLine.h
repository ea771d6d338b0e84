// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryEvent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <optional>

namespace lumatide {

// The history file holds one compact JSON object per line, for instance
//   {"event":"rest","at":"2026-12-07T10:15:00+01:00","planned":300,"rested":300,
//    "ended":"time","activity":"Neck stretch"}
// "at" carries the UTC offset of its moment, so the day it counts for never depends on the
// time zone the report is made in.

// The longest a rest may plausibly be planned or last; anything longer is a damaged line.
inline constexpr double maxHistorySeconds = 24 * 60 * 60;

// The event as one line, newline included. Times are kept to the second.
QByteArray historyLine(const HistoryEvent& event);

// The event a line holds; nothing for anything malformed. Keys it does not know are ignored,
// so a later version may add some.
std::optional<HistoryEvent> parseHistoryLine(QByteArrayView line);

// The date the event counts for: the calendar date where and when it happened.
QDate historyDay(const HistoryEvent& event);

} // namespace lumatide
