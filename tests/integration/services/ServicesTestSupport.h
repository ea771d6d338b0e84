// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/LogCapture.h"
#include "unit/UnitTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace lumatide::test {

// Runs the event loop until `condition` holds or `timeoutMs` passes; true when it held.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

} // namespace lumatide::test
