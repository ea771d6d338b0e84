// SPDX-License-Identifier: GPL-3.0-or-later
// The rest panel: its layout on short screens, its texts, the passcode check and the keyboard,
// its labels, and the controller that keeps one panel on every screen.

#include "content/PoseInstructions.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "fakes/MemoryPreferenceStore.h"
#include "overlay/FigureView.h"
#include "overlay/LayerPanel.h"
#include "overlay/OverlayController.h"
#include "overlay/OverlayLayout.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"
#include "overlay/PanelLabel.h"
#include "prefs/PreferenceKeys.h"
#include "widgets/WidgetTestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

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
        return {QGuiApplication::primaryScreen(),
                action(language),
                language,
                QStringLiteral("2468"),
                {}};
    }
};

// The figure gives way so that every row stays on short screens, apart and in order, also with
// the taller rows of a fallback font for CJK text: down to a netbook's 1024 × 600 and a 1080p
// screen at 180 % (1067 × 600), and 560 px with room to spare.
TEST_F(PanelTest, ShortScreensKeepEveryRowApartAndOnScreen) {
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::japanese}) {
        OverlayPanel shown = panel(language);
        OverlayWindow* window = shown.window();
        shown.show(); // a hidden window is laid out only when it is shown
        for (const QSize size : {QSize(1920, 1080), QSize(1366, 768), QSize(1280, 720),
                                 QSize(1067, 600), QSize(1024, 600), QSize(1024, 560)}) {
            window->resize(size);
            const QRect screen(QPoint(0, 0), size);
            SCOPED_TRACE(size.height());
            int above = 0;
            for (const char* name :
                 {"timeLabel", "breathLabel", "figure", "titleLabel", "instructionLabel",
                  "cautionLabel", "field", "unlockButton", "messageLabel"}) {
                const QRect rect = childGeometry(window, name);
                EXPECT_TRUE(screen.contains(rect)) << name;
                EXPECT_GE(rect.top(), above) << name;
                above = rect.bottom() + 1;
            }
            EXPECT_GT(childGeometry(window, "figure").height(), size.height() / 4);
            EXPECT_EQ(childGeometry(window, "background"), screen);
        }
        shown.hide();
    }
    // On a screen far too short the figure shrinks to nothing, never below.
    EXPECT_GE(overlayLayout(QSizeF(800, 240), {52, 40, 26, 20, 17, 15}).figure.height(), 0.0);
}

