// SPDX-License-Identifier: GPL-3.0-or-later
// The program's dialogs, answered as a person would: the alerts and the change-passcode form.

#include "content/ResetPasscodeTexts.h"
#include "content/Texts.h"
#include "dialogs/AlertIcon.h"
#include "dialogs/AlertKind.h"
#include "dialogs/AlertSymbols.h"
#include "dialogs/AppAlerts.h"
#include "dialogs/ResetPasscodeDialog.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/Passcode.h"
#include "prefs/PreferenceKeys.h"
#include "widgets/WidgetTestSupport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainterPath>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace lumatide::test {
namespace {

using Answer = std::function<void(QDialog&)>;

// What a person saw in one modal dialog.
struct Seen {
    QString message; // the alert's message, or the form's title
    QString informativeText;
    QStringList buttons; // in the order they were added, the default one marked "*"
    QStringList fields;  // the form's fields, "*" before each masked one
    bool plainText = true;
    bool blocksOthers = true;
};

// Both the message box and the form list their buttons in a button box, the accepting one
// first.
QList<QAbstractButton*> buttons(QDialog& dialog) {
    return dialog.findChild<QDialogButtonBox*>()->buttons();
}

// Answers the modal dialogs shown while it lives, one step of the script each, from inside
// their modal loops as a click would arrive; a dialog beyond the script is rejected, so that a
// faulty program cannot hang the test.
class Answerer final : public QObject {
public:
    explicit Answerer(std::vector<Answer> script) : script_(std::move(script)) {
        qApp->installEventFilter(this);
    }
    ~Answerer() override { qApp->removeEventFilter(this); }
    std::vector<Seen> seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog != nullptr && dialog->isModal()) {
            QTimer::singleShot(0, dialog, [this, dialog] { answer(*dialog); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void answer(QDialog& dialog) {
        Seen shown;
        shown.blocksOthers = dialog.windowModality() != Qt::WindowModal || dialog.parent();
        for (const QAbstractButton* button : buttons(dialog)) {
            const bool preferred = qobject_cast<const QPushButton*>(button)->isDefault();
            shown.buttons << button->text() + (preferred ? s("*") : QString());
        }
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            shown.plainText = shown.plainText &&
                              (label->text().isEmpty() || label->textFormat() == Qt::PlainText);
        }
        for (const QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
            const bool masked = field->echoMode() == QLineEdit::Password;
            shown.fields << (masked ? s("*") : QString()) + field->text();
        }
        if (auto* alert = qobject_cast<QMessageBox*>(&dialog)) {
            shown.message = alert->text();
            shown.informativeText = alert->informativeText();
        } else {
            shown.message = dialog.findChild<QLabel*>(s("titleLabel"))->text();
        }
        seen.push_back(shown);
        if (next_ < script_.size()) {
            script_[next_++](dialog);
        } else {
            dialog.reject();
        }
    }

    std::vector<Answer> script_;
    std::size_t next_ = 0;
};

Answer click(int index) {
    return [index](QDialog& dialog) { buttons(dialog).at(index)->click(); };
}

Answer submit(const char* current, const char* fresh, const char* again) {
    return [current = s(current), fresh, again](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(s("currentPasscodeField"))->setText(current);
        dialog.findChild<QLineEdit*>(s("newPasscodeField"))->setText(s(fresh));
        dialog.findChild<QLineEdit*>(s("confirmPasscodeField"))->setText(s(again));
        click(0)(dialog);
    };
}

TEST(AppAlerts, EachShowsItsTextsAsTheyAreAndBlocksNoOtherWindow) {
    const Texts& texts = Texts::forLanguage(AppLanguage::japanese);
    const QString error = s("Cannot write <b>autostart</b> & <a href=\"x\">y</a>");
    const QStringList ok{s("OK*")};
    const struct {
        std::function<void()> show;
        QString message;
        QString informativeText;
        QStringList buttons;
    } alerts[] = {{[] { confirmTemporaryQuit(AppLanguage::japanese); }, texts.quitConfirmTitle,
                   texts.quitConfirmMessage,
                   QStringList({texts.quitConfirmButton + s("*"), texts.quitCancelButton})},
                  {[] { showTemporaryQuitLimit(AppLanguage::japanese); }, texts.quitLimitTitle,
                   texts.quitLimitMessage, ok},
                  {[] { showManualRestartLimit(AppLanguage::japanese); }, texts.restartLimitTitle,
                   texts.restartLimitMessage, ok},
                  {[&] { showLaunchAtLoginError(error, AppLanguage::japanese); },
                   texts.menuLaunchAtLogin, error, ok},
                  {[&] { showTemporaryQuitFailure(error, AppLanguage::japanese); }, texts.menuQuit,
                   error, ok}};
    for (const auto& alert : alerts) {
        Answerer answerer({click(0)});
        alert.show();
        ASSERT_EQ(answerer.seen.size(), 1U);
        const Seen& seen = answerer.seen.front();
        EXPECT_EQ(seen.message, alert.message);
        EXPECT_EQ(seen.informativeText, alert.informativeText);
        EXPECT_EQ(seen.buttons, alert.buttons);
        EXPECT_TRUE(seen.plainText);
        // Window-modal without a parent: a rest panel that comes meanwhile still takes typing.
        EXPECT_FALSE(seen.blocksOthers);
    }
    // Quitting is confirmed by its button only, not by cancelling or closing.
    for (const auto& [answer, quits] : {std::pair{click(0), true}, std::pair{click(1), false},
                                        std::pair{Answer([](QDialog& d) { d.close(); }), false}}) {
        Answerer answerer({answer});
        EXPECT_EQ(confirmTemporaryQuit(AppLanguage::english), quits);
    }
}

TEST(AlertSymbols, EveryKindHasAnOutlineOfItsOwnInItsSquare) {
    QSet<QString> outlines;
    for (const AlertKind kind : allAlertKinds) {
        const std::optional<QPainterPath> path = alertSymbolPath(symbolName(kind));
        ASSERT_TRUE(path.has_value()) << symbolName(kind).toStdString();
        const QRectF bounds = path->boundingRect();
        EXPECT_TRUE(QRectF(0, 0, alertSymbolSize, alertSymbolSize).contains(bounds));
        EXPECT_GT(bounds.width() * bounds.height(), 100.0);
        outlines.insert(QStringLiteral("%1 %2").arg(path->elementCount()).arg(path->length()));
    }
    EXPECT_EQ(outlines.size(), std::ssize(allAlertKinds));
    EXPECT_FALSE(alertSymbolPath(u"gear").has_value());
}

QString text(const char* key, AppLanguage language = AppLanguage::english) {
    return resetPasscodeText(QLatin1String(key), language);
}

// Every attempt starts from a new form of empty, masked fields.
void expectForm(const Seen& seen, AppLanguage language = AppLanguage::english) {
    EXPECT_EQ(seen.message, text("title", language));
    EXPECT_EQ(seen.buttons, QStringList({text("ok", language) + s("*"), text("cancel", language)}));
    EXPECT_EQ(seen.fields, QStringList({s("*"), s("*"), s("*")}));
    EXPECT_FALSE(seen.blocksOthers);
}

TEST(ResetPasscode, RejectedAttemptsAreExplainedUntilTheChangeSucceeds) {
    // Stored with white space around it (by hand, or by an older version), the passcode is
    // matched as it reads. A wrong current passcode is reported before empty or mismatching
    // new ones. Entries are trimmed: the last attempt has spaces around two of them.
    MemoryPreferenceStore preferences(QJsonObject{{passcodeKey, s("  tide42\t")}});
    Answerer answerer({submit("tide41", "", ""), click(0), submit("nope", "a", "b"), click(0),
                       submit("tide42", "   ", "   "), click(0), submit("tide42", "ebb7", "ebb8"),
                       click(0), submit("tide42 ", " ebb7 ", "ebb7"), click(0)});
    resetPasscode(preferences, AppLanguage::english);
    ASSERT_EQ(answerer.seen.size(), 10U);
    const char* notices[] = {"oldWrong", "oldWrong", "empty", "mismatch", "success"};
    for (std::size_t i = 0; i < 5; ++i) {
        expectForm(answerer.seen[2 * i]);
        EXPECT_EQ(answerer.seen[2 * i + 1].message, text("title"));
        EXPECT_EQ(answerer.seen[2 * i + 1].informativeText, text(notices[i]));
    }
    EXPECT_EQ(preferences.string(passcodeKey), s("ebb7"));
}

TEST(ResetPasscode, CancellingOrClosingChangesNothingAndTheDefaultIsTheFirstPasscode) {
    MemoryPreferenceStore preferences;
    bool labelsWhole = true;
    Answerer answerer({[&labelsWhole](QDialog& dialog) {
                           // The longest German label shows whole, whatever the desktop font.
                           for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                               labelsWhole =
                                   labelsWhole && (label->buddy() == nullptr ||
                                                   label->width() >= label->sizeHint().width());
                           }
                           click(1)(dialog);
                       },
                       [](QDialog& dialog) { dialog.close(); },
                       submit(qUtf8Printable(defaultPasscode), "moss", "moss"), click(0)});
    resetPasscode(preferences, AppLanguage::german);
    resetPasscode(preferences, AppLanguage::english);
    ASSERT_EQ(answerer.seen.size(), 2U);
    expectForm(answerer.seen[0], AppLanguage::german);
    EXPECT_TRUE(labelsWhole);
    EXPECT_FALSE(preferences.contains(passcodeKey));
    resetPasscode(preferences, AppLanguage::english);
    EXPECT_EQ(preferences.string(passcodeKey), s("moss"));
}

} // namespace
} // namespace lumatide::test
