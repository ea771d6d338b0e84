// The program's dialogs, answered as a person would: the alerts and the change-passcode form.

#include "content/ResetPasscodeTexts.h"
#include "content/Texts.h"
#include "dialogs/AlertIcon.h"
#include "dialogs/AlertKind.h"
#include "dialogs/AppAlerts.h"
#include "dialogs/ModalAlert.h"
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
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
    QStringList buttons; // in the order they were added
    QString defaultButton;
    QImage icon;
    bool blocksOthers = true;
    QStringList fields; // the form's fields, "*" for each masked one
};

// Both the message box and the form list their buttons in a button box, the accepting one
// first.
std::vector<QAbstractButton*> buttons(QDialog& dialog) {
    const QList<QAbstractButton*> all = dialog.findChild<QDialogButtonBox*>()->buttons();
    return {all.begin(), all.end()};
}

// Answers the modal dialogs shown while it lives, one step of the script each, from inside
// their modal loops as a click would arrive; a dialog beyond the script is rejected, so that a
// faulty program cannot hang the test. Each dialog is kept as a picture too.
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
            shown.buttons << button->text();
            const auto* push = qobject_cast<const QPushButton*>(button);
            shown.defaultButton = push->isDefault() ? push->text() : shown.defaultButton;
        }
        if (auto* alert = qobject_cast<QMessageBox*>(&dialog)) {
            shown.message = alert->text();
            shown.informativeText = alert->informativeText();
            shown.icon = alert->iconPixmap().toImage();
            shown.defaultButton = alert->defaultButton()->text();
        } else {
            shown.message = dialog.findChild<QLabel*>(QStringLiteral("titleLabel"))->text();
            shown.icon = dialog.findChild<QLabel*>(QStringLiteral("alertIcon"))->pixmap().toImage();
            for (const QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
                shown.fields << (field->echoMode() == QLineEdit::Password ? QStringLiteral("*")
                                                                          : QString()) +
                                    field->text();
            }
        }
        seen.push_back(shown);
        saveArtifact(dialog.grab().toImage(),
                     QStringLiteral("%1-%2").arg(
                         QString::fromLatin1(
                             ::testing::UnitTest::GetInstance()->current_test_info()->name()),
                         QString::number(seen.size())));
        if (next_ < script_.size()) {
            script_[next_++](dialog);
        } else {
            dialog.reject();
        }
    }

    std::vector<Answer> script_;
    std::size_t next_ = 0;
};

Answer click(std::size_t index) {
    return [index](QDialog& dialog) { buttons(dialog).at(index)->click(); };
}

void fill(QDialog& dialog, const QString& current, const QString& fresh, const QString& again) {
    dialog.findChild<QLineEdit*>(QStringLiteral("currentPasscodeField"))->setText(current);
    dialog.findChild<QLineEdit*>(QStringLiteral("newPasscodeField"))->setText(fresh);
    dialog.findChild<QLineEdit*>(QStringLiteral("confirmPasscodeField"))->setText(again);
}

Answer submit(const QString& current, const char* fresh, const char* again) {
    return [=](QDialog& dialog) {
        fill(dialog, current, s(fresh), s(again));
        click(0)(dialog);
    };
}

Answer submit(const char* current, const char* fresh, const char* again) {
    return submit(s(current), fresh, again);
}

QImage icon(AlertKind kind) {
    return makeAlertIcon(kind, dialogDevicePixelRatio()).toImage();
}

TEST(AppAlerts, QuitConfirmationIsTrueOnlyForTheQuitButton) {
    const Texts& texts = Texts::forLanguage(AppLanguage::english);
    for (const auto& [answer, quits] : {std::pair{click(0), true}, std::pair{click(1), false},
                                        std::pair{Answer([](QDialog& d) { d.close(); }), false}}) {
        Answerer answerer({answer});
        EXPECT_EQ(confirmTemporaryQuit(AppLanguage::english), quits);
        ASSERT_EQ(answerer.seen.size(), 1U);
        const Seen& seen = answerer.seen.front();
        EXPECT_EQ(seen.message, texts.quitConfirmTitle);
        EXPECT_EQ(seen.informativeText, texts.quitConfirmMessage);
        EXPECT_EQ(seen.buttons, QStringList({texts.quitConfirmButton, texts.quitCancelButton}));
        EXPECT_EQ(seen.defaultButton, texts.quitConfirmButton);
        EXPECT_EQ(seen.icon, icon(AlertKind::quitConfirm));
        EXPECT_FALSE(seen.blocksOthers);
    }
}

TEST(AppAlerts, NoticesShowTheirTextsAndIconWithOneButton) {
    const Texts& texts = Texts::forLanguage(AppLanguage::japanese);
    const QString problem = s("Permission denied");
    const struct {
        std::function<void()> show;
        AlertKind kind;
        QString message;
        QString informativeText;
    } notices[] = {{[] { showTemporaryQuitLimit(AppLanguage::japanese); }, AlertKind::quitLimit,
                    texts.quitLimitTitle, texts.quitLimitMessage},
                   {[] { showManualRestartLimit(AppLanguage::japanese); }, AlertKind::restartLimit,
                    texts.restartLimitTitle, texts.restartLimitMessage},
                   {[&] { showLaunchAtLoginError(problem, AppLanguage::japanese); },
                    AlertKind::launchAtLogin, texts.menuLaunchAtLogin, problem},
                   {[&] { showTemporaryQuitFailure(problem, AppLanguage::japanese); },
                    AlertKind::quitLimit, texts.menuQuit, problem}};
    for (const auto& notice : notices) {
        Answerer answerer({click(0)});
        notice.show();
        ASSERT_EQ(answerer.seen.size(), 1U);
        const Seen& seen = answerer.seen.front();
        EXPECT_EQ(seen.message, notice.message);
        EXPECT_EQ(seen.informativeText, notice.informativeText);
        EXPECT_EQ(seen.buttons, QStringList({s("OK")}));
        EXPECT_EQ(seen.icon, icon(notice.kind));
        EXPECT_FALSE(seen.blocksOthers);
    }
}

