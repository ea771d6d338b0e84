#include "warning/WarningToast.h"

#include "content/Texts.h"
#include "warning/WarningController.h"
#include "widgets/dialogs/ArtifactFolder.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

// The controller's one-second countdown and its one-shot end, fired by hand.
class Timers {
public:
    explicit Timers(WarningController& controller)
        : countdown_(controller.findChild<QTimer*>(QStringLiteral("countdownTimer"))),
          end_(controller.findChild<QTimer*>(QStringLiteral("hideTimer"))) {}

    bool found() const { return countdown_ != nullptr && end_ != nullptr; }
    QTimer& countdown() const { return *countdown_; }
    QTimer& end() const { return *end_; }
    void secondPasses() const { QMetaObject::invokeMethod(countdown_, "timeout"); }
    void endFires() const { QMetaObject::invokeMethod(end_, "timeout"); }

private:
    QTimer* countdown_;
    QTimer* end_;
};

QStringList titles(const WarningController& controller) {
    QStringList shown;
    for (const WarningToast* toast : controller.toasts()) {
        shown << toast->titleText();
    }
    return shown;
}

QRect expectedPlace(const QRect& available) {
    return {available.x() + available.width() - 26 - 320, available.y() + 26, 320, 86};
}

TEST(WarningToast, OneToastInTheTopRightCornerOfEveryScreen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    ASSERT_EQ(screens[0]->availableGeometry(), QRect(0, 0, 1440, 875));

    WarningController controller;
    controller.show(30, AppLanguage::english);
    const std::vector<WarningToast*> toasts = controller.toasts();
    ASSERT_EQ(toasts.size(), 2U);
    for (int i = 0; i < 2; ++i) {
        const WarningToast& toast = *toasts[static_cast<std::size_t>(i)];
        EXPECT_TRUE(toast.isVisible());
        EXPECT_EQ(toast.screen(), screens[i]);
        EXPECT_EQ(toast.geometry(), expectedPlace(screens[i]->availableGeometry()));
    }
    EXPECT_EQ(toasts[0]->geometry(), QRect(1094, 26, 320, 86));
    EXPECT_EQ(toasts[1]->geometry(), QRect(1440 + 1024 - 346, 26, 320, 86));

    // Usable areas that do not start at the origin (a panel on the top or left).
    EXPECT_EQ(WarningToast::geometryFor(QRect(64, 32, 1216, 688)), QRect(934, 58, 320, 86));
}

