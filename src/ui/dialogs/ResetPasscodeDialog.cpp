// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ResetPasscodeDialog.h"

#include "content/ResetPasscodeTexts.h"
#include "dialogs/ModalAlert.h"
#include "dialogs/PasscodeForm.h"
#include "prefs/Passcode.h"

namespace lumatide {

namespace {

void showResetPasscodeMessage(const QString& key, AppLanguage language, AlertKind kind) {
    showNotice(kind, resetPasscodeText(QStringLiteral("title"), language),
               resetPasscodeText(key, language));
}

} // namespace

void resetPasscode(PreferenceStore& preferences, AppLanguage language) {
    // Each attempt gets a new, empty form; the loop ends on cancel or after a change.
    for (;;) {
        PasscodeForm form(language);
        if (execDialog(form) != QDialog::Accepted) {
            return;
        }
        const QString current = normalizedPasscode(form.currentEntry());
        const QString fresh = normalizedPasscode(form.newEntry());
        const QString confirmation = normalizedPasscode(form.confirmationEntry());
        // Both sides are trimmed: a passcode stored with surrounding white space (written by
        // hand or by an older version) can still be replaced by typing it as it reads.
        if (current != normalizedPasscode(currentPasscode(preferences))) {
            showResetPasscodeMessage(QStringLiteral("oldWrong"), language,
                                     AlertKind::passcodeWarning);
            continue;
        }
        if (!isValidNewPasscode(fresh)) {
            showResetPasscodeMessage(QStringLiteral("empty"), language, AlertKind::passcodeWarning);
            continue;
        }
        if (fresh != confirmation) {
            showResetPasscodeMessage(QStringLiteral("mismatch"), language,
                                     AlertKind::passcodeWarning);
            continue;
        }
        setCurrentPasscode(fresh, preferences);
        showResetPasscodeMessage(QStringLiteral("success"), language, AlertKind::passcodeSuccess);
        return;
    }
}

} // namespace lumatide