TEST_F(PanelTest, ShowsTheActivityTheTimeTheBreathAndTheStep) {
    OverlayPanel shown = panel(AppLanguage::german);
    const OverlayWindow* window = shown.window();
    const Texts& texts = Texts::forLanguage(AppLanguage::german);
    EXPECT_EQ(labelText(window, "titleLabel"), action(AppLanguage::german).title);
    EXPECT_EQ(shown.field()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(
        window->windowFlags().testFlags(Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint));
    shown.update(299);
    EXPECT_EQ(labelText(window, "timeLabel"), QStringLiteral("B 04:59"));

    // The figure reports its step when it is drawn; the line then carries the step's number.
    shown.show();
    const QImage picture = shown.window()->grab().toImage();
    QCoreApplication::processEvents();
    // The field and the button sit dark on the dark panel, whatever the desktop's colours.
    for (const char* name : {"field", "unlockButton"}) {
        const QRect rect = childGeometry(window, name);
        EXPECT_LT(picture.pixelColor(rect.left() + 8, rect.center().y()).lightnessF(), 0.3) << name;
    }
    const int step = window->findChild<FigureView*>()->stepIndex();
    EXPECT_EQ(
        labelText(window, "instructionLabel"),
        formatText(texts.poseStepPrefix, step + 1,
                   poseInstruction(action(AppLanguage::german).kind, step, AppLanguage::german)));
    // The prompt keeps following the breath on the figure's ticks while shown.
    const QStringList prompts{texts.breatheIn, texts.hold, texts.breatheOut};
    auto* breath = window->findChild<QLabel*>(QStringLiteral("breathLabel"));
    breath->clear();
    QMetaObject::invokeMethod(window->findChild<FigureView*>()->findChild<QTimer*>(), "timeout");
    EXPECT_TRUE(prompts.contains(breath->text()));
    shown.hide();
}

TEST_F(PanelTest, PasscodeIsCheckedOnceAndExactly) {
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
    // With the keyboard grabbed the desktop's Super shortcuts arrive here: Super+D must not
    // leave an unseen "d" in front of the next passcode.
    QTest::keyClick(shown.field(), Qt::Key_D, Qt::MetaModifier);
    type(shown.field(), "2468");
    EXPECT_EQ(unlocks, 4);
    shown.hide();
}

// The label painted over a dark backdrop, as on a panel.
QImage painted(QLabel& label) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(QColor(13, 26, 31));
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(PanelLabel, DrawsWhatAPlainLabelDrawsAndShapesOnlyWhenTheTextChanges) {
    // The CJK line would come out as boxes if the kept layout lost the fallback fonts.
    const std::tuple<const char*, int, Qt::Alignment, QSize> looks[] = {
        {"B 04:59", 44, Qt::AlignCenter, QSize(900, 60)},
        {"Breathe in", 27, Qt::AlignHCenter | Qt::AlignTop, QSize(900, 48)},
        {"深呼吸 — ok", 22, Qt::AlignCenter, QSize(500, 34)},
        {"Left", 14, Qt::AlignLeft | Qt::AlignVCenter, QSize(300, 22)},
        {"Right", 14, Qt::AlignRight | Qt::AlignVCenter, QSize(300, 40)}};
    for (const auto& [text, pixelSize, alignment, size] : looks) {
        QLabel plain;
        PanelLabel kept;
        for (QLabel* label : {&plain, static_cast<QLabel*>(&kept)}) {
            QFont font = label->font();
            font.setPixelSize(pixelSize);
            label->setFont(font);
            label->setAlignment(alignment);
            label->setText(QString::fromUtf8(text));
            label->resize(size);
        }
        const QImage expected = painted(plain);
        EXPECT_EQ(painted(kept), expected) << text;
        QLabel empty;
        empty.resize(size);
        EXPECT_NE(expected, painted(empty)) << text;
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

TEST_F(ControllerTest, ScreenChangesDuringARestRebuildThePanels) {
    QScreen* screen = QGuiApplication::primaryScreen();
    controller.show(action(AppLanguage::english), AppLanguage::english);
    controller.update(150);
    QPointer<OverlayPanel> before = controller.panel(0);
    // A burst of screen resizes, a screen added, a screen removed.
    const std::function<void()> changes[] = {[screen] {
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
}

// The desktop's layers as the controller sees them: one canvas per panel, kept between frames,
// which can refuse frames as a compositor still showing the last one does.
struct FakePanelLayers final : PanelLayers {
    int openPanels(PanelLayersClient* c) override {
        client = c;
        pictures.assign(static_cast<std::size_t>(outputs), QImage());
        scales.assign(static_cast<std::size_t>(outputs), 1.0);
        damage.assign(static_cast<std::size_t>(outputs), QRegion());
        return outputs;
    }
    void closePanels() override { client = nullptr; }
    void configure(int panel, QSize size, qreal scale) {
        const auto index = static_cast<std::size_t>(panel);
        const QSize pixels(qRound(size.width() * scale), qRound(size.height() * scale));
        // Garbage where nothing is drawn, so that a part left out shows.
        pictures.at(index) = QImage(pixels, QImage::Format_RGB32);
        pictures.at(index).fill(Qt::magenta);
        scales.at(index) = scale;
        client->panelConfigured(panel, size, scale);
    }
    bool drawFrame(int panel, std::vector<QRect> changed, const FrameDrawer& draw) override {
        const auto index = static_cast<std::size_t>(panel);
        if (refuse || pictures.at(index).isNull()) {
            return false;
        }
        QImage& picture = pictures.at(index);
        QImage before = picture.copy();
        draw(LayerCanvas{picture.bits(), picture.size(), picture.bytesPerLine(), scales[index]},
             changed);
        // Drawn exactly where told: a pixel changed outside would differ between the
        // compositor's two buffers.
        QImage after = picture.copy();
        for (QImage* image : {&before, &after}) {
            QPainter painter(image);
            for (const QRect& rect : changed) {
                painter.fillRect(rect, Qt::black);
            }
        }
        framesDrawnOutside += before != after ? 1 : 0;
        for (const QRect& rect : changed) {
            damage.at(index) += rect;
        }
        return true;
    }
    void setKeyboardPanel(int panel) override { keyboardPanel = panel; }

    int outputs = 2;
    bool refuse = false;
    int framesDrawnOutside = 0;
    std::vector<qreal> scales;
    PanelLayersClient* client = nullptr;
    std::vector<QImage> pictures;
    std::vector<QRegion> damage;
    int keyboardPanel = 0;
};

// The share of pixels that differ clearly: the figure, the breathing prompt and the glows move
// between two drawings, a misplaced or missing part differs in far more.
double differingShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 1.0;
    }
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                       std::abs(qBlue(p) - qBlue(q))});
            differing += most > 40 ? 1 : 0;
        }
    }
    return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