TEST(WarningToast, AsksNeverToTakeFocusAndToLetClicksThrough) {
    WarningController controller;
    controller.show(10, AppLanguage::english);
    QApplication::processEvents();
    for (const WarningToast* toast : controller.toasts()) {
        const Qt::WindowFlags flags = toast->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
        EXPECT_EQ(toast->windowType(), Qt::Tool);
        EXPECT_TRUE(toast->testAttribute(Qt::WA_ShowWithoutActivating));
        // What the window system is told (the off-screen platform activates every window it
        // shows, so activation itself is for the end-to-end tests to see).
        ASSERT_NE(toast->windowHandle(), nullptr);
        EXPECT_TRUE(toast->windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
        EXPECT_TRUE(toast->windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
        // No compositor off screen: the corners are cut away by a mask.
        EXPECT_FALSE(toast->mask().contains(QPoint(0, 0)));
        EXPECT_FALSE(toast->mask().contains(QPoint(319, 85)));
        EXPECT_TRUE(toast->mask().contains(QPoint(160, 43)));
        EXPECT_TRUE(toast->mask().contains(QPoint(160, 1)));
    }
}

TEST(WarningToast, CountsDownEachSecondAndGoesAwayAtTheEnd) {
    WarningController controller;
    const Timers timers(controller);
    ASSERT_TRUE(timers.found());
    EXPECT_FALSE(timers.countdown().isActive());

    controller.show(30, AppLanguage::english);
    EXPECT_TRUE(timers.countdown().isActive());
    EXPECT_EQ(timers.countdown().interval(), 1000);
    EXPECT_TRUE(timers.end().isActive());
    EXPECT_TRUE(timers.end().isSingleShot());
    EXPECT_EQ(timers.end().interval(), 30000);
    const QString wanted = QStringLiteral("Break starts in %1 seconds");
    EXPECT_EQ(titles(controller), QStringList({wanted.arg(30), wanted.arg(30)}));
    EXPECT_EQ(controller.toasts().front()->hintText(),
              QStringLiteral("Wrap up gently and take a slow breath."));

    const QPointer<WarningToast> first = controller.toasts().front();
    for (int left = 29; left >= 1; --left) {
        timers.secondPasses();
        ASSERT_EQ(titles(controller), QStringList({wanted.arg(left), wanted.arg(left)}));
    }
    timers.secondPasses();
    EXPECT_TRUE(controller.toasts().empty());
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(timers.countdown().isActive());
    EXPECT_FALSE(timers.end().isActive());

    // The one-shot end removes the toasts on its own as well.
    controller.show(3, AppLanguage::german);
    EXPECT_EQ(titles(controller).front(), QStringLiteral("Pause beginnt in 3 Sekunden"));
    timers.endFires();
    EXPECT_TRUE(controller.toasts().empty());
    EXPECT_FALSE(timers.countdown().isActive());
}

TEST(WarningToast, ShowReplacesHideRemovesAndNothingShowsBelowOne) {
    WarningController controller;
    const Timers timers(controller);
    controller.hide(); // before any show: nothing happens
    EXPECT_TRUE(controller.toasts().empty());

    controller.show(5, AppLanguage::english);
    const QPointer<WarningToast> old = controller.toasts().front();
    for (int i = 0; i < 4; ++i) {
        timers.secondPasses();
    }
    EXPECT_EQ(old->titleText(), QStringLiteral("Break starts in 1 seconds"));
    controller.show(30, AppLanguage::english);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(controller.toasts().size(), 2U);
    EXPECT_EQ(controller.remainingSeconds(), 30);
    EXPECT_EQ(titles(controller).front(), QStringLiteral("Break starts in 30 seconds"));
    EXPECT_EQ(timers.end().interval(), 30000);

    controller.hide();
    controller.hide();
    EXPECT_TRUE(controller.toasts().empty());
    EXPECT_FALSE(timers.countdown().isActive());
    EXPECT_FALSE(timers.end().isActive());

    for (const std::int64_t none : {std::int64_t{0}, std::int64_t{-7}}) {
        controller.show(none, AppLanguage::english);
        EXPECT_EQ(titles(controller).front(), QStringLiteral("Break starts in 1 seconds"));
        EXPECT_EQ(timers.end().interval(), 1000);
        timers.secondPasses();
        EXPECT_TRUE(controller.toasts().empty());
    }

    // A count longer than a timer can wait still starts, and still counts down.
    controller.show(std::int64_t{1} << 40, AppLanguage::english);
    EXPECT_TRUE(timers.end().isActive());
    EXPECT_GT(timers.end().interval(), 0);
    timers.secondPasses();
    EXPECT_EQ(controller.remainingSeconds(), (std::int64_t{1} << 40) - 1);
    controller.hide();
}

TEST(WarningToast, LooksLikeADarkRoundedCardWhoseLinesFit) {
    QScreen* screen = QGuiApplication::screens().front();
    for (const AppLanguage language : allLanguages) {
        SCOPED_TRACE(languageCode(language).toStdString());
        const WarningToast toast(screen, 30, language, false);
        for (const QLabel* line : toast.findChildren<QLabel*>()) {
            EXPECT_LE(QFontMetricsF(line->font()).horizontalAdvance(line->text()), 276.0)
                << line->text().toStdString();
        }
    }

    WarningToast english(screen, 30, AppLanguage::english, false);
    QImage picture(320, 86, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    english.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    picture.save(dialogArtifactPath(QStringLiteral("toast-en.png")));
    const QColor body = picture.pixelColor(300, 75);
    EXPECT_NEAR(body.redF(), 0.07, 0.02);
    EXPECT_NEAR(body.greenF(), 0.11, 0.02);
    EXPECT_NEAR(body.blueF(), 0.12, 0.02);
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(319, 85)), 0);
    // The title is set in white from 22 px in; the right margin stays clear.
    int whiteInTitle = 0;
    for (int y = 16; y < 42; ++y) {
        for (int x = 22; x < 200; ++x) {
            whiteInTitle += qGray(picture.pixel(x, y)) > 200 ? 1 : 0;
        }
        EXPECT_LT(qGray(picture.pixel(310, y)), 80);
    }
    EXPECT_GT(whiteInTitle, 100);

    for (const AppLanguage language : {AppLanguage::spanish, AppLanguage::japanese}) {
        WarningToast other(screen, 30, language, false);
        QImage image(320, 86, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        other.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        image.save(dialogArtifactPath(QStringLiteral("toast-%1.png").arg(languageCode(language))));
    }
}

} // namespace
} // namespace lumatide
