#include "overlay/OverlayPanel.h"

#include "OverlayTestSupport.h"
#include "content/PoseInstructions.h"
#include "content/RestPanelDesign.h"
#include "content/Texts.h"
#include "fakes/MemoryPreferenceStore.h"
#include "overlay/OverlayWindow.h"
#include "prefs/PreferenceKeys.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace lumatide::test;

namespace {

BreakAction stretchAction(AppLanguage language) {
    for (const BreakAction& action : Texts::forLanguage(language).actions) {
        if (action.kind == ActionKind::stretch) {
            return action;
        }
    }
    return {};
}

MemoryPreferenceStore storeWithPasscode(const QString& passcode) {
    return MemoryPreferenceStore(QJsonObject{{passcodeKey, passcode}});
}

QRect childGeometry(const QWidget* window, const char* name) {
    const auto* child = window->findChild<QWidget*>(QString::fromLatin1(name));
    return child != nullptr ? child->geometry() : QRect();
}

} // namespace

TEST(OverlayPanel, ShortScreensKeepTheEntryAndMessageVisible) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    OverlayPanel panel(QGuiApplication::primaryScreen(), stretchAction(AppLanguage::english),
                       AppLanguage::english, preferences);
    OverlayWindow* window = panel.window();
    panel.show(); // a hidden window is laid out only when it is shown
    for (const QSize size : {QSize(1440, 900), QSize(1366, 768), QSize(1280, 720)}) {
        window->resize(size);
        const QRect screen(QPoint(0, 0), size);
        const QRect figure = childGeometry(window, "figure");
        SCOPED_TRACE(size.height());
        for (const char* name : {"field", "unlockButton", "messageLabel"}) {
            EXPECT_TRUE(screen.contains(childGeometry(window, name))) << name;
            EXPECT_FALSE(figure.intersects(childGeometry(window, name))) << name;
        }
        EXPECT_EQ(childGeometry(window, "field").size(), QSize(220, 38));
        EXPECT_EQ(childGeometry(window, "unlockButton").size(), QSize(120, 36));
        EXPECT_EQ(figure.width(), qRound(size.width() * 0.82));
        EXPECT_GT(figure.height(), size.height() / 3);
        EXPECT_EQ(childGeometry(window, "background"), screen);
    }
    window->resize(2560, 1600);
    EXPECT_EQ(childGeometry(window, "figure"), QRect(480, 334, 1600, 896));
}

TEST(OverlayPanel, ShowsTheActivityAndTheRemainingTime) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    const BreakAction action = stretchAction(AppLanguage::english);
    OverlayPanel panel(QGuiApplication::primaryScreen(), action, AppLanguage::english, preferences);
    const OverlayWindow* window = panel.window();

    EXPECT_EQ(labelText(window, "titleLabel"), action.title);
    EXPECT_EQ(labelText(window, "cautionLabel"), action.caution);
    EXPECT_EQ(labelText(window, "instructionLabel"),
              poseInstruction(ActionKind::stretch, 0, AppLanguage::english));
    EXPECT_EQ(labelText(window, "timeLabel"), QString());
    EXPECT_EQ(labelText(window, "messageLabel"), QString());
    EXPECT_EQ(panel.field()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(panel.field()->placeholderText(), QStringLiteral("Passcode"));
    EXPECT_EQ(window->findChild<QPushButton*>(QStringLiteral("unlockButton"))->text(),
              QStringLiteral("Unlock"));

    panel.update(299);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 04:59"));
    panel.update(-5);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 00:00"));
    panel.update(3600);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 60:00"));

    EXPECT_TRUE(window->windowFlags().testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->geometry(), QGuiApplication::primaryScreen()->geometry());
}

TEST(OverlayPanel, BreathingPromptAndStepLineSpeakThePanelsLanguage) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    for (const AppLanguage language : {AppLanguage::german, AppLanguage::japanese}) {
        const Texts& texts = Texts::forLanguage(language);
        OverlayPanel panel(QGuiApplication::primaryScreen(), stretchAction(language), language,
                           preferences);
        panel.update(120);
        const QStringList prompts{texts.breatheIn, texts.hold, texts.breatheOut};
        EXPECT_TRUE(prompts.contains(labelText(panel.window(), "breathLabel")))
            << labelText(panel.window(), "breathLabel").toStdString();

        // The figure reports its step when it is drawn; the line then carries the prefix.
        panel.show();
        panel.window()->grab();
        QCoreApplication::processEvents();
        const QString line = labelText(panel.window(), "instructionLabel");
        const QString prefix = texts.poseStepPrefix.section(QStringLiteral("%d"), 0, 0);
        EXPECT_TRUE(line.startsWith(prefix)) << line.toStdString();
        bool someStep = false;
        for (int step = 0; step < poseSheetCellCount; ++step) {
            someStep =
                someStep || line.endsWith(poseInstruction(ActionKind::stretch, step, language));
        }
        EXPECT_TRUE(someStep) << line.toStdString();

        // The prompt keeps following the breath on the figure's ticks while shown.
        auto* breath = panel.window()->findChild<QLabel*>(QStringLiteral("breathLabel"));
        auto* figureTimer =
            panel.window()->findChild<QWidget*>(QStringLiteral("figure"))->findChild<QTimer*>();
        ASSERT_NE(breath, nullptr);
        ASSERT_NE(figureTimer, nullptr);
        breath->clear();
        QMetaObject::invokeMethod(figureTimer, "timeout");
        EXPECT_TRUE(prompts.contains(breath->text())) << breath->text().toStdString();
        panel.hide();
        EXPECT_FALSE(panel.window()->isVisible());
    }
}

