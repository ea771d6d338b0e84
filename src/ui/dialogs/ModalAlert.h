// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/AlertKind.h"

#include <QString>
#include <memory>

class QDialog;
class QMessageBox;

namespace lumatide {

// The device pixel ratio of the screen a dialog opens on: the one under the pointer, else the
// primary screen.
qreal dialogDevicePixelRatio();

// A new, empty alert with the kind's icon: no parent, window-modal, plain-text messages.
// Every dialog of the program starts from one.
std::unique_ptr<QMessageBox> makeAppAlert(AlertKind kind);

// Sets the alert's message (shown bold) and informative text, both as plain text so that
// text from elsewhere (an error description) is never read as markup.
void setAlertTexts(QMessageBox& alert, const QString& message, const QString& informativeText);

// Runs the dialog's modal loop, brought to the front, and returns its result. The dialog is
// window-modal: with no parent it blocks no other window, so a rest panel that appears while
// it is open still takes typing.
int execDialog(QDialog& dialog);

// A one-button notice; returns when it is dismissed.
void showNotice(AlertKind kind, const QString& message, const QString& informativeText);

} // namespace lumatide
