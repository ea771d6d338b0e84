#include "shell/TrayIcon.h"

#include "AppRig.h"
#include "prefs/PreferenceKeys.h"
#include "shell/TrayBadge.h"
#include "shell/TrayBadgeIconEngine.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

QImage iconImage(const QIcon& icon, int size) {
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage badge(TimerPhase phase, std::int64_t remaining, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTrayBadge(painter, QRectF(0, 0, size, size), phase, remaining);
    return image;
}

// Share of the pixels of a colour close to the given one.
double shareNear(const QImage& image, QColor colour) {
    int near = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && std::abs(pixel.red() - colour.red()) < 40 &&
                std::abs(pixel.green() - colour.green()) < 40 &&
                std::abs(pixel.blue() - colour.blue()) < 40) {
                ++near;
            }
        }
    }
    return static_cast<double>(near) / (image.width() * image.height());
}

TEST(TrayIcon, TooltipIsTheTitleAndTheBadgeFollowsTheMinutes) {
    AppRig rig;
    rig.preferences.setString(languageKey, QStringLiteral("en"));
    rig.launch();
    TrayIcon& tray = rig.app->trayIcon();
    EXPECT_EQ(tray.toolTip(), s("W 30:00"));
    EXPECT_EQ(tray.badgeText(), s("30"));
    const QImage at30 = iconImage(tray.icon(), 32);

    rig.runSeconds(1);
    EXPECT_EQ(tray.toolTip(), s("W 29:59"));
    EXPECT_EQ(tray.badgeText(), s("29"));
    const QImage at29 = iconImage(tray.icon(), 32);
    EXPECT_NE(at30, at29);
    rig.runSeconds(30);
    EXPECT_EQ(tray.toolTip(), s("W 29:29"));
    EXPECT_EQ(iconImage(tray.icon(), 32), at29); // same minute, same badge

    rig.runSeconds(30 * 60 - 31 - 59); // 59 s before the end
    EXPECT_EQ(tray.toolTip(), s("W 00:59"));
    EXPECT_EQ(tray.badgeText(), s("59"));

    rig.app->startRestNow();
    EXPECT_EQ(tray.toolTip(), s("B 05:00"));
    EXPECT_EQ(tray.badgeText(), s("5"));

    // Every size a tray asks for is drawn, not scaled from one.
    for (const int size : {16, 22, 24, 32}) {
        const QPixmap pixmap = tray.icon().pixmap(size, size);
        EXPECT_EQ(pixmap.width(), size);
        EXPECT_EQ(pixmap.height(), size);
    }
}

// The icon draws a size when a tray asks for it, as the badge painter draws it at that size,
// and keeps it.
TEST(TrayIcon, IconDrawsEachSizeWhenAskedAndKeepsIt) {
    auto* engine = new TrayBadgeIconEngine(TimerPhase::rest, 250);
    const QIcon icon(engine); // owns the engine
    EXPECT_EQ(engine->drawnCount(), 0);
    EXPECT_EQ(icon.availableSizes().size(), 7);

    EXPECT_EQ(iconImage(icon, 22), badge(TimerPhase::rest, 250, 22));
    EXPECT_EQ(engine->drawnCount(), 1);
    EXPECT_EQ(iconImage(icon, 22), badge(TimerPhase::rest, 250, 22));
    EXPECT_EQ(engine->drawnCount(), 1);
    // A size no tray list names is drawn for itself too, and a wide request gets a square.
    EXPECT_EQ(iconImage(icon, 30), badge(TimerPhase::rest, 250, 30));
    EXPECT_EQ(icon.pixmap(QSize(40, 24)).size(), QSize(24, 24));

    const QImage disabled = icon.pixmap(QSize(22, 22), QIcon::Disabled)
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(disabled.size(), QSize(22, 22));
    EXPECT_NE(disabled, badge(TimerPhase::rest, 250, 22)) << "the style greys it";
    EXPECT_EQ(icon.pixmap(QSize(0, 0)).isNull(), true);
}

TEST(TrayIcon, BadgeColoursDigitsAndLastMinute) {
    EXPECT_EQ(trayBadgeText(1800), s("30"));
    EXPECT_EQ(trayBadgeText(1799), s("29"));
    EXPECT_EQ(trayBadgeText(60), s("1"));
    EXPECT_EQ(trayBadgeText(59), s("59"));
    EXPECT_EQ(trayBadgeText(0), s("0"));
    EXPECT_EQ(trayBadgeText(-5), s("0"));
    EXPECT_EQ(trayBadgeText(100 * 60), s("100"));
    EXPECT_FALSE(trayBadgeCountsSeconds(60));
    EXPECT_TRUE(trayBadgeCountsSeconds(59));

    // Work and rest are told apart by the tile colour; the tile fills most of the icon, with
    // an opaque rim so it shows on light and dark panels alike.
    const QImage work = badge(TimerPhase::work, 1500, 32);
    const QImage rest = badge(TimerPhase::rest, 200, 32);
    EXPECT_GT(shareNear(work, QColor(18, 122, 108)), 0.4);
    EXPECT_LT(shareNear(work, QColor(104, 84, 214)), 0.05);
    EXPECT_GT(shareNear(rest, QColor(104, 84, 214)), 0.4);
    EXPECT_EQ(work.pixelColor(16, 0).alpha(), 255);
    EXPECT_LT(work.pixelColor(0, 0).alpha(), 128); // rounded corner
    // Digits are drawn in white on the tile.
    EXPECT_GT(shareNear(work, QColor(255, 255, 255)), 0.05);
    // In the last minute the tile turns light, so seconds are not read as minutes.
    const QImage lastMinute = badge(TimerPhase::work, 42, 32);
    EXPECT_GT(shareNear(lastMinute, QColor(255, 255, 255)), 0.4);
    EXPECT_NE(badge(TimerPhase::work, 42, 16), badge(TimerPhase::work, 43, 16));
    // Long counts still fit: the digits stay inside the tile at 16 px.
    const QImage longCount = badge(TimerPhase::work, 16'666'666 * 60, 16);
    EXPECT_GT(shareNear(longCount, QColor(18, 122, 108)), 0.3);
}

} // namespace
} // namespace lumatide
