#include "dialogs/AlertIcon.h"

#include "dialogs/AlertKind.h"
#include "dialogs/AlertSymbols.h"
#include "widgets/dialogs/ArtifactFolder.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace lumatide {
namespace {

QImage renderIcon(const AlertPalette& colours, const QString& symbol) {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintAlertIcon(painter, QRectF(0, 0, 64, 64), colours, symbol);
    painter.end();
    return image;
}

QImage iconImage(AlertKind kind, qreal ratio = 1.0) {
    return makeAlertIcon(kind, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

QColor mix(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * t),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * t),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * t));
}

// The tile's gradient runs along the diagonal from (5, 5) to (59, 59) in image pixels.
double gradientPosition(double x, double y) {
    return ((x - 5.0) + (y - 5.0)) / 108.0;
}

::testing::AssertionResult closeTo(QRgb actual, const QColor& expected, int tolerance) {
    const QColor seen = QColor::fromRgba(actual);
    if (std::abs(seen.red() - expected.red()) <= tolerance &&
        std::abs(seen.green() - expected.green()) <= tolerance &&
        std::abs(seen.blue() - expected.blue()) <= tolerance && seen.alpha() == 255) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel " << seen.name(QColor::HexArgb).toStdString()
                                         << " is not near " << expected.name().toStdString();
}

// Pixels of the symbol box (30 x 30 at (17, 18) from the top left) that the symbol whitened.
std::vector<bool> symbolInk(const QImage& image, const QImage& bare) {
    std::vector<bool> ink;
    for (int y = 18; y < 48; ++y) {
        for (int x = 17; x < 47; ++x) {
            ink.push_back(qGray(image.pixel(x, y)) - qGray(bare.pixel(x, y)) > 60);
        }
    }
    return ink;
}

double share(const std::vector<bool>& ink) {
    return static_cast<double>(std::count(ink.begin(), ink.end(), true)) /
           static_cast<double>(ink.size());
}

// A dark palette, so that white symbol strokes stand out for counting.
const AlertPalette dark{QColor(20, 30, 40), QColor(20, 30, 40)};

TEST(AlertIcon, TileGradientHighlightOutlineAndClearCorners) {
    for (const AlertKind kind : allAlertKinds) {
        SCOPED_TRACE(symbolName(kind).toStdString());
        const QImage icon = iconImage(kind);
        ASSERT_EQ(icon.size(), QSize(64, 64));
        const AlertPalette colours = palette(kind);

        // Upper left near the top colour, lower right near the bottom colour, both outside
        // the highlight and the symbol.
        EXPECT_TRUE(closeTo(icon.pixel(11, 14),
                            mix(colours.top, colours.bottom, gradientPosition(11.5, 14.5)), 3));
        EXPECT_TRUE(closeTo(icon.pixel(52, 50),
                            mix(colours.top, colours.bottom, gradientPosition(52.5, 50.5)), 3));
        const QColor upperLeft = icon.pixelColor(11, 14);
        const QColor lowerRight = icon.pixelColor(52, 50);
        const auto distance = [](const QColor& a, const QColor& b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue());
        };
        EXPECT_LT(distance(upperLeft, colours.top), distance(upperLeft, colours.bottom));
        EXPECT_LT(distance(lowerRight, colours.bottom), distance(lowerRight, colours.top));

        // The highlight whitens the gradient by about a quarter, above the symbol box.
        const QColor under = mix(colours.top, colours.bottom, gradientPosition(27.5, 14.5));
        const QColor lit = mix(under, Qt::white, 0.24);
        EXPECT_TRUE(closeTo(icon.pixel(27, 14), lit, 3));
        EXPECT_GT(qGray(icon.pixel(27, 14)), qGray(under.rgb()));

        // The outline is lighter than the gradient just inside it.
        EXPECT_GT(qGray(icon.pixel(32, 5)), qGray(icon.pixel(32, 8)));

        // Outside the rounded tile nothing is drawn.
        for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63),
                                    QPoint(6, 6), QPoint(57, 57), QPoint(2, 32), QPoint(32, 61)}) {
            EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << corner.x() << "," << corner.y();
        }
    }
}

