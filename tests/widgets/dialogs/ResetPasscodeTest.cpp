#include "content/ResetPasscodeTexts.h"
#include "dialogs/AlertIcon.h"
#include "dialogs/ModalAlert.h"
#include "dialogs/ResetPasscodeDialog.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/Passcode.h"
#include "prefs/PreferenceKeys.h"
#include "widgets/dialogs/ArtifactFolder.h"
#include "widgets/dialogs/DialogAnswerer.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

using Answerer = DialogAnswerer;

QString text(const char* key, AppLanguage language) {
    return resetPasscodeText(QLatin1String(key), language);
}

QImage icon(AlertKind kind) {
    return makeAlertIcon(kind, dialogDevicePixelRatio()).toImage();
}

void expectForm(const SeenDialog& seen, AppLanguage language) {
    EXPECT_TRUE(seen.isForm);
    EXPECT_EQ(seen.message, text("title", language));
    EXPECT_EQ(seen.buttons, QStringList({text("ok", language), text("cancel", language)}));
    EXPECT_EQ(seen.defaultButton, text("ok", language));
    // Every attempt starts from a new, empty form.
    EXPECT_EQ(seen.fieldTexts, QStringList({QString(), QString(), QString()}));
    EXPECT_TRUE(seen.fieldsMasked);
    EXPECT_EQ(seen.icon, icon(AlertKind::passcode));
    EXPECT_EQ(seen.modality, Qt::WindowModal);
    EXPECT_FALSE(seen.hasParent);
}

void expectNotice(const SeenDialog& seen, const char* key, AlertKind kind, AppLanguage language) {
    EXPECT_FALSE(seen.isForm);
    EXPECT_EQ(seen.message, text("title", language));
    EXPECT_EQ(seen.informativeText, text(key, language));
    EXPECT_EQ(seen.buttons, QStringList({QStringLiteral("OK")}));
    EXPECT_EQ(seen.icon, icon(kind));
}

TEST(ResetPasscode, RejectedAttemptsAreExplainedUntilTheChangeSucceeds) {
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::french}) {
        SCOPED_TRACE(languageCode(language).toStdString());
        MemoryPreferenceStore preferences;
        setCurrentPasscode(QStringLiteral("tide42"), preferences);
        Answerer answerer({
            Answerer::fillForm(QStringLiteral("tide41"), QStringLiteral("new"),
                               QStringLiteral("new")),
            Answerer::clickButton(0),
            Answerer::fillForm(QStringLiteral("tide42"), QStringLiteral("   "),
                               QStringLiteral("   ")),
            Answerer::clickButton(0),
            Answerer::fillForm(QStringLiteral("tide42"), QStringLiteral("ebb7"),
                               QStringLiteral("ebb8")),
            Answerer::clickButton(0),
            // Entries are trimmed: a current passcode with a trailing space, a new one with
            // spaces around it and a confirmation without them.
            Answerer::fillForm(QStringLiteral("tide42 "), QStringLiteral(" ebb7 "),
                               QStringLiteral("ebb7")),
            Answerer::clickButton(0),
        });
        resetPasscode(preferences, language);

        const std::vector<SeenDialog>& seen = answerer.seen();
        ASSERT_EQ(seen.size(), 8U);
        EXPECT_EQ(answerer.unscripted(), 0);
        for (const std::size_t form : {0U, 2U, 4U, 6U}) {
            expectForm(seen[form], language);
        }
        expectNotice(seen[1], "oldWrong", AlertKind::passcodeWarning, language);
        expectNotice(seen[3], "empty", AlertKind::passcodeWarning, language);
        expectNotice(seen[5], "mismatch", AlertKind::passcodeWarning, language);
        expectNotice(seen[7], "success", AlertKind::passcodeSuccess, language);
        EXPECT_EQ(preferences.string(passcodeKey), QStringLiteral("ebb7"));
    }
}

TEST(ResetPasscode, AWrongCurrentPasscodeIsReportedFirstAndNothingChanges) {
    MemoryPreferenceStore preferences;
    setCurrentPasscode(QStringLiteral("tide42"), preferences);
    Answerer answerer({
        // Wrong current passcode together with empty and with mismatching new fields.
        Answerer::fillForm(QStringLiteral("nope"), QString(), QString()),
        Answerer::clickButton(0),
        Answerer::fillForm(QStringLiteral("nope"), QStringLiteral("a"), QStringLiteral("b")),
        Answerer::clickButton(0),
        Answerer::clickButton(1),
    });
    resetPasscode(preferences, AppLanguage::english);
    ASSERT_EQ(answerer.seen().size(), 5U);
    expectNotice(answerer.seen()[1], "oldWrong", AlertKind::passcodeWarning, AppLanguage::english);
    expectNotice(answerer.seen()[3], "oldWrong", AlertKind::passcodeWarning, AppLanguage::english);
    EXPECT_EQ(answerer.seen()[1].informativeText,
              QStringLiteral("The current passcode is incorrect."));
    EXPECT_EQ(currentPasscode(preferences), QStringLiteral("tide42"));
}