TEST(AppAlerts, AnErrorIsShownAsItIsAndOtherWindowsStillTakeTyping) {
    // Stands in for a rest panel that appears while the alert waits for an answer.
    QLineEdit panelField;
    panelField.show();
    const QString error = s("Cannot write <b>autostart</b> & <a href=\"x\">y</a>");
    bool plain = false;
    Answerer answerer({[&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            plain = plain || (label->text() == error && label->textFormat() == Qt::PlainText);
        }
        QTest::keyClick(panelField.windowHandle(), Qt::Key_4);
        QTest::keyClick(panelField.windowHandle(), Qt::Key_2);
        click(0)(dialog);
    }});
    showLaunchAtLoginError(error, AppLanguage::english);
    EXPECT_TRUE(plain);
    EXPECT_EQ(panelField.text(), s("42"));
}

TEST(AlertIcon, EveryKindHasItsOwnIconAtAnyPixelDensity) {
    for (const AlertKind kind : allAlertKinds) {
        const QImage image = icon(kind);
        EXPECT_EQ(std::count_if(allAlertKinds.begin(), allAlertKinds.end(),
                                [&](AlertKind other) { return icon(other) == image; }),
                  1);
    }
    const QPixmap sharp = makeAlertIcon(AlertKind::passcode, 2.0);
    EXPECT_EQ(sharp.size(), QSize(128, 128));
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(64, 64));
    for (const qreal unusable : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(makeAlertIcon(AlertKind::general, unusable).size(), QSize(64, 64));
    }
}

QString text(const char* key, AppLanguage language = AppLanguage::english) {
    return resetPasscodeText(QLatin1String(key), language);
}

void expectForm(const Seen& seen, AppLanguage language = AppLanguage::english) {
    EXPECT_EQ(seen.message, text("title", language));
    EXPECT_EQ(seen.buttons, QStringList({text("ok", language), text("cancel", language)}));
    EXPECT_EQ(seen.defaultButton, text("ok", language));
    // Every attempt starts from a new, empty form of masked fields.
    EXPECT_EQ(seen.fields, QStringList({s("*"), s("*"), s("*")}));
    EXPECT_EQ(seen.icon, icon(AlertKind::passcode));
    EXPECT_FALSE(seen.blocksOthers);
}

void expectNotice(const Seen& seen, const char* key, AlertKind kind) {
    EXPECT_EQ(seen.message, text("title"));
    EXPECT_EQ(seen.informativeText, text(key));
    EXPECT_EQ(seen.icon, icon(kind));
}

TEST(ResetPasscode, RejectedAttemptsAreExplainedUntilTheChangeSucceeds) {
    MemoryPreferenceStore preferences;
    setCurrentPasscode(s("tide42"), preferences);
    // A wrong current passcode is reported before empty or mismatching new ones. Entries are
    // trimmed: the last attempt has spaces around the current and the new passcode.
    Answerer answerer({submit("tide41", "", ""), click(0), submit("nope", "a", "b"), click(0),
                       submit("tide42", "   ", "   "), click(0), submit("tide42", "ebb7", "ebb8"),
                       click(0), submit("tide42 ", " ebb7 ", "ebb7"), click(0)});
    resetPasscode(preferences, AppLanguage::english);
    const std::vector<Seen>& seen = answerer.seen;
    ASSERT_EQ(seen.size(), 10U);
    for (std::size_t form = 0; form < seen.size(); form += 2) {
        expectForm(seen[form]);
    }
    expectNotice(seen[1], "oldWrong", AlertKind::passcodeWarning);
    expectNotice(seen[3], "oldWrong", AlertKind::passcodeWarning);
    expectNotice(seen[5], "empty", AlertKind::passcodeWarning);
    expectNotice(seen[7], "mismatch", AlertKind::passcodeWarning);
    expectNotice(seen[9], "success", AlertKind::passcodeSuccess);
    EXPECT_EQ(preferences.string(passcodeKey), s("ebb7"));
}

TEST(ResetPasscode, CancellingOrClosingEndsAtOnceAndChangesNothing) {
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
                       [](QDialog& dialog) {
                           fill(dialog, defaultPasscode, s("x"), s("x"));
                           dialog.close();
                       }});
    resetPasscode(preferences, AppLanguage::german);
    resetPasscode(preferences, AppLanguage::english);
    ASSERT_EQ(answerer.seen.size(), 2U);
    expectForm(answerer.seen[0], AppLanguage::german);
    EXPECT_TRUE(labelsWhole);
    EXPECT_FALSE(preferences.contains(passcodeKey));
}

TEST(ResetPasscode, TheDefaultAndASpacedStoredPasscodeCanBeReplaced) {
    MemoryPreferenceStore preferences;
    {
        Answerer answerer({submit(defaultPasscode, "moss", "moss"), click(0)});
        resetPasscode(preferences, AppLanguage::english);
    }
    EXPECT_EQ(preferences.string(passcodeKey), s("moss"));
    // Stored with white space around it (by hand, or by an older version), it is matched by
    // typing it as it reads.
    preferences.setString(passcodeKey, s("  moss\t"));
    Answerer answerer({submit("moss", "fern", "fern"), click(0)});
    resetPasscode(preferences, AppLanguage::english);
    EXPECT_EQ(preferences.string(passcodeKey), s("fern"));
}

} // namespace
} // namespace lumatide::test
