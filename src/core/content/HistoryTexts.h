// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

// The words of the history report, in one interface language.
struct HistoryTexts {
    QString title;       // "%d" takes the number of days (two or more)
    QString titleOneDay; // the title when the report covers today alone
    QString date;
    QString rests;
    QString endedByTime;
    QString endedByPasscode;
    QString minutesRested;
    QString postponements;
    QString idleResets;
    QString restarts;
    QString quits;
    QString total;

    static HistoryTexts forLanguage(AppLanguage language);
};

} // namespace lumatide
