// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace lumatide {

// The change-passcode form: the passcode icon and title, three masked rows (current, new,
// confirmation) and the save and cancel buttons. Accepted only through the save button (or
// Return); every other way out rejects it. One form serves one attempt.
class PasscodeForm final : public QDialog {
    Q_OBJECT

public:
    explicit PasscodeForm(AppLanguage language);

    // What was typed, untrimmed.
    QString currentEntry() const;
    QString newEntry() const;
    QString confirmationEntry() const;

private:
    QLineEdit* current_;
    QLineEdit* new_;
    QLineEdit* confirmation_;
};

} // namespace lumatide
