// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistorySummary.h"

#include "history/HistoryLine.h"

#include <cmath>

namespace lumatide {

qint64 HistoryCounts::minutesRested() const {
    return std::llround(secondsRested / 60);
}

void HistoryCounts::add(const HistoryEvent& event) {
    switch (event.kind) {
    case HistoryEventKind::rest:
        ++rests;
        ++(event.ending == RestEnding::passcode ? endedByPasscode : endedByTime);
        secondsRested += event.restedSeconds;
        break;
    case HistoryEventKind::postponement:
        ++postponements;
        break;
    case HistoryEventKind::idleReset:
        ++idleResets;
        break;
    case HistoryEventKind::restart:
        ++restarts;
        break;
    case HistoryEventKind::temporaryQuit:
        ++quits;
        break;
    }
}

void HistoryCounts::add(const HistoryCounts& other) {
    rests += other.rests;
    endedByTime += other.endedByTime;
    endedByPasscode += other.endedByPasscode;
    secondsRested += other.secondsRested;
    postponements += other.postponements;
    idleResets += other.idleResets;
    restarts += other.restarts;
    quits += other.quits;
}

HistorySummary summarizeHistory(const std::vector<HistoryEvent>& events, QDate today, int days) {
    HistorySummary summary;
    const QDate first = today.addDays(1 - static_cast<qint64>(days));
    for (QDate date = first; date <= today; date = date.addDays(1)) {
        summary.days.push_back({date, {}});
    }
    for (const HistoryEvent& event : events) {
        const qint64 index = first.daysTo(historyDay(event));
        if (historyDay(event).isValid() && index >= 0 && index < days) {
            summary.days[static_cast<std::size_t>(index)].counts.add(event);
        }
    }
    for (const HistoryDay& day : summary.days) {
        summary.total.add(day.counts);
    }
    return summary;
}

} // namespace lumatide
