// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AppAlerts.h"

#include "content/TextFormat.h"
#include "content/Texts.h"
#include "dialogs/ModalAlert.h"

#include <QMessageBox>
#include <QPushButton>

namespace lumatide {

bool confirmTemporaryQuit(AppLanguage language) {
    const Texts& texts = Texts::forLanguage(language);
    const std::unique_ptr<QMessageBox> alert = makeAppAlert(AlertKind::quitConfirm);
    setAlertTexts(*alert, texts.quitConfirmTitle, texts.quitConfirmMessage);
    QPushButton* quit = alert->addButton(texts.quitConfirmButton, QMessageBox::AcceptRole);
    QPushButton* cancel = alert->addButton(texts.quitCancelButton, QMessageBox::RejectRole);
    alert->setDefaultButton(quit);
    alert->setEscapeButton(cancel);
    execDialog(*alert);
    return alert->clickedButton() == quit;
}

void showTemporaryQuitLimit(AppLanguage language) {
    const Texts& texts = Texts::forLanguage(language);
    showNotice(AlertKind::quitLimit, texts.quitLimitTitle, texts.quitLimitMessage);
}

void showManualRestartLimit(AppLanguage language) {
    const Texts& texts = Texts::forLanguage(language);
    showNotice(AlertKind::restartLimit, texts.restartLimitTitle, texts.restartLimitMessage);
}

void showLaunchAtLoginError(const QString& error, AppLanguage language) {
    showNotice(AlertKind::launchAtLogin, Texts::forLanguage(language).menuLaunchAtLogin, error);
}

void showTemporaryQuitFailure(const QString& reason, AppLanguage language) {
    showNotice(AlertKind::quitLimit, Texts::forLanguage(language).menuQuit, reason);
}

void showPreferencesProblem(const QString& oldFile, AppLanguage language) {
    const Texts& texts = Texts::forLanguage(language);
    showNotice(AlertKind::passcodeWarning, texts.preferencesProblemTitle,
               formatText(texts.preferencesProblemMessage, 0, oldFile));
}

} // namespace lumatide
