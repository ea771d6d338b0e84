// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

namespace lumatide {

enum class HistoryEventKind { rest, postponement, idleReset, restart, temporaryQuit };

// How a rest ended: its time ran out, or the passcode was typed.
enum class RestEnding { time, passcode };

// One entry of the local record of rests. Only what the user did and when; nothing here is
// ever sent anywhere.
struct HistoryEvent {
    HistoryEventKind kind = HistoryEventKind::rest;
    // When it happened (a rest: when it started), in the local time of that moment; the day
    // it counts for is the local date then, even after the time zone changes.
    QDateTime at;
    // Rests only.
    double plannedSeconds = 0;
    double restedSeconds = 0;
    RestEnding ending = RestEnding::time;
    QString activity; // the activity's title as it was shown

    friend bool operator==(const HistoryEvent&, const HistoryEvent&) = default;
};

} // namespace lumatide
