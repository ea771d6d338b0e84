// The rest panel: its layout on short screens, its texts, the passcode check and the keyboard,
// its labels, and the controller that keeps one panel on every screen.

#include "content/PoseInstructions.h"
#include "content/RestPanelDesign.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "fakes/MemoryPreferenceStore.h"
#include "overlay/OverlayController.h"
#include "overlay/OverlayLayout.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"
#include "overlay/PanelLabel.h"
#include "prefs/PreferenceKeys.h"
#include "widgets/WidgetTestSupport.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumatide::test {
namespace {

// Rest-panel windows that still exist, shown or not.
int overlayWindowCount() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](QWidget* window) {
        return dynamic_cast<OverlayWindow*>(window) != nullptr;
    }));
}

QString labelText(const QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

BreakAction action(AppLanguage language) {
    return Texts::forLanguage(language).actions.front();
}

QRect childGeometry(const QWidget* window, const char* name) {
    return window->findChild<QWidget*>(QString::fromLatin1(name))->geometry();
}

void type(QLineEdit* field, const char* text, Qt::Key key = Qt::Key_Return) {
    QTest::keyClicks(field, QString::fromLatin1(text));
    QTest::keyClick(field, key);
}

struct PanelTest : ::testing::Test {
    OverlayPanel panel(AppLanguage language = AppLanguage::english) {
        return {QGuiApplication::primaryScreen(), action(language), language, preferences};
    }
    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, QStringLiteral("2468")}}};
};

TEST(OverlayLayout, FigureGivesWaySoTheLowerColumnStaysOnScreen) {
    OverlayRowHeights rows{52, 40, 26, 20, 17, 15};
    OverlayRowHeights cjk = rows; // a fallback font for CJK text has taller rows
    cjk.title = 34;
    cjk.instruction = 28;
    cjk.caution = 24;
    for (const QSizeF panel : {QSizeF(1440, 900), QSizeF(1366, 768), QSizeF(1280, 720),
                               QSizeF(1024, 768), QSizeF(1280, 600)}) {
        for (const OverlayRowHeights& heights : {rows, cjk}) {
            const OverlayLayout layout = overlayLayout(panel, heights);
            const QRectF screen(QPointF(0, 0), panel);
            SCOPED_TRACE(panel.height());
            for (const QRectF& part : {layout.field, layout.button, layout.message}) {
                EXPECT_TRUE(screen.contains(part));
                EXPECT_FALSE(part.intersects(layout.figure));
            }
            EXPECT_FALSE(layout.title.intersects(layout.figure));
            EXPECT_GT(layout.figure.height(), 100.0);
        }
    }
    // On a screen far too short the figure shrinks to nothing, never below.
    const OverlayLayout tiny = overlayLayout(QSizeF(800, 240), rows);
    EXPECT_DOUBLE_EQ(tiny.figure.height(), 0.0);
    EXPECT_GT(tiny.title.top(), tiny.figure.bottom());
}

TEST_F(PanelTest, ShortScreensKeepTheEntryAndTheMessageOnScreen) {
    OverlayPanel shown = panel();
    OverlayWindow* window = shown.window();
    shown.show(); // a hidden window is laid out only when it is shown
    EXPECT_EQ(window->geometry(), QGuiApplication::primaryScreen()->geometry());
    for (const QSize size : {QSize(1440, 900), QSize(1366, 768), QSize(1280, 720)}) {
        window->resize(size);
        const QRect screen(QPoint(0, 0), size);
        SCOPED_TRACE(size.height());
        for (const char* name : {"field", "unlockButton", "messageLabel"}) {
            EXPECT_TRUE(screen.contains(childGeometry(window, name))) << name;
            EXPECT_FALSE(childGeometry(window, "figure").intersects(childGeometry(window, name)));
        }
        EXPECT_GT(childGeometry(window, "figure").height(), size.height() / 3);
        EXPECT_EQ(childGeometry(window, "background"), screen);
        saveArtifact(window->grab().toImage(),
                     QStringLiteral("panel-%1x%2").arg(size.width()).arg(size.height()));
    }
    shown.hide();
}

