// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"
#include "content/BreakAction.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace lumatide {

// Every interface text of one language, plus its activity list and pose steps.
// Format placeholders: "%d" takes an integer, "%@" a string (see formatText).
struct Texts {
    QString menuStartBreakNow;
    QString menuRestartWork;
    QString menuWorkDuration;
    QString menuWorkDurationMinutes;
    QString menuLanguage;
    QString menuLaunchAtLogin;
    QString menuAnonymousUsageStats;
    QString menuQuit;
    QString unlock;
    QString passwordPlaceholder;
    QString incorrectPassword;
    QString warningStartsIn;
    QString warningHint;
    QString sheetTitleWide;
    QString sheetTitleNarrow;
    QString poseNumber;
    QString poseStepPrefix;
    QString busyTitle;
    QString busyMessage;
    QString busyDeferButton;
    QString busyStartButton;
    QString restartLimitTitle;
    QString restartLimitMessage;
    QString quitConfirmTitle;
    QString quitConfirmMessage;
    QString quitConfirmButton;
    QString quitCancelButton;
    QString quitLimitTitle;
    QString quitLimitMessage;
    // The preference file could not be used at start; "%@" is where the old file is.
    QString preferencesProblemTitle;
    QString preferencesProblemMessage;
    QString breatheIn;
    QString hold;
    QString breatheOut;
    std::vector<BreakAction> actions;
    std::map<ActionKind, QStringList> poseInstructions;

    // The complete table of one language. The tables are compiled-in constants; the
    // reference stays valid for the life of the process.
    static const Texts& forLanguage(AppLanguage language);
};

} // namespace lumatide
