// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QString>

namespace lumatide::test {

inline QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Lets queued work run and releases everything handed to deleteLater().
inline void settleEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace lumatide::test
