#include "overlay/OverlayController.h"

#include "OverlayTestSupport.h"
#include "content/Texts.h"
#include "fakes/MemoryPreferenceStore.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"
#include "prefs/PreferenceKeys.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace lumatide::test;

namespace {

BreakAction firstAction(AppLanguage language) {
    return Texts::forLanguage(language).actions.front();
}

class OverlayControllerTest : public ::testing::Test {
protected:
    void TearDown() override {
        controller.hide();
        settleEvents();
        EXPECT_EQ(overlayWindowCount(), 0);
    }

    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, QStringLiteral("2468")}}};
    OverlayController controller{preferences};
};

} // namespace

TEST_F(OverlayControllerTest, OnePanelPerScreenAndHideRemovesThemAll) {
    const auto screenCount = static_cast<std::size_t>(QGuiApplication::screens().size());
    controller.hide(); // harmless with nothing shown
    EXPECT_EQ(controller.panelCount(), 0u);

    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    ASSERT_EQ(controller.panelCount(), screenCount);
    for (std::size_t i = 0; i < screenCount; ++i) {
        const OverlayPanel* panel = controller.panel(i);
        EXPECT_EQ(panel->screen(), QGuiApplication::screens().at(static_cast<int>(i)));
        EXPECT_TRUE(panel->window()->isVisible());
        EXPECT_EQ(panel->window()->geometry(), panel->screen()->geometry());
    }
    // One panel holds the keyboard.
    EXPECT_EQ(QWidget::keyboardGrabber(), controller.panel(0)->field());

    // A second show replaces the first set; the old windows go away.
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    settleEvents();
    EXPECT_EQ(controller.panelCount(), screenCount);
    EXPECT_EQ(overlayWindowCount(), static_cast<int>(screenCount));

    controller.update(299);
    EXPECT_EQ(labelText(controller.panel(0)->window(), "timeLabel"), QStringLiteral("B 04:59"));

    controller.hide();
    EXPECT_EQ(controller.panelCount(), 0u);
    EXPECT_FALSE(controller.isShowing());
    settleEvents();
    EXPECT_EQ(overlayWindowCount(), 0);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    controller.update(10); // nothing shown: nothing happens
}

TEST_F(OverlayControllerTest, LanguageRebuildShowsTheSameActivityInTheNewLanguage) {
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    controller.update(200);
    controller.show(firstAction(AppLanguage::german), AppLanguage::german);
    controller.update(199);
    const OverlayWindow* window = controller.panel(0)->window();
    EXPECT_EQ(labelText(window, "titleLabel"), firstAction(AppLanguage::german).title);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 03:19"));
    const Texts& german = Texts::forLanguage(AppLanguage::german);
    EXPECT_TRUE((QStringList{german.breatheIn, german.hold, german.breatheOut})
                    .contains(labelText(window, "breathLabel")));
}

TEST_F(OverlayControllerTest, ARestLeavesNoStyleImagesBehind) {
    // The style caches images of the panels' buttons under keys no later panel shares; they
    // must go with the panels, or every rest adds to the program's memory.
    QPixmap sentinel(8, 8);
    sentinel.fill(Qt::red);
    const QPixmapCache::Key before = QPixmapCache::insert(sentinel);
    controller.hide(); // nothing shown: the cache stays as it is
    QPixmap found;
    EXPECT_TRUE(QPixmapCache::find(before, &found));

    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    for (std::size_t i = 0; i < controller.panelCount(); ++i) {
        controller.panel(i)->window()->grab(); // paints the button and the field
    }
    const QPixmapCache::Key during = QPixmapCache::insert(sentinel);
    controller.hide();
    EXPECT_FALSE(QPixmapCache::find(during, &found));
}

TEST_F(OverlayControllerTest, UnlockFromInsideTheCheckTearsEverythingDownSafely) {
    int unlocks = 0;
    controller.setUnlockHandler([this, &unlocks] {
        ++unlocks;
        controller.hide(); // what starting the next work period does
    });
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    OverlayPanel* panel = controller.panel(0);
    const QPointer<OverlayWindow> window = panel->window();

    QTest::keyClicks(panel->field(), QStringLiteral("1357"));
    QTest::keyClick(panel->field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 0);
    EXPECT_EQ(labelText(window, "messageLabel"), QStringLiteral("Incorrect passcode"));
    EXPECT_TRUE(controller.isShowing());
    EXPECT_TRUE(window->isVisible());

    QTest::keyClicks(panel->field(), QStringLiteral("2468"));
    QTest::keyClick(panel->field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 1);
    EXPECT_EQ(controller.panelCount(), 0u);
    settleEvents();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(overlayWindowCount(), 0);
}

