// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ModalAppDialogs.h"

#include "dialogs/AppAlerts.h"
#include "dialogs/ResetPasscodeDialog.h"

namespace lumatide {

bool ModalAppDialogs::confirmTemporaryQuit(AppLanguage language) {
    return lumatide::confirmTemporaryQuit(language);
}

void ModalAppDialogs::showTemporaryQuitLimit(AppLanguage language) {
    lumatide::showTemporaryQuitLimit(language);
}

void ModalAppDialogs::showManualRestartLimit(AppLanguage language) {
    lumatide::showManualRestartLimit(language);
}

void ModalAppDialogs::showLaunchAtLoginError(const QString& error, AppLanguage language) {
    lumatide::showLaunchAtLoginError(error, language);
}

void ModalAppDialogs::showTemporaryQuitFailure(const QString& reason, AppLanguage language) {
    lumatide::showTemporaryQuitFailure(reason, language);
}

void ModalAppDialogs::showPreferencesProblem(const QString& oldFile, AppLanguage language) {
    lumatide::showPreferencesProblem(oldFile, language);
}

void ModalAppDialogs::resetPasscode(PreferenceStore& preferences, AppLanguage language) {
    lumatide::resetPasscode(preferences, language);
}

} // namespace lumatide
