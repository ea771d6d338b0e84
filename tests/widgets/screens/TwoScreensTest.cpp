// SPDX-License-Identifier: GPL-3.0-or-later
// The countdown toast and the rest panels on a desktop of two screens: a 1440 x 875 one and a
// 1024 x 768 one at twice the pixel density beside it.

#include "content/Texts.h"
#include "fakes/MemoryPreferenceStore.h"
#include "overlay/OverlayController.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"
#include "prefs/PreferenceKeys.h"
#include "system/ScreenLayers.h"
#include "warning/WarningController.h"
#include "warning/WarningToast.h"
#include "widgets/WidgetTestSupport.h"

#include <QCursor>
#include <QDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmapCache>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <map>

namespace lumatide::test {
namespace {

QStringList titles(const WarningController& controller) {
    QStringList shown;
    for (const WarningToast* toast : controller.toasts()) {
        shown << toast->titleText();
    }
    return shown;
}

// One tick of the controller's one-second countdown, fired by hand.
void secondPasses(WarningController& controller) {
    QMetaObject::invokeMethod(controller.findChild<QTimer*>(QStringLiteral("countdownTimer")),
                              "timeout");
}

// In the top-right corner of the usable area, as far from its top as from its right edge.
::testing::AssertionResult inTopRightCorner(const QRect& toast, const QRect& usable) {
    const int right = usable.right() - toast.right();
    if (usable.contains(toast) && right == toast.top() - usable.top() && right < 40) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "toast at " << toast.x() << "," << toast.y();
}

TEST(WarningToast, OneInTheTopRightCornerOfEveryScreenThatTakesNoFocusNorClicks) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    WarningController controller;
    controller.show(30, AppLanguage::english);
    QApplication::processEvents();
    ASSERT_EQ(controller.toasts().size(), 2U);
    for (int i = 0; i < 2; ++i) {
        const WarningToast* toast = controller.toasts().at(static_cast<std::size_t>(i));
        EXPECT_TRUE(toast->isVisible());
        EXPECT_EQ(toast->screen(), screens[i]);
        EXPECT_TRUE(inTopRightCorner(toast->geometry(), screens[i]->availableGeometry()));
        // What the window system is told; the off-screen platform activates every window it
        // shows, so activation itself is for the end-to-end tests to see.
        EXPECT_TRUE(toast->windowHandle()->flags().testFlags(
            Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
            Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint));
        EXPECT_EQ(toast->windowType(), Qt::Tool);
        EXPECT_TRUE(toast->testAttribute(Qt::WA_ShowWithoutActivating));
        // No compositor: the rounded corners are cut away by a mask.
        EXPECT_FALSE(toast->mask().contains(QPoint(0, 0)));
        EXPECT_TRUE(toast->mask().contains(toast->rect().center()));
    }
    // A usable area that does not start at the origin (a panel on the top or the left).
    EXPECT_TRUE(inTopRightCorner(WarningToast::geometryFor(QRect(64, 32, 1216, 688)),
                                 QRect(64, 32, 1216, 688)));
}

// Screen layers of two outputs, the second at twice the pixel density; remembers what each
// output's corner shows.
class RecordingLayers final : public ScreenLayers {
public:
    int outputCount() override { return 2; }
    int outputScale(int output) const override { return output + 1; }
    void showCorner(int output, const LayerPicture& picture, int margin) override {
        QImage copy(picture.pixels, picture.size.width(), picture.size.height(),
                    picture.bytesPerLine, QImage::Format_ARGB32_Premultiplied);
        corners[output] = {copy.copy(), picture.scale, margin};
        ++shows;
    }
    void hideCorners() override { corners.clear(); }

