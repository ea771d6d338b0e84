// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the history file: reading never fails on them, every event read writes
// out as a line that reads back the same, and compaction leaves only whole, valid lines of
// the kept days, or the file untouched when nothing was old.
#include "history/HistoryFile.h"
#include "history/HistoryLine.h"
#include "history/HistoryReading.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using namespace lumatide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.jsonl"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            std::abort();
        }
    }
    const HistoryRead before = readHistory(path);
    if (!before.error.isEmpty()) {
        std::abort();
    }
    for (const HistoryEvent& event : before.events) {
        if (parseHistoryLine(historyLine(event)) != event) {
            std::abort();
        }
    }

    const QDate today(2026, 12, 7);
    const int keepDays = 30;
    if (!HistoryFile(path).compact(today, keepDays)) {
        std::abort();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::abort();
    }
    const QByteArray after = file.readAll();
    std::vector<HistoryEvent> kept;
    for (const HistoryEvent& event : before.events) {
        if (historyDay(event) > today.addDays(-keepDays)) {
            kept.push_back(event);
        }
    }
    if (after == bytes) {
        // Untouched is right only when nothing was old.
        if (kept.size() != before.events.size()) {
            std::abort();
        }
        return 0;
    }
    if (!after.isEmpty() && !after.endsWith('\n')) {
        std::abort();
    }
    std::vector<HistoryEvent> read;
    for (const QByteArray& line : after.split('\n').mid(0, after.count('\n'))) {
        std::optional<HistoryEvent> event = parseHistoryLine(line);
        if (!event) {
            std::abort();
        }
        read.push_back(std::move(*event));
    }
    if (read != kept) {
        std::abort();
    }
    return 0;
}