TEST_F(OverlayControllerTest, PanelsKeepTheHandlerTheyWereBuiltWith) {
    int early = 0;
    int late = 0;
    controller.setUnlockHandler([&early] { ++early; });
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    controller.setUnlockHandler([&late] { ++late; });
    QTest::keyClicks(controller.panel(0)->field(), QStringLiteral("2468"));
    QTest::keyClick(controller.panel(0)->field(), Qt::Key_Return);
    EXPECT_EQ(early, 1);
    EXPECT_EQ(late, 0);

    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    QTest::keyClicks(controller.panel(0)->field(), QStringLiteral("2468"));
    QTest::keyClick(controller.panel(0)->field(), Qt::Key_Return);
    EXPECT_EQ(early, 1);
    EXPECT_EQ(late, 1);
}

TEST_F(OverlayControllerTest, ScreenChangesDuringARestRebuildThePanels) {
    QScreen* screen = QGuiApplication::primaryScreen();
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    controller.update(150);
    QPointer<OverlayPanel> before = controller.panel(0);

    // A resized screen (the signal is what the platform sends after a mode change).
    Q_EMIT screen->geometryChanged(screen->geometry());
    Q_EMIT screen->geometryChanged(screen->geometry()); // bursts rebuild once
    QCoreApplication::processEvents();
    ASSERT_EQ(controller.panelCount(), static_cast<std::size_t>(QGuiApplication::screens().size()));
    EXPECT_NE(controller.panel(0), before.data());
    // The rebuilt panels carry on with the same rest.
    EXPECT_EQ(labelText(controller.panel(0)->window(), "timeLabel"), QStringLiteral("B 02:30"));
    EXPECT_EQ(labelText(controller.panel(0)->window(), "titleLabel"),
              firstAction(AppLanguage::english).title);
    settleEvents();
    EXPECT_TRUE(before.isNull());
    EXPECT_EQ(overlayWindowCount(), QGuiApplication::screens().size());

    // A screen added or removed does the same.
    before = controller.panel(0);
    Q_EMIT qGuiApp->screenAdded(screen);
    QCoreApplication::processEvents();
    EXPECT_NE(controller.panel(0), before.data());
    before = controller.panel(0);
    Q_EMIT qGuiApp->screenRemoved(screen);
    QCoreApplication::processEvents();
    EXPECT_NE(controller.panel(0), before.data());

    // Outside a rest a screen change builds nothing.
    controller.hide();
    Q_EMIT screen->geometryChanged(screen->geometry());
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.panelCount(), 0u);
}

// Two screens of different sizes: run in a child process of this test program whose offscreen
// platform is configured with them (the platform is chosen once per process).
TEST(OverlayControllerScreens, EveryScreenGetsItsOwnPanelAndTheMainOneTheKeyboard) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) {
        if (qEnvironmentVariableIsSet("LUMATIDE_OVERLAY_CHILD")) {
            FAIL() << "the child did not get two screens";
        }
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        QFile config(folder.filePath(QStringLiteral("screens.json")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(R"({"screens": [
            {"name": "LEFT", "x": 0, "y": 0, "width": 1280, "height": 720, "logicalDpi": 96},
            {"name": "RIGHT", "x": 1280, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96}
        ]})");
        config.close();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           QStringLiteral("offscreen:configfile=") + config.fileName());
        environment.insert(QStringLiteral("LUMATIDE_OVERLAY_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=OverlayControllerScreens.*")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
        return;
    }

    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, QStringLiteral("2468")}}};
    OverlayController controller(preferences);
    QCursor::setPos(screens.at(1)->geometry().center());
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    ASSERT_EQ(controller.panelCount(), 2u);
    EXPECT_EQ(controller.panel(0)->window()->geometry(), QRect(0, 0, 1280, 720));
    EXPECT_EQ(controller.panel(1)->window()->geometry(), QRect(1280, 0, 1366, 768));
    // The panel under the pointer takes the keyboard, not simply the last one built.
    EXPECT_EQ(QWidget::keyboardGrabber(), controller.panel(1)->field());

    for (std::size_t i = 0; i < 2; ++i) {
        const OverlayWindow* window = controller.panel(i)->window();
        const QRect inside(QPoint(0, 0), window->size());
        const auto* message = window->findChild<QWidget*>(QStringLiteral("messageLabel"));
        EXPECT_TRUE(inside.contains(message->geometry())) << i;
        EXPECT_TRUE(inside.contains(controller.panel(i)->field()->geometry())) << i;
    }

    // A wrong passcode on one screen leaves both panels; the right one ends the rest on both.
    int unlocks = 0;
    controller.setUnlockHandler([&controller, &unlocks] {
        ++unlocks;
        controller.hide();
    });
    controller.show(firstAction(AppLanguage::english), AppLanguage::english);
    QTest::keyClicks(controller.panel(0)->field(), QStringLiteral("0000"));
    QTest::keyClick(controller.panel(0)->field(), Qt::Key_Return);
    EXPECT_EQ(labelText(controller.panel(0)->window(), "messageLabel"),
              QStringLiteral("Incorrect passcode"));
    EXPECT_EQ(labelText(controller.panel(1)->window(), "messageLabel"), QString());
    QTest::keyClicks(controller.panel(1)->field(), QStringLiteral("2468"));
    QTest::keyClick(controller.panel(1)->field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 1);
    settleEvents();
    EXPECT_EQ(overlayWindowCount(), 0);
}