TEST(AlertIcon, EverySymbolDrawsItsOwnShapeInsideTheSymbolBox) {
    const QImage bare = renderIcon(dark, QString());
    std::vector<std::vector<bool>> inks;
    QSet<QString> names;
    for (const AlertKind kind : allAlertKinds) {
        const QString name = symbolName(kind);
        SCOPED_TRACE(name.toStdString());
        names.insert(name);
        const std::optional<QPainterPath> path = alertSymbolPath(name);
        ASSERT_TRUE(path.has_value());
        EXPECT_TRUE(QRectF(0, 0, alertSymbolSize, alertSymbolSize).contains(path->boundingRect()));
        const std::vector<bool> ink = symbolInk(renderIcon(dark, name), bare);
        // Something recognisable: neither a speck nor a filled square.
        EXPECT_GT(share(ink), 0.10);
        EXPECT_LT(share(ink), 0.60);
        inks.push_back(ink);
    }
    EXPECT_EQ(names.size(), 9);
    for (std::size_t a = 0; a < inks.size(); ++a) {
        for (std::size_t b = a + 1; b < inks.size(); ++b) {
            std::size_t differing = 0;
            for (std::size_t i = 0; i < inks[a].size(); ++i) {
                differing += inks[a][i] != inks[b][i] ? 1 : 0;
            }
            EXPECT_GT(differing, inks[a].size() / 10)
                << symbolName(allAlertKinds[a]).toStdString() << " and "
                << symbolName(allAlertKinds[b]).toStdString() << " look alike";
        }
    }
}

TEST(AlertIcon, UnknownSymbolShowsTheInitial) {
    EXPECT_FALSE(alertSymbolPath(u"no.such.symbol").has_value());
    EXPECT_FALSE(alertSymbolPath(u"").has_value());
    const QImage letter = renderIcon(dark, QStringLiteral("no.such.symbol"));
    const auto inkIn = [&letter](const QRect& area) {
        int white = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                white += qGray(letter.pixel(x, y)) > 200 ? 1 : 0;
            }
        }
        return static_cast<double>(white) / (area.width() * area.height());
    };
    // An "L" set from (23, 46) upwards: a stem on the left, a foot at the bottom, and
    // nothing in the upper right of its box.
    EXPECT_GT(inkIn(QRect(26, 24, 3, 10)), 0.8);
    EXPECT_GT(inkIn(QRect(30, 37, 6, 2)), 0.8);
    EXPECT_LT(inkIn(QRect(34, 20, 6, 12)), 0.05);
    // Tile and outline are still drawn.
    EXPECT_EQ(qAlpha(letter.pixel(11, 14)), 255);
    EXPECT_EQ(qAlpha(letter.pixel(0, 0)), 0);
    letter.save(dialogArtifactPath(QStringLiteral("icon-fallback-letter.png")));
}

TEST(AlertIcon, FollowsTheDevicePixelRatio) {
    const QPixmap sharp = makeAlertIcon(AlertKind::passcode, 2.0);
    EXPECT_EQ(sharp.size(), QSize(128, 128));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(64, 64));
    const QImage sharpImage = sharp.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage plain = iconImage(AlertKind::passcode);
    // The same picture, twice as fine: compare the colour of the same spot.
    EXPECT_TRUE(closeTo(sharpImage.pixel(23, 29), plain.pixelColor(11, 14), 4));
    EXPECT_EQ(qAlpha(sharpImage.pixel(3, 3)), 0);

    for (const qreal unusable : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(makeAlertIcon(AlertKind::general, unusable).size(), QSize(64, 64));
    }

    // Pictures for people to look at: every icon at 2x, and all of them side by side.
    QImage sheet(9 * 144, 144, QImage::Format_ARGB32);
    sheet.fill(QColor(236, 236, 236));
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < allAlertKinds.size(); ++i) {
        const QPixmap icon = makeAlertIcon(allAlertKinds[i], 2.0);
        icon.save(
            dialogArtifactPath(QStringLiteral("icon-%1.png").arg(symbolName(allAlertKinds[i]))));
        QImage pixels = icon.toImage();
        pixels.setDevicePixelRatio(1.0);
        painter.drawImage(QPointF(static_cast<double>(i) * 144.0 + 8.0, 8.0), pixels);
    }
    painter.end();
    sheet.save(dialogArtifactPath(QStringLiteral("icons-all.png")));
}

} // namespace
} // namespace lumatide
