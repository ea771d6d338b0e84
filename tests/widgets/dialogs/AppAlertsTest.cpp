#include "dialogs/AppAlerts.h"

#include "content/Texts.h"
#include "dialogs/AlertIcon.h"
#include "dialogs/ModalAlert.h"
#include "widgets/dialogs/ArtifactFolder.h"
#include "widgets/dialogs/DialogAnswerer.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

QImage expectedIcon(AlertKind kind) {
    return makeAlertIcon(kind, dialogDevicePixelRatio()).toImage();
}

// What every alert of the program has in common: no parent, blocking no other window.
void expectFreeStanding(const SeenDialog& seen) {
    EXPECT_EQ(seen.modality, Qt::WindowModal);
    EXPECT_FALSE(seen.hasParent);
}

TEST(AppAlerts, TemporaryQuitConfirmationIsTrueOnlyForTheQuitButton) {
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::german}) {
        const Texts& texts = Texts::forLanguage(language);
        SCOPED_TRACE(languageCode(language).toStdString());
        {
            DialogAnswerer answerer({DialogAnswerer::clickButton(0)});
            EXPECT_TRUE(confirmTemporaryQuit(language));
            ASSERT_EQ(answerer.seen().size(), 1U);
            const SeenDialog& seen = answerer.seen().front();
            EXPECT_EQ(seen.message, texts.quitConfirmTitle);
            EXPECT_EQ(seen.informativeText, texts.quitConfirmMessage);
            EXPECT_EQ(seen.buttons, QStringList({texts.quitConfirmButton, texts.quitCancelButton}));
            EXPECT_EQ(seen.defaultButton, texts.quitConfirmButton);
            EXPECT_EQ(seen.icon, expectedIcon(AlertKind::quitConfirm));
            EXPECT_NE(seen.icon, expectedIcon(AlertKind::quitLimit));
            expectFreeStanding(seen);
        }
        {
            DialogAnswerer answerer({DialogAnswerer::clickButton(1)});
            EXPECT_FALSE(confirmTemporaryQuit(language));
            EXPECT_EQ(answerer.seen().size(), 1U);
        }
        {
            // Closing the window is the same as cancelling.
            DialogAnswerer answerer({DialogAnswerer::closeWindow()});
            EXPECT_FALSE(confirmTemporaryQuit(language));
            EXPECT_EQ(answerer.unscripted(), 0);
        }
    }
    // The English words themselves, as the user reads them.
    DialogAnswerer answerer({DialogAnswerer::clickButton(1)});
    confirmTemporaryQuit(AppLanguage::english);
    EXPECT_EQ(answerer.seen().at(0).message, QStringLiteral("Quit for 1 hour?"));
    EXPECT_EQ(answerer.seen().at(0).buttons,
              QStringList({QStringLiteral("Quit for 1 hour"), QStringLiteral("Cancel")}));
}

TEST(AppAlerts, NoticesShowTheirTextsIconAndTheLiteralOk) {
    const QString problem = QStringLiteral("Permission denied");
    struct Notice {
        std::function<void(AppLanguage)> show;
        AlertKind kind;
        std::function<QString(const Texts&)> message;
        std::function<QString(const Texts&)> informative;
    };
    const std::vector<Notice> notices{
        {showTemporaryQuitLimit, AlertKind::quitLimit,
         [](const Texts& t) { return t.quitLimitTitle; },
         [](const Texts& t) { return t.quitLimitMessage; }},
        {showManualRestartLimit, AlertKind::restartLimit,
         [](const Texts& t) { return t.restartLimitTitle; },
         [](const Texts& t) { return t.restartLimitMessage; }},
        {[&](AppLanguage language) { showLaunchAtLoginError(problem, language); },
         AlertKind::launchAtLogin, [](const Texts& t) { return t.menuLaunchAtLogin; },
         [&](const Texts&) { return problem; }},
        {[&](AppLanguage language) { showTemporaryQuitFailure(problem, language); },
         AlertKind::quitLimit, [](const Texts& t) { return t.menuQuit; },
         [&](const Texts&) { return problem; }},
    };
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::japanese}) {
        const Texts& texts = Texts::forLanguage(language);
        for (std::size_t i = 0; i < notices.size(); ++i) {
            SCOPED_TRACE(languageCode(language).toStdString() + " notice " + std::to_string(i));
            DialogAnswerer answerer({DialogAnswerer::clickButton(0)});
            notices[i].show(language);
            ASSERT_EQ(answerer.seen().size(), 1U);
            const SeenDialog& seen = answerer.seen().front();
            EXPECT_EQ(seen.message, notices[i].message(texts));
            EXPECT_EQ(seen.informativeText, notices[i].informative(texts));
            EXPECT_EQ(seen.buttons, QStringList({QStringLiteral("OK")}));
            EXPECT_EQ(seen.icon, expectedIcon(notices[i].kind));
            expectFreeStanding(seen);
        }
    }
    // The launch-at-login error is titled with the menu item's words, not a sentence.
    DialogAnswerer answerer({DialogAnswerer::clickButton(0)});
    showLaunchAtLoginError(problem, AppLanguage::german);
    EXPECT_EQ(answerer.seen().at(0).message, QStringLiteral("Beim Anmelden starten"));
}