TEST(OverlayPanel, WrongPasscodeShowsTheMessageAndClearsTheField) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    for (const auto& [language, message] :
         {std::pair{AppLanguage::english, QStringLiteral("Incorrect passcode")},
          std::pair{AppLanguage::german, QStringLiteral("Falscher Code")}}) {
        int unlocks = 0;
        OverlayPanel panel(QGuiApplication::primaryScreen(), stretchAction(language), language,
                           preferences);
        panel.setUnlockHandler([&unlocks] { ++unlocks; });
        // The comparison is exact: surrounding white space is not forgiven here.
        QTest::keyClicks(panel.field(), QStringLiteral("2468 "));
        QTest::keyClick(panel.field(), Qt::Key_Return);
        EXPECT_EQ(unlocks, 0);
        EXPECT_EQ(labelText(panel.window(), "messageLabel"), message);
        EXPECT_EQ(panel.field()->text(), QString());

        QTest::keyClicks(panel.field(), QStringLiteral("2468"));
        QTest::keyClick(panel.field(), Qt::Key_Return);
        EXPECT_EQ(unlocks, 1);
        EXPECT_EQ(panel.field()->text(), QString());
    }
}

TEST(OverlayPanel, ReturnAndTheButtonEachCheckOnce) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    int unlocks = 0;
    OverlayPanel panel(QGuiApplication::primaryScreen(), stretchAction(AppLanguage::english),
                       AppLanguage::english, preferences);
    panel.setUnlockHandler([&unlocks] { ++unlocks; });
    panel.show();

    // A second check would find the field already cleared and report a wrong passcode.
    QTest::keyClicks(panel.field(), QStringLiteral("2468"));
    QTest::keyClick(panel.field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 1);
    EXPECT_EQ(labelText(panel.window(), "messageLabel"), QString());

    QTest::keyClicks(panel.field(), QStringLiteral("2468"));
    QTest::keyClick(panel.field(), Qt::Key_Enter);
    EXPECT_EQ(unlocks, 2);
    EXPECT_EQ(labelText(panel.window(), "messageLabel"), QString());

    QTest::keyClicks(panel.field(), QStringLiteral("2468"));
    QTest::mouseClick(panel.window()->findChild<QPushButton*>(QStringLiteral("unlockButton")),
                      Qt::LeftButton);
    EXPECT_EQ(unlocks, 3);
    EXPECT_EQ(labelText(panel.window(), "messageLabel"), QString());

    // The stored passcode is read afresh at every attempt.
    MemoryPreferenceStore changing = storeWithPasscode(QStringLiteral("1111"));
    OverlayPanel second(QGuiApplication::primaryScreen(), stretchAction(AppLanguage::english),
                        AppLanguage::english, changing);
    second.setUnlockHandler([&unlocks] { ++unlocks; });
    changing.setString(passcodeKey, QStringLiteral("2222"));
    QTest::keyClicks(second.field(), QStringLiteral("2222"));
    QTest::keyClick(second.field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 4);
}

TEST(OverlayPanel, ClickingAnotherPanelsFieldMovesTheKeyboardThere) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    QScreen* screen = QGuiApplication::primaryScreen();
    OverlayPanel first(screen, stretchAction(AppLanguage::english), AppLanguage::english,
                       preferences);
    OverlayPanel second(screen, stretchAction(AppLanguage::english), AppLanguage::english,
                        preferences);
    first.takeKeyboard();
    EXPECT_EQ(QWidget::keyboardGrabber(), first.field());
    QTest::mouseClick(second.field(), Qt::LeftButton);
    EXPECT_EQ(QWidget::keyboardGrabber(), second.field());
    second.hide();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST(OverlayPanel, ScreenshotsAtTwoSizes) {
    const MemoryPreferenceStore preferences = storeWithPasscode(QStringLiteral("2468"));
    for (const QSize size : {QSize(1440, 900), QSize(1366, 768)}) {
        OverlayPanel panel(QGuiApplication::primaryScreen(), stretchAction(AppLanguage::english),
                           AppLanguage::english, preferences);
        panel.show();
        panel.window()->resize(size);
        panel.update(287);
        QTest::keyClicks(panel.field(), QStringLiteral("0000"));
        QTest::keyClick(panel.field(), Qt::Key_Return);
        QTest::keyClicks(panel.field(), QStringLiteral("12"));
        // The first drawing reports the figure's step; the second shows its line.
        panel.window()->grab();
        QCoreApplication::processEvents();
        const QImage shot = panel.window()->grab().toImage();
        EXPECT_EQ(shot.size(), size);
        const QString path =
            artifactFolder() +
            QStringLiteral("/panel-%1x%2.png").arg(size.width()).arg(size.height());
        EXPECT_TRUE(shot.save(path)) << path.toStdString();
        // Opaque: the background covers every corner.
        EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 255);
        EXPECT_EQ(qAlpha(shot.pixel(size.width() - 1, size.height() - 1)), 255);
        panel.hide();
    }
}