TEST_F(PanelTest, ShowsTheActivityTheTimeTheBreathAndTheStep) {
    OverlayPanel shown = panel(AppLanguage::german);
    const OverlayWindow* window = shown.window();
    const Texts& texts = Texts::forLanguage(AppLanguage::german);
    EXPECT_EQ(labelText(window, "titleLabel"), action(AppLanguage::german).title);
    EXPECT_EQ(labelText(window, "cautionLabel"), action(AppLanguage::german).caution);
    EXPECT_EQ(shown.field()->echoMode(), QLineEdit::Password);
    for (const Qt::WindowType flag :
         {Qt::X11BypassWindowManagerHint, Qt::WindowStaysOnTopHint, Qt::FramelessWindowHint}) {
        EXPECT_TRUE(window->windowFlags().testFlag(flag));
    }
    shown.update(299);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 04:59"));
    shown.update(-5);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 00:00"));
    const QStringList prompts{texts.breatheIn, texts.hold, texts.breatheOut};
    EXPECT_TRUE(prompts.contains(labelText(window, "breathLabel")));

    // The figure reports its step when it is drawn; the line then carries the step's number.
    shown.show();
    shown.window()->grab();
    QCoreApplication::processEvents();
    const QString line = labelText(window, "instructionLabel");
    bool someStep = false;
    for (int step = 0; step < poseSheetCellCount; ++step) {
        someStep = someStep || line == formatText(texts.poseStepPrefix, step + 1,
                                                  poseInstruction(action(AppLanguage::german).kind,
                                                                  step, AppLanguage::german));
    }
    EXPECT_TRUE(someStep) << line.toStdString();
    // The prompt keeps following the breath on the figure's ticks while shown.
    auto* breath = window->findChild<QLabel*>(QStringLiteral("breathLabel"));
    breath->clear();
    QMetaObject::invokeMethod(
        window->findChild<QWidget*>(QStringLiteral("figure"))->findChild<QTimer*>(), "timeout");
    EXPECT_TRUE(prompts.contains(breath->text()));
    shown.hide();
}

TEST_F(PanelTest, PasscodeIsCheckedOnceExactlyAndReadAfresh) {
    OverlayPanel shown = panel();
    int unlocks = 0;
    shown.setUnlockHandler([&unlocks] { ++unlocks; });
    shown.show();
    // White space is not forgiven; a wrong code is answered and cleared.
    type(shown.field(), "2468 ");
    EXPECT_EQ(unlocks, 0);
    EXPECT_EQ(labelText(shown.window(), "messageLabel"), QStringLiteral("Incorrect passcode"));
    EXPECT_EQ(shown.field()->text(), QString());
    // Return, Enter and the button each check once: a second check would find the field empty.
    type(shown.field(), "2468");
    type(shown.field(), "2468", Qt::Key_Enter);
    QTest::keyClicks(shown.field(), QStringLiteral("2468"));
    QTest::mouseClick(shown.window()->findChild<QPushButton*>(QStringLiteral("unlockButton")),
                      Qt::LeftButton);
    EXPECT_EQ(unlocks, 3);
    EXPECT_EQ(shown.field()->text(), QString());
    preferences.setString(passcodeKey, QStringLiteral("1111"));
    type(shown.field(), "1111");
    EXPECT_EQ(unlocks, 4);
    shown.hide();
}

TEST_F(PanelTest, ClickingAnotherPanelsFieldMovesTheKeyboardThere) {
    OverlayPanel first = panel();
    OverlayPanel second = panel();
    first.takeKeyboard();
    EXPECT_EQ(QWidget::keyboardGrabber(), first.field());
    QTest::mouseClick(second.field(), Qt::LeftButton);
    EXPECT_EQ(QWidget::keyboardGrabber(), second.field());
    second.hide();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

// The label painted over a dark backdrop, as on a panel.
QImage painted(QLabel& label) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(QColor(13, 26, 31));
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(PanelLabel, DrawsWhatAPlainLabelDrawsAndShapesOnlyWhenTheTextChanges) {
    struct Look {
        const char* text;
        int pixelSize;
        Qt::Alignment alignment;
        QSize size;
    };
    // The CJK line would come out as boxes if the kept layout lost the fallback fonts.
    for (const Look& look :
         {Look{"B 04:59", 44, Qt::AlignCenter, QSize(900, 60)},
          Look{"Breathe in", 27, Qt::AlignHCenter | Qt::AlignTop, QSize(900, 48)},
          Look{"深呼吸 — ok", 22, Qt::AlignCenter, QSize(500, 34)},
          Look{"Left", 14, Qt::AlignLeft | Qt::AlignVCenter, QSize(300, 22)},
          Look{"Right", 14, Qt::AlignRight | Qt::AlignVCenter, QSize(300, 40)}}) {
        QLabel plain;
        PanelLabel kept;
        for (QLabel* label : {&plain, static_cast<QLabel*>(&kept)}) {
            QFont font = label->font();
            font.setPixelSize(look.pixelSize);
            label->setFont(font);
            label->setAlignment(look.alignment);
            label->setText(QString::fromUtf8(look.text));
            label->resize(look.size);
        }
        const QImage expected = painted(plain);
        EXPECT_EQ(painted(kept), expected) << look.text;
        QLabel empty;
        empty.resize(look.size);
        EXPECT_NE(expected, painted(empty)) << look.text;
    }

    PanelLabel label;
    label.resize(400, 60);
    label.setText(QStringLiteral("B 01:00"));
    const QImage first = painted(label);
    painted(label);
    EXPECT_EQ(label.layoutCount(), 1);
    label.setText(QStringLiteral("B 00:59"));
    EXPECT_NE(painted(label), first);
    EXPECT_EQ(label.layoutCount(), 2);
    QFont larger = label.font();
    larger.setPixelSize(50);
    label.setFont(larger);
    painted(label);
    EXPECT_EQ(label.layoutCount(), 3);
}

struct ControllerTest : ::testing::Test {
    void TearDown() override {
        controller.hide();
        settleEvents();
        EXPECT_EQ(overlayWindowCount(), 0);
    }
    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, QStringLiteral("2468")}}};
    OverlayController controller{preferences};
};

