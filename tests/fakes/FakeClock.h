// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/Clock.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>
#include <cmath>
#include <utility>

namespace lumatide {

// A clock the test moves by hand. Normally both clocks move together; moving only one of
// them models a wall-clock change (only the wall clock) or a suspend that the wall clock
// does not see, such as a stopped process (only the monotonic clock).
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime wallStart = QDateTime(QDate(2026, 3, 2), QTime(9, 0),
                                                       QTimeZone::utc()),
                       double monotonicStart = 1000.0)
        : wall_(std::move(wallStart)), monotonic_(monotonicStart) {}

    double monotonicSeconds() const override { return monotonic_; }
    QDateTime wallNow() const override { return wall_; }

    void advance(double seconds) {
        advanceMonotonicOnly(seconds);
        advanceWallOnly(seconds);
    }
    void advanceWallOnly(double seconds) {
        wall_ = wall_.addMSecs(static_cast<qint64>(std::llround(seconds * 1000.0)));
    }
    void advanceMonotonicOnly(double seconds) { monotonic_ += seconds; }
    void setWallNow(const QDateTime& wall) { wall_ = wall; }

private:
    QDateTime wall_;
    double monotonic_;
};

} // namespace lumatide
