#include "widgets/dialogs/DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace lumatide {

DialogAnswerer::DialogAnswerer(std::vector<Answer> script) : script_(std::move(script)) {
    qApp->installEventFilter(this);
}

DialogAnswerer::~DialogAnswerer() {
    qApp->removeEventFilter(this);
}

bool DialogAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow() && dialog->isModal()) {
            // Answer from inside the dialog's own modal loop, as a click would arrive.
            QTimer::singleShot(0, dialog, [this, dialog] { answer(*dialog); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void DialogAnswerer::answer(QDialog& dialog) {
    seen_.push_back(describe(dialog));
    if (next_ < script_.size()) {
        script_[next_++](dialog);
        return;
    }
    ++unscripted_;
    dialog.reject();
}

std::vector<QAbstractButton*> DialogAnswerer::buttonsOf(QDialog& dialog) {
    // Both the message box and the form keep their buttons in a button box, which lists them
    // by role; the program adds the accepting button first and the rejecting one second.
    std::vector<QAbstractButton*> buttons;
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

SeenDialog DialogAnswerer::describe(QDialog& dialog) {
    SeenDialog seen;
    seen.modality = dialog.windowModality();
    seen.hasParent = dialog.parentWidget() != nullptr;
    for (QAbstractButton* button : buttonsOf(dialog)) {
        seen.buttons << button->text();
        if (auto* push = qobject_cast<QPushButton*>(button); push != nullptr && push->isDefault()) {
            seen.defaultButton = push->text();
        }
    }
    if (auto* alert = qobject_cast<QMessageBox*>(&dialog)) {
        seen.message = alert->text();
        seen.informativeText = alert->informativeText();
        seen.icon = alert->iconPixmap().toImage();
        if (QPushButton* preferred = alert->defaultButton()) {
            seen.defaultButton = preferred->text();
        }
        return seen;
    }
    seen.isForm = true;
    if (auto* title = dialog.findChild<QLabel*>(QStringLiteral("titleLabel"))) {
        seen.message = title->text();
    }
    if (auto* icon = dialog.findChild<QLabel*>(QStringLiteral("alertIcon"))) {
        seen.icon = icon->pixmap().toImage();
    }
    seen.fieldsMasked = true;
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        seen.fieldTexts << field->text();
        seen.fieldsMasked = seen.fieldsMasked && field->echoMode() == QLineEdit::Password;
    }
    return seen;
}

DialogAnswerer::Answer DialogAnswerer::clickButton(int index) {
    return [index](QDialog& dialog) {
        const std::vector<QAbstractButton*> buttons = buttonsOf(dialog);
        if (index < 0 || static_cast<std::size_t>(index) >= buttons.size()) {
            dialog.reject();
            return;
        }
        buttons[static_cast<std::size_t>(index)]->click();
    };
}

DialogAnswerer::Answer DialogAnswerer::closeWindow() {
    return [](QDialog& dialog) { dialog.close(); };
}

DialogAnswerer::Answer DialogAnswerer::fillForm(const QString& current, const QString& fresh,
                                                const QString& confirmation) {
    return [current, fresh, confirmation](QDialog& dialog) {
        const auto setField = [&dialog](const char* name, const QString& text) {
            if (auto* field = dialog.findChild<QLineEdit*>(QLatin1String(name))) {
                field->setText(text);
            }
        };
        setField("currentPasscodeField", current);
        setField("newPasscodeField", fresh);
        setField("confirmPasscodeField", confirmation);
        clickButton(0)(dialog);
    };
}

} // namespace lumatide
