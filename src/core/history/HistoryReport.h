// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "history/HistorySummary.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTextStream>

namespace lumatide {

// A plain-text table in the language: a title, a header, one row per day (its date and short
// weekday name) and a total row, the numbers right-aligned in terminal columns.
QString historyTable(const HistorySummary& summary, AppLanguage language);

// The same numbers for scripts, in no particular language: {"days":[...],"total":{...}}.
QByteArray historyJson(const HistorySummary& summary);

// Prints the report of the `days` days (1 to 400) up to and including today, read from the
// history file at the path. Returns 0, or 1 after a line on `err` when the file cannot be read.
int printHistory(const QString& path, QDate today, int days, bool json, AppLanguage language,
                 QTextStream& out, QTextStream& err);

} // namespace lumatide