    struct Corner {
        QImage image;
        int scale, margin;
    };
    std::map<int, Corner> corners;
    int shows = 0;
};

TEST(WarningToast, InTheCompositorsLayersWhereOffered) {
    RecordingLayers layers;
    WarningController controller(nullptr, &layers);
    controller.show(30, AppLanguage::english);
    ASSERT_EQ(layers.corners.size(), 2U);
    for (const auto& [output, corner] : layers.corners) {
        const int scale = output + 1;
        EXPECT_EQ(corner.image.size(), QSize(WarningToast::width, WarningToast::height) * scale);
        EXPECT_EQ(corner.scale, scale);
        EXPECT_EQ(corner.margin, WarningToast::margin);
        // Drawn, with see-through corners: the compositor blends them.
        EXPECT_EQ(qAlpha(corner.image.pixel(0, 0)), 0);
        EXPECT_GT(qAlpha(corner.image.pixel(corner.image.rect().center())), 200);
    }
    EXPECT_FALSE(controller.toasts().front()->isVisible()); // never a window of its own
    const QImage before = layers.corners[0].image;
    secondPasses(controller);
    EXPECT_EQ(layers.shows, 4);
    EXPECT_NE(layers.corners[0].image, before); // the new count
    controller.hide();
    EXPECT_TRUE(layers.corners.empty());
}

TEST(WarningToast, CountsDownEachSecondAndGoesAwayAtTheEnd) {
    WarningController controller;
    auto* end = controller.findChild<QTimer*>(QStringLiteral("hideTimer"));
    controller.show(30, AppLanguage::english);
    EXPECT_TRUE(end->isActive());
    EXPECT_EQ(end->interval(), 30000);
    const QString wanted = s("Break starts in %1 seconds");
    const QPointer<WarningToast> first = controller.toasts().front();
    for (int left = 30; left >= 1; --left) {
        ASSERT_EQ(titles(controller), QStringList({wanted.arg(left), wanted.arg(left)}));
        secondPasses(controller);
    }
    EXPECT_TRUE(controller.toasts().empty());
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(end->isActive());

    // The one-shot end removes them on its own as well; a new show replaces the old toasts.
    controller.show(3, AppLanguage::english);
    QMetaObject::invokeMethod(end, "timeout");
    EXPECT_TRUE(controller.toasts().empty());
    controller.show(5, AppLanguage::english);
    const QPointer<WarningToast> old = controller.toasts().front();
    controller.show(30, AppLanguage::english);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(titles(controller).front(), wanted.arg(30));
    controller.hide();
    EXPECT_TRUE(controller.toasts().empty());
    EXPECT_FALSE(end->isActive());

    // Nothing below one second is shown; a count longer than a timer can wait still counts.
    for (const std::int64_t none : {std::int64_t{0}, std::int64_t{-7}}) {
        controller.show(none, AppLanguage::english);
        EXPECT_EQ(titles(controller).front(), wanted.arg(1));
        secondPasses(controller);
        EXPECT_TRUE(controller.toasts().empty());
    }
    controller.show(std::int64_t{1} << 40, AppLanguage::english);
    EXPECT_GT(end->interval(), 0);
    secondPasses(controller);
    EXPECT_EQ(controller.remainingSeconds(), (std::int64_t{1} << 40) - 1);
}

TEST(WarningToast, LinesFitTheCardInEveryLanguage) {
    for (const AppLanguage language : allLanguages) {
        WarningToast toast(QGuiApplication::primaryScreen(), 30, language, false);
        for (const QLabel* line : toast.findChildren<QLabel*>()) {
            EXPECT_LE(QFontMetricsF(line->font()).horizontalAdvance(line->text()),
                      WarningToast::width - 44) // inside the padding of 22 a side
                << line->text().toStdString();
        }
    }
}

TEST(OverlayController, EveryScreenGetsItsPanelAndTheOneUnderThePointerTheKeyboard) {
    MemoryPreferenceStore preferences{QJsonObject{{passcodeKey, s("2468")}}};
    OverlayController controller(preferences);
    int unlocks = 0;
    controller.setUnlockHandler([&controller, &unlocks] {
        ++unlocks;
        controller.hide(); // what starting the next work period does, from inside the check
    });
    const QList<QScreen*> screens = QGuiApplication::screens();
    QCursor::setPos(screens.at(0)->geometry().center()); // not the last panel built
    const BreakAction action = Texts::forLanguage(AppLanguage::english).actions.front();
    QDialog form; // the passcode form, open when the rest comes
    form.setModal(true);
    form.show();
    controller.show(action, AppLanguage::english);
    const QPointer<OverlayWindow> replaced = controller.panel(0)->window();
    controller.show(action, AppLanguage::english); // a new show replaces the panels
    settleEvents();
    EXPECT_TRUE(replaced.isNull());
    ASSERT_EQ(controller.panelCount(), 2U);
    EXPECT_EQ(controller.panel(0)->window()->geometry(), screens.at(0)->geometry());
    EXPECT_EQ(controller.panel(1)->window()->geometry(), screens.at(1)->geometry());
    EXPECT_EQ(QWidget::keyboardGrabber(), controller.panel(0)->field());

    // The right passcode on either screen ends the rest on both. The style keeps images of the
    // panels' buttons under keys no later panel shares: they go with the panels, or every rest adds
    // to the program's memory.
    controller.panel(1)->window()->grab();
    const QPixmapCache::Key during = QPixmapCache::insert(QPixmap(8, 8));
    const QPointer<OverlayWindow> window = controller.panel(1)->window();
    QTest::keyClicks(controller.panel(1)->field(), s("2468"));
    QTest::keyClick(controller.panel(1)->field(), Qt::Key_Return);
    EXPECT_EQ(unlocks, 1);
    EXPECT_EQ(controller.panelCount(), 0U);
    QPixmap found;
    EXPECT_FALSE(QPixmapCache::find(during, &found));
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    settleEvents(); // released once the check that hid them has returned
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(QGuiApplication::focusWindow(), form.windowHandle()); // the form has the keys back
}

} // namespace
} // namespace lumatide::test
