// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ModalAlert.h"

#include "common/MainScreen.h"
#include "dialogs/AlertIcon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace lumatide {

namespace {

// The title of one-button notices in every language.
const QString okTitle = QStringLiteral("OK");
constexpr int informativeTextWidth = 300;

} // namespace

qreal dialogDevicePixelRatio() {
    const QScreen* screen = mainScreen();
    return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

std::unique_ptr<QMessageBox> makeAppAlert(AlertKind kind) {
    auto alert = std::make_unique<QMessageBox>();
    alert->setWindowTitle(QStringLiteral("Lumatide"));
    alert->setTextFormat(Qt::PlainText);
    const QPixmap icon = makeAlertIcon(kind, dialogDevicePixelRatio());
    if (icon.isNull()) {
        alert->setIcon(QMessageBox::Information);
    } else {
        alert->setIconPixmap(icon);
    }
    // QMessageBox makes itself application-modal; a window-modal alert without parent blocks
    // nothing else.
    alert->setWindowModality(Qt::WindowModal);
    return alert;
}

void setAlertTexts(QMessageBox& alert, const QString& message, const QString& informativeText) {
    alert.setText(message);
    alert.setInformativeText(informativeText);
    // The message box formats its informative text by guessing; the labels are told instead.
    if (auto* messageLabel = alert.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = messageLabel->font();
        bold.setBold(true);
        messageLabel->setFont(bold);
    }
    if (auto* informativeLabel =
            alert.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informativeLabel->setTextFormat(Qt::PlainText);
        informativeLabel->setOpenExternalLinks(false);
        // A comfortable reading width; the box would otherwise wrap the text in a narrow
        // column.
        informativeLabel->setMinimumWidth(informativeTextWidth);
    }
}

int execDialog(QDialog& dialog) {
    // exec() keeps a modality set beforehand and only falls back to application-modal when
    // none was set, which would block every other window of the program.
    dialog.setWindowModality(Qt::WindowModal);
    // The program has no window in front of its own; bring the dialog there once it is shown.
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
    return dialog.exec();
}

void showNotice(AlertKind kind, const QString& message, const QString& informativeText) {
    const std::unique_ptr<QMessageBox> alert = makeAppAlert(kind);
    setAlertTexts(*alert, message, informativeText);
    QPushButton* ok = alert->addButton(okTitle, QMessageBox::AcceptRole);
    alert->setDefaultButton(ok);
    alert->setEscapeButton(ok);
    execDialog(*alert);
}

} // namespace lumatide