TEST(ResetPasscode, CancellingEndsAtOnceWithoutANotice) {
    MemoryPreferenceStore preferences;
    {
        bool labelsWhole = false;
        Answerer answerer({[&labelsWhole](QDialog& dialog) {
            // The longest German label must show whole, whatever the desktop font.
            int rowLabels = 0;
            labelsWhole = true;
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (label->buddy() != nullptr) {
                    ++rowLabels;
                    labelsWhole = labelsWhole && label->width() >= label->sizeHint().width();
                }
            }
            labelsWhole = labelsWhole && rowLabels == 3;
            Answerer::clickButton(1)(dialog);
        }});
        resetPasscode(preferences, AppLanguage::german);
        EXPECT_TRUE(labelsWhole);
        ASSERT_EQ(answerer.seen().size(), 1U);
        expectForm(answerer.seen()[0], AppLanguage::german);
        EXPECT_EQ(answerer.seen()[0].buttons,
                  QStringList({QStringLiteral("Speichern"), QStringLiteral("Abbrechen")}));
    }
    {
        // Typed values are dropped when the window is closed instead of saved.
        Answerer answerer({[](QDialog& dialog) {
            const QList<QLineEdit*> fields = dialog.findChildren<QLineEdit*>();
            ASSERT_EQ(fields.size(), 3);
            fields[0]->setText(defaultPasscode);
            fields[1]->setText(QStringLiteral("x"));
            fields[2]->setText(QStringLiteral("x"));
            dialog.close();
        }});
        resetPasscode(preferences, AppLanguage::english);
        EXPECT_EQ(answerer.seen().size(), 1U);
    }
    EXPECT_FALSE(preferences.contains(passcodeKey));
    EXPECT_EQ(currentPasscode(preferences), defaultPasscode);
}

TEST(ResetPasscode, TheDefaultAndASpacedStoredPasscodeCanBeReplaced) {
    MemoryPreferenceStore preferences;
    {
        // Nothing stored: the default passcode is the current one.
        Answerer answerer(
            {Answerer::fillForm(defaultPasscode, QStringLiteral("moss"), QStringLiteral("moss")),
             Answerer::clickButton(0)});
        resetPasscode(preferences, AppLanguage::english);
        EXPECT_EQ(preferences.string(passcodeKey), QStringLiteral("moss"));
    }
    // A passcode stored with white space around it (by hand, or by an older version) is
    // matched by typing it as it reads.
    preferences.setString(passcodeKey, QStringLiteral("  moss\t"));
    Answerer answerer(
        {Answerer::fillForm(QStringLiteral("moss"), QStringLiteral("fern"), QStringLiteral("fern")),
         Answerer::clickButton(0)});
    resetPasscode(preferences, AppLanguage::english);
    ASSERT_EQ(answerer.seen().size(), 2U);
    expectNotice(answerer.seen()[1], "success", AlertKind::passcodeSuccess, AppLanguage::english);
    EXPECT_EQ(preferences.string(passcodeKey), QStringLiteral("fern"));
}

TEST(ResetPasscode, PicturesOfTheFormAndItsNotices) {
    MemoryPreferenceStore preferences;
    const auto keep = [](const QString& name, Answerer::Answer next) {
        return [name, next](QDialog& dialog) {
            dialog.grab().save(dialogArtifactPath(name));
            next(dialog);
        };
    };
    {
        Answerer answerer({
            keep(QStringLiteral("passcode-form-en.png"),
                 Answerer::fillForm(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("y"))),
            keep(QStringLiteral("passcode-notice-wrong-en.png"), Answerer::clickButton(0)),
            Answerer::clickButton(1),
            keep(QStringLiteral("passcode-form-de.png"), Answerer::clickButton(1)),
        });
        resetPasscode(preferences, AppLanguage::english);
        resetPasscode(preferences, AppLanguage::german);
        EXPECT_EQ(answerer.seen().size(), 4U);
        EXPECT_EQ(answerer.unscripted(), 0);
    }
    Answerer success(
        {Answerer::fillForm(defaultPasscode, QStringLiteral("y"), QStringLiteral("y")),
         keep(QStringLiteral("passcode-notice-success-ja.png"), Answerer::clickButton(0))});
    resetPasscode(preferences, AppLanguage::japanese);
    EXPECT_EQ(success.seen().size(), 2U);
}

} // namespace
} // namespace lumatide