TEST_F(ControllerTest, OnePanelPerScreenReplacedByEachShowAndGoneWithItsImages) {
    const auto screens = static_cast<std::size_t>(QGuiApplication::screens().size());
    controller.show(action(AppLanguage::english), AppLanguage::english);
    ASSERT_EQ(controller.panelCount(), screens);
    EXPECT_TRUE(controller.panel(0)->window()->isVisible());
    EXPECT_EQ(QWidget::keyboardGrabber(), controller.panel(0)->field());
    controller.show(action(AppLanguage::english), AppLanguage::english);
    settleEvents();
    EXPECT_EQ(overlayWindowCount(), static_cast<int>(screens));
    controller.update(299);
    EXPECT_EQ(labelText(controller.panel(0)->window(), "timeLabel"), QStringLiteral("B 04:59"));

    // The style keeps images of the panels' buttons under keys no later panel shares: they go
    // with the panels, or every rest adds to the program's memory.
    controller.panel(0)->window()->grab();
    QPixmap sentinel(8, 8);
    QPixmap found;
    const QPixmapCache::Key during = QPixmapCache::insert(sentinel);
    controller.hide();
    EXPECT_FALSE(QPixmapCache::find(during, &found));
    EXPECT_FALSE(controller.isShowing());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    controller.update(10); // nothing shown: nothing happens
    EXPECT_EQ(controller.panelCount(), 0U);
}

TEST_F(ControllerTest, UnlockFromInsideTheCheckTearsEverythingDownSafely) {
    int unlocks = 0;
    controller.setUnlockHandler([this, &unlocks] {
        ++unlocks;
        controller.hide(); // what starting the next work period does
    });
    controller.show(action(AppLanguage::english), AppLanguage::english);
    const QPointer<OverlayWindow> window = controller.panel(0)->window();
    type(controller.panel(0)->field(), "1357");
    EXPECT_TRUE(controller.isShowing());
    type(controller.panel(0)->field(), "2468");
    EXPECT_EQ(unlocks, 1);
    EXPECT_EQ(controller.panelCount(), 0U);
    settleEvents();
    EXPECT_TRUE(window.isNull());
}

TEST_F(ControllerTest, ScreenChangesDuringARestRebuildThePanels) {
    QScreen* screen = QGuiApplication::primaryScreen();
    controller.show(action(AppLanguage::english), AppLanguage::english);
    controller.update(150);
    QPointer<OverlayPanel> before = controller.panel(0);
    // A resized screen, a burst of them, a screen added, a screen removed.
    const std::function<void()> changes[] = {
        [screen] { Q_EMIT screen->geometryChanged(screen->geometry()); },
        [screen] {
            Q_EMIT screen->geometryChanged(screen->geometry());
            Q_EMIT screen->geometryChanged(screen->geometry());
        },
        [screen] { Q_EMIT qGuiApp->screenAdded(screen); },
        [screen] { Q_EMIT qGuiApp->screenRemoved(screen); }};
    for (const auto& change : changes) {
        change();
        QCoreApplication::processEvents();
        ASSERT_EQ(controller.panelCount(),
                  static_cast<std::size_t>(QGuiApplication::screens().size()));
        EXPECT_NE(controller.panel(0), before.data());
        // The rebuilt panels carry on with the same rest.
        EXPECT_EQ(labelText(controller.panel(0)->window(), "timeLabel"), QStringLiteral("B 02:30"));
        settleEvents();
        EXPECT_TRUE(before.isNull());
        EXPECT_EQ(overlayWindowCount(), QGuiApplication::screens().size());
        before = controller.panel(0);
    }
    // Outside a rest a screen change builds nothing.
    controller.hide();
    changes[0]();
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.panelCount(), 0U);
}

} // namespace
} // namespace lumatide::test