TEST(AppAlerts, ErrorDescriptionsAreShownAsTheyAreNotAsMarkup) {
    const QString error = QStringLiteral("Cannot write <b>autostart</b> & <a href=\"x\">y</a>");
    bool shownLiterally = false;
    DialogAnswerer answerer({[&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text() == error) {
                shownLiterally = label->textFormat() == Qt::PlainText;
            }
        }
        DialogAnswerer::clickButton(0)(dialog);
    }});
    showLaunchAtLoginError(error, AppLanguage::english);
    EXPECT_EQ(answerer.seen().at(0).informativeText, error);
    EXPECT_TRUE(shownLiterally);
}

TEST(AppAlerts, AnOpenAlertLetsOtherWindowsTakeTyping) {
    // Stands in for a rest panel that appears while the alert waits for an answer.
    QLineEdit panelField;
    panelField.show();
    QString typedWhileOpen;
    DialogAnswerer answerer({[&](QDialog& dialog) {
        QTest::keyClick(panelField.windowHandle(), Qt::Key_4);
        QTest::keyClick(panelField.windowHandle(), Qt::Key_2);
        typedWhileOpen = panelField.text();
        DialogAnswerer::clickButton(0)(dialog);
    }});
    showManualRestartLimit(AppLanguage::english);
    EXPECT_EQ(typedWhileOpen, QStringLiteral("42"));
    EXPECT_EQ(answerer.seen().size(), 1U);
}

TEST(AppAlerts, PicturesOfEveryAlert) {
    const auto keep = [](const QString& name) {
        return [name](QDialog& dialog) {
            dialog.grab().save(dialogArtifactPath(name));
            DialogAnswerer::clickButton(0)(dialog);
        };
    };
    DialogAnswerer answerer({keep(QStringLiteral("alert-quit-confirm-en.png")),
                             keep(QStringLiteral("alert-quit-limit-en.png")),
                             keep(QStringLiteral("alert-restart-limit-de.png")),
                             keep(QStringLiteral("alert-launch-at-login-error-en.png")),
                             keep(QStringLiteral("alert-quit-failure-ja.png")),
                             keep(QStringLiteral("alert-quit-confirm-zh.png"))});
    confirmTemporaryQuit(AppLanguage::english);
    showTemporaryQuitLimit(AppLanguage::english);
    showManualRestartLimit(AppLanguage::german);
    showLaunchAtLoginError(QStringLiteral("Could not write ~/.config/autostart: Permission denied"),
                           AppLanguage::english);
    showTemporaryQuitFailure(QStringLiteral("systemd-run: Failed to start transient unit"),
                             AppLanguage::japanese);
    confirmTemporaryQuit(AppLanguage::simplifiedChinese);
    EXPECT_EQ(answerer.seen().size(), 6U);
    EXPECT_EQ(answerer.unscripted(), 0);
}

} // namespace
} // namespace lumatide
