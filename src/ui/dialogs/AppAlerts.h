// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

// The program's modal alerts. Each blocks until the user answers it. They have no parent
// window and block no other window, so a rest panel that appears meanwhile still takes the
// passcode.

// The temporary-quit confirmation; true when the user chose to quit for an hour.
bool confirmTemporaryQuit(AppLanguage language);
// The temporary-quit limit notice.
void showTemporaryQuitLimit(AppLanguage language);
// The restart-limit notice.
void showManualRestartLimit(AppLanguage language);
// Why launch at login could not be changed.
void showLaunchAtLoginError(const QString& error, AppLanguage language);
// Why a confirmed temporary quit did not happen: its relaunch could not be scheduled.
void showTemporaryQuitFailure(const QString& reason, AppLanguage language);
// The preference file could not be used and the defaults are in effect; where the old one is.
void showPreferencesProblem(const QString& oldFile, AppLanguage language);

} // namespace lumatide