// The panel's window drawn as it would be on a screen, past the layer's interception.
QImage drawnDirectly(OverlayController& controller, std::size_t index, qreal scale) {
    QWidget* window = controller.panel(index)->window();
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.append(window);
    for (QWidget* widget : widgets) {
        widget->removeEventFilter(controller.layerPanel(index));
    }
    QImage image(qRound(window->width() * scale), qRound(window->height() * scale),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    window->render(&image);
    for (QWidget* widget : widgets) {
        widget->installEventFilter(controller.layerPanel(index));
    }
    return image;
}

void layerKeys(PanelLayersClient* client, int panel, const char* text, bool thenReturn = true) {
    for (const char* c = text; *c != '\0'; ++c) {
        const QString character(QChar::fromLatin1(*c));
        client->panelKey(
            panel, LayerKey{true, false, character.toUpper().front().unicode(), {}, character});
        client->panelKey(
            panel, LayerKey{false, false, character.toUpper().front().unicode(), {}, character});
    }
    if (thenReturn) {
        client->panelKey(panel, LayerKey{true, false, Qt::Key_Return, {}, {}});
    }
}

TEST(LayerPanels, DrawTheWindowsPictureOnlyWhereItChangedAndTakeKeysAndClicks) {
    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, QStringLiteral("2468")}}};
    FakePanelLayers layers;
    OverlayController controller(preferences, nullptr, &layers);
    int unlocked = 0;
    controller.setUnlockHandler([&unlocked] { ++unlocked; });
    controller.show(action(AppLanguage::english), AppLanguage::english);
    controller.update(150);
    ASSERT_TRUE(controller.inLayers());
    ASSERT_EQ(controller.panelCount(), 2U);
    ASSERT_NE(layers.client, nullptr);
    for (std::size_t i = 0; i < 2; ++i) {
        // Nothing of the panel is put on the display by the program itself.
        ASSERT_NE(controller.panel(i)->window()->windowHandle(), nullptr);
        EXPECT_FALSE(controller.panel(i)->window()->windowHandle()->isVisible());
    }
    // Whole and fractional output scales.
    const std::array<qreal, 2> scales{2, 1.5};
    layers.configure(0, QSize(800, 600), scales[0]);
    layers.configure(1, QSize(640, 480), scales[1]);
    settleEvents();
    const auto matchTheWindow = [&](const char* when) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_LT(differingShare(layers.pictures[i], drawnDirectly(controller, i, scales[i])),
                      0.03)
                << when << ", panel " << i;
        }
    };
    matchTheWindow("first frame");

    // A new time redraws the time, also when the layer refused the frame at first; the
    // pictures stay the windows'.
    layers.damage.assign(2, QRegion());
    layers.refuse = true;
    controller.update(149);
    settleEvents();
    layers.refuse = false;
    layers.client->panelReady(0);
    layers.client->panelReady(1);
    for (std::size_t i = 0; i < 2; ++i) {
        const QRectF time = childGeometry(controller.panel(i)->window(), "timeLabel");
        EXPECT_TRUE(layers.damage[i].contains(
            QRectF(time.topLeft() * scales[i], time.size() * scales[i]).toAlignedRect()))
            << i;
    }
    matchTheWindow("after a new time");
    EXPECT_EQ(layers.framesDrawnOutside, 0);
    QWidget* first = controller.panel(0)->window();

    // Keys go to the field of the panel they were typed on; a wrong passcode says so.
    layerKeys(layers.client, 0, "13");
    EXPECT_EQ(labelText(first, "messageLabel"),
              Texts::forLanguage(AppLanguage::english).incorrectPassword);
    EXPECT_EQ(unlocked, 0);
    // A click into the other panel's field takes the typing there, with what was typed.
    layerKeys(layers.client, 0, "24", false);
    const QPointF field = QRectF(childGeometry(controller.panel(1)->window(), "field")).center();
    layers.client->panelPointer(1, LayerPointer{LayerPointer::Kind::move, field, Qt::NoButton});
    layers.client->panelPointer(1, LayerPointer{LayerPointer::Kind::press, {}, Qt::LeftButton});
    layers.client->panelPointer(1, LayerPointer{LayerPointer::Kind::release, {}, Qt::LeftButton});
    EXPECT_EQ(layers.keyboardPanel, 1);
    EXPECT_EQ(controller.panel(1)->typedText(), QStringLiteral("24"));
    EXPECT_EQ(controller.panel(0)->typedText(), QString());

    // An output added: new panels for all, the typing kept.
    layers.outputs = 3;
    layers.client->outputsChanged();
    settleEvents();
    ASSERT_EQ(controller.panelCount(), 3U);
    EXPECT_EQ(controller.panel(0)->typedText(), QStringLiteral("24"));
    layerKeys(layers.client, 0, "68");
    EXPECT_EQ(unlocked, 1);
    controller.hide();
    settleEvents();
    EXPECT_EQ(layers.client, nullptr);
    EXPECT_EQ(overlayWindowCount(), 0);
}

} // namespace
} // namespace lumatide::test
