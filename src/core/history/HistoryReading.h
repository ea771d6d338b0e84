// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryEvent.h"

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

namespace lumatide {

// No event needs nearly this much; a longer line is damage and is passed over unread.
inline constexpr qsizetype maxHistoryLineBytes = 64 * 1024;

struct HistoryRead {
    std::vector<HistoryEvent> events; // in the order of the file
    QString error;                    // why the file could not be read; empty when it could
};

// Hands each line of the file, without its newline, to `visit`, reading a piece at a time so
// that the file's size does not matter. A last line without a newline is handed over too;
// lines longer than maxHistoryLineBytes are not. A missing file has no lines. False, with
// the reason, when the file is not a regular file or cannot be read.
bool forEachHistoryLine(const QString& path, const std::function<void(QByteArrayView)>& visit,
                        QString& error);

// The events of the file; torn or malformed lines are skipped.
HistoryRead readHistory(const QString& path);

} // namespace lumatide
