// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/PasscodeForm.h"

#include "content/ResetPasscodeTexts.h"
#include "dialogs/AlertIcon.h"
#include "dialogs/ModalAlert.h"
#include "prefs/Passcode.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lumatide {

namespace {

QLineEdit* makeMaskedField(const QString& objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setEchoMode(QLineEdit::Password);
    field->setFixedWidth(180);
    return field;
}

// The label column is 130 wide, or as wide as the longest label needs: the common desktop fonts
// run wider than the form was drawn for, and a label must not be cut off.
int labelColumnWidth(const QStringList& labels) {
    int width = 130;
    for (const QString& label : labels) {
        width = std::max(width, QLabel(label).sizeHint().width());
    }
    return width;
}

// One row: the right-aligned label in the label column, then the field.
QLayout* makePasscodeRow(const QString& label, int labelWidth, QLineEdit* field) {
    auto* caption = new QLabel(label);
    caption->setTextFormat(Qt::PlainText);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setFixedWidth(labelWidth);
    caption->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(caption, 0, Qt::AlignVCenter);
    row->addWidget(field, 0, Qt::AlignVCenter);
    row->addStretch(1);
    return row;
}

} // namespace

PasscodeForm::PasscodeForm(AppLanguage language)
    : current_(makeMaskedField(QStringLiteral("currentPasscodeField"))),
      new_(makeMaskedField(QStringLiteral("newPasscodeField"))),
      confirmation_(makeMaskedField(QStringLiteral("confirmPasscodeField"))) {
    setWindowTitle(QStringLiteral("Lumatide"));

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("alertIcon"));
    icon->setPixmap(makeAlertIcon(AlertKind::passcode, dialogDevicePixelRatio()));
    icon->setFixedSize(static_cast<int>(alertIconSize), static_cast<int>(alertIconSize));

    auto* title = new QLabel(resetPasscodeText(QStringLiteral("title"), language));
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* rows = new QVBoxLayout;
    rows->setSpacing(10);
    rows->setContentsMargins(0, 8, 0, 0);
    const QStringList labels{resetPasscodeText(QStringLiteral("old"), language),
                             resetPasscodeText(QStringLiteral("new"), language),
                             resetPasscodeText(QStringLiteral("confirm"), language)};
    const int labelWidth = labelColumnWidth(labels);
    rows->addLayout(makePasscodeRow(labels[0], labelWidth, current_));
    rows->addLayout(makePasscodeRow(labels[1], labelWidth, new_));
    rows->addLayout(makePasscodeRow(labels[2], labelWidth, confirmation_));

    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(resetPasscodeText(QStringLiteral("ok"), language),
                                           QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveButton"));
    save->setDefault(true);
    QPushButton* cancel = buttons->addButton(resetPasscodeText(QStringLiteral("cancel"), language),
                                             QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* content = new QVBoxLayout;
    content->setSpacing(4);
    content->addWidget(title);
    content->addLayout(rows);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addWidget(icon, 0, Qt::AlignTop);
    body->addLayout(content, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(18);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString PasscodeForm::currentEntry() const {
    return current_->text();
}

QString PasscodeForm::newEntry() const {
    return new_->text();
}

QString PasscodeForm::confirmationEntry() const {
    return confirmation_->text();
}

} // namespace lumatide
