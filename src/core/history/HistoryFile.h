// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryRecorder.h"

#include <QDate>
#include <QString>

namespace lumatide {

// The record of rests kept in one private file of JSON lines (see HistoryLine.h). Every
// record opens, appends to and closes the file, so a file deleted or moved meanwhile is made
// anew. A record that cannot be kept is reported once on stderr and otherwise ignored.
class HistoryFile final : public HistoryRecorder {
public:
    explicit HistoryFile(QString path);

    // $XDG_STATE_HOME/lumatide/history.jsonl, or under ~/.local/state when that variable does
    // not hold an absolute path.
    static QString standardPath();

    const QString& path() const { return path_; }

    void record(const HistoryEvent& event) override;

    // Keeps the events of the last keepDays days, today included: when the file holds an
    // older line it is rewritten with only the kept lines (damaged ones go too); otherwise it
    // is left untouched. False when the file could not be read or rewritten.
    bool compact(QDate today, int keepDays = 400);

private:
    bool append(const QByteArray& line, QString& error);
    void warnOnce(const QString& reason);

    QString path_;
    bool warned_ = false;
};

} // namespace lumatide
