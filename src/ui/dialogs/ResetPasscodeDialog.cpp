#include "dialogs/ResetPasscodeDialog.h"

#include "dialogs/ModalAlert.h"
#include "dialogs/PasscodeForm.h"
#include "prefs/Passcode.h"

namespace lumatide {

namespace {

void showResetPasscodeMessage(const QString& key, AppLanguage language, CuteAlertKind kind) {
    showNotice(kind, resetPasscodeText(QStringLiteral("title"), language),
               resetPasscodeText(key, language));
}

} // namespace

void resetPasscode(PreferenceStore& defaults, AppLanguage language) {
    // Each attempt gets a new, empty form; the loop ends on cancel or after a change.
    for (;;) {
        PasscodeForm form(language);
        if (runModal(form) != QDialog::Accepted) {
            return;
        }
        const QString current = normalizedPasscode(form.currentEntry());
        const QString fresh = normalizedPasscode(form.newEntry());
        const QString confirmation = normalizedPasscode(form.confirmationEntry());
        // Both sides are trimmed: a passcode stored with surrounding white space (written by
        // hand or by an older version) can still be replaced by typing it as it reads.
        if (current != normalizedPasscode(currentPasscode(defaults))) {
            showResetPasscodeMessage(QStringLiteral("oldWrong"), language,
                                     CuteAlertKind::passcodeWarning);
            continue;
        }
        if (!isValidNewPasscode(fresh)) {
            showResetPasscodeMessage(QStringLiteral("empty"), language,
                                     CuteAlertKind::passcodeWarning);
            continue;
        }
        if (fresh != confirmation) {
            showResetPasscodeMessage(QStringLiteral("mismatch"), language,
                                     CuteAlertKind::passcodeWarning);
            continue;
        }
        setCurrentPasscode(fresh, defaults);
        showResetPasscodeMessage(QStringLiteral("success"), language,
                                 CuteAlertKind::passcodeSuccess);
        return;
    }
}

} // namespace lumatide
