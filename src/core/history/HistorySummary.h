// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryEvent.h"

#include <QDate>
#include <QtGlobal>
#include <vector>

namespace lumatide {

struct HistoryCounts {
    qint64 rests = 0;
    qint64 endedByTime = 0;
    qint64 endedByPasscode = 0;
    double secondsRested = 0;
    qint64 postponements = 0;
    qint64 idleResets = 0;
    qint64 restarts = 0;
    qint64 quits = 0;

    // Rested time in whole minutes, rounded to the nearest.
    qint64 minutesRested() const;
    void add(const HistoryEvent& event);
    void add(const HistoryCounts& other);
};

struct HistoryDay {
    QDate date;
    HistoryCounts counts;
};

struct HistorySummary {
    std::vector<HistoryDay> days; // oldest first, every day of the window
    HistoryCounts total;
};

// The counts per day for the `days` days up to and including today, each event on the date
// where and when it happened; events outside those days are left out.
HistorySummary summarizeHistory(const std::vector<HistoryEvent>& events, QDate today, int days);

} // namespace lumatide
