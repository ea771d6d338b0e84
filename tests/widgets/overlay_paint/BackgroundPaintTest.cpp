#include "overlay/BackgroundPainter.h"
#include "overlay/BackgroundView.h"
#include "widgets/overlay_paint/PaintTestSupport.h"

#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace lumatide::test;

namespace {

constexpr int sceneWidth = 800;
constexpr int sceneHeight = 500;

QImage renderBackground(double seconds, GlowRendering rendering = GlowRendering::radialGradient,
                        int width = sceneWidth, int height = sceneHeight) {
    QImage image = blankImage(width, height, Qt::magenta);
    QPainter painter(&image);
    paintBackground(painter, QRectF(0, 0, width, height), seconds, rendering);
    return image;
}

QColor rgbLevels(double r, double g, double b) {
    return QColor(level(r), level(g), level(b));
}

} // namespace

TEST(BackgroundPaint, GradientBreathesFromBottomToTop) {
    // At the start the breath level is 0.5; nine seconds later it is at its height (1) and at 27 s
    // at its lowest (0). The corners lie well away from both glows and the wave line.
    struct Case {
        double seconds;
        QColor bottom;
        QColor top;
    };
    const Case cases[] = {
        {0.0, rgbLevels(0.025, 0.051, 0.055), rgbLevels(0.07, 0.1225, 0.136)},
        {9.0, rgbLevels(0.025, 0.057, 0.060), rgbLevels(0.07, 0.130, 0.142)},
        {27.0, rgbLevels(0.025, 0.045, 0.050), rgbLevels(0.07, 0.115, 0.130)},
    };
    for (const Case& c : cases) {
        const QImage image = renderBackground(c.seconds);
        for (int x : {1, sceneWidth - 2}) {
            EXPECT_LE(channelDistance(image.pixelColor(x, sceneHeight - 1), c.bottom), 1)
                << "bottom at " << c.seconds << " s";
            EXPECT_LE(channelDistance(image.pixelColor(x, 0), c.top), 1)
                << "top at " << c.seconds << " s";
        }
        // Halfway up the side, the colour is halfway between.
        const QColor middle = image.pixelColor(1, sceneHeight / 2);
        EXPECT_NEAR(middle.greenF(), (c.bottom.greenF() + c.top.greenF()) / 2.0, 2.0 / 255.0);
        if (c.seconds == 0.0) {
            saveArtifact(image, QStringLiteral("background-800x500-t0"));
        }
    }
}

TEST(BackgroundPaint, SceneFollowsBreathAndDrift) {
    const QRectF bounds(0, 0, 1000, 600);
    const double m = 600.0;

    const BackgroundScene start = backgroundSceneAt(bounds, 0.0);
    EXPECT_DOUBLE_EQ(start.breath, 0.5);
    EXPECT_DOUBLE_EQ(start.upperGlow.center.x(), 500.0);
    EXPECT_DOUBLE_EQ(start.lowerGlow.center.x(), 500.0);
    EXPECT_NEAR(start.upperGlow.center.y(), 0.38 * 600.0, 1e-9); // 0.62 up from the bottom
    EXPECT_NEAR(start.lowerGlow.center.y(), 0.68 * 600.0, 1e-9); // 0.32 up from the bottom

    const BackgroundScene high = backgroundSceneAt(bounds, 9.0);
    EXPECT_NEAR(high.upperGlow.radius, 0.38 * m, 1e-9);
    EXPECT_NEAR(high.upperGlow.color.alphaF(), 0.21, 1e-4);
    EXPECT_NEAR(high.lowerGlow.radius, 0.28 * m, 1e-9);
    EXPECT_NEAR(high.lowerGlow.color.alphaF(), 0.12, 1e-4);

    const BackgroundScene low = backgroundSceneAt(bounds, 27.0);
    EXPECT_NEAR(low.upperGlow.radius, 0.34 * m, 1e-9);
    EXPECT_NEAR(low.upperGlow.color.alphaF(), 0.16, 1e-4);
    EXPECT_NEAR(low.lowerGlow.radius, 0.31 * m, 1e-9);
    EXPECT_NEAR(low.lowerGlow.color.alphaF(), 0.16, 1e-4);

    // Furthest drift: the glows move apart in opposite directions.
    const BackgroundScene drifted = backgroundSceneAt(bounds, 13.5);
    EXPECT_NEAR(drifted.upperGlow.center.x(), 660.0, 1e-9);
    EXPECT_NEAR(drifted.lowerGlow.center.x(), 280.0, 1e-9);

    // The whole scene comes round again after 108 s, the common period of both cycles.
    const BackgroundScene later = backgroundSceneAt(bounds, 13.5 + 108.0);
    EXPECT_NEAR(later.upperGlow.center.x(), drifted.upperGlow.center.x(), 1e-4);
    EXPECT_NEAR(later.upperGlow.radius, drifted.upperGlow.radius, 1e-4);

    // A view of no height has glows of no size.
    EXPECT_EQ(backgroundSceneAt(QRectF(0, 0, 300, 0), 5.0).upperGlow.radius, 0.0);
}

TEST(BackgroundPaint, GlowsAreBrightestInTheMiddleAndDriftSideways) {
    const QImage start = renderBackground(0.0);
    const QRectF bounds(0, 0, sceneWidth, sceneHeight);
    const BackgroundScene scene = backgroundSceneAt(bounds, 0.0);
    const QPoint centre = scene.upperGlow.center.toPoint();
    const int r = static_cast<int>(scene.upperGlow.radius);
    // Along the horizontal through the centre the glow fades outwards; outside it the gradient
    // alone remains.
    const int atCentre = brightness(start.pixelColor(centre));
    const int halfway = brightness(start.pixelColor(centre.x() + r / 2, centre.y()));
    const int outside = brightness(start.pixelColor(centre.x() + r + 10, centre.y()));
    EXPECT_GT(atCentre, halfway + 6);
    EXPECT_GT(halfway, outside);

    // At 13.5 s the upper glow has drifted right and the lower one left.
    const QImage drifted = renderBackground(13.5);
    const int upperY = centre.y();
    const int lowerY = scene.lowerGlow.center.toPoint().y();
    const auto at = [&](double u, int y) {
        return brightness(drifted.pixelColor(static_cast<int>(u * sceneWidth), y));
    };
    EXPECT_GT(at(0.66, upperY), at(0.34, upperY) + 6);
    EXPECT_GT(at(0.28, lowerY), at(0.72, lowerY) + 3);
    saveArtifact(drifted, QStringLiteral("background-800x500-t13.5"));
}

// The glow as the 36 passes define it, without any 8-bit rounding: a point at elliptic distance
// rho from the centre lies in every pass whose ellipse reaches it, and each lets 1 - a_k through.
double exactGlowAlpha(double rho, double alpha) {
    double transmitted = 1.0;
    for (int k = 36; k >= 1; --k) {
        const double s = k / 36.0;
        if (s >= rho) {
            transmitted *= 1.0 - alpha * std::pow(1.0 - s, 1.7);
        }
    }
    return 1.0 - transmitted;
}

TEST(BackgroundPaint, OneGradientFillMatchesTheStackedEllipses) {
    // Pixel for pixel, the single gradient fill and the 36 stacked ellipses agree to within the
    // rounding that 36 successive 8-bit blends pile up.
    for (double seconds : {0.0, 9.0, 13.5, 27.0, 40.5}) {
        const QImage stacked = renderBackground(seconds, GlowRendering::stackedEllipses);
        const QImage gradient = renderBackground(seconds, GlowRendering::radialGradient);
        int worst = 0;
        long long total = 0;
        for (int y = 0; y < sceneHeight; ++y) {
            for (int x = 0; x < sceneWidth; ++x) {
                const int d = channelDistance(stacked.pixelColor(x, y), gradient.pixelColor(x, y));
                worst = std::max(worst, d);
                total += d;
            }
        }
        EXPECT_LE(worst, 6) << "at " << seconds << " s";
        EXPECT_LT(static_cast<double>(total) / (sceneWidth * sceneHeight), 0.4)
            << "at " << seconds << " s";
    }

    // Against the exact composite (in the upper glow, away from the band edges, where the
    // antialiased rims of the ellipses blur the steps) the gradient fill is within two levels;
    // the stacked ellipses drift further because each of their 36 blends rounds.
    const QRectF bounds(0, 0, sceneWidth, sceneHeight);
    const BackgroundScene scene = backgroundSceneAt(bounds, 0.0);
    const QImage stacked = renderBackground(0.0, GlowRendering::stackedEllipses);
    const QImage gradient = renderBackground(0.0, GlowRendering::radialGradient);
    const BackgroundGlow& glow = scene.upperGlow;
    int gradientWorst = 0;
    int stackedWorst = 0;
    int compared = 0;
    for (int y = 60; y < 240; y += 3) {
        for (int x = 180; x < 620; x += 3) {
            const double dx = (x + 0.5 - glow.center.x()) / glow.radius;
            const double dy = (y + 0.5 - glow.center.y()) / (0.62 * glow.radius);
            const double rho = std::hypot(dx, dy);
            if (std::abs(36.0 * rho - std::round(36.0 * rho)) < 0.3) {
                continue;
            }
            const double a = exactGlowAlpha(rho, glow.color.alphaF());
            const double up = 1.0 - (y + 0.5) / sceneHeight; // gradient position from the bottom
            const auto expected = [&](double bottom, double top, double glowComponent) {
                const double background = bottom + (top - bottom) * up;
                return (background * (1.0 - a) + glowComponent * a) * 255.0;
            };
            const double want[] = {
                expected(scene.bottomColor.redF(), scene.topColor.redF(), glow.color.redF()),
                expected(scene.bottomColor.greenF(), scene.topColor.greenF(), glow.color.greenF()),
                expected(scene.bottomColor.blueF(), scene.topColor.blueF(), glow.color.blueF())};
            const QColor g = gradient.pixelColor(x, y);
            const QColor s = stacked.pixelColor(x, y);
            const int gotGradient[] = {g.red(), g.green(), g.blue()};
            const int gotStacked[] = {s.red(), s.green(), s.blue()};
            for (int i = 0; i < 3; ++i) {
                gradientWorst =
                    std::max(gradientWorst,
                             static_cast<int>(std::lround(std::abs(gotGradient[i] - want[i]))));
                stackedWorst = std::max(
                    stackedWorst, static_cast<int>(std::lround(std::abs(gotStacked[i] - want[i]))));
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 3000);
    EXPECT_LE(gradientWorst, 2);
    EXPECT_LE(stackedWorst, 6);
    // The comparison means something: the glow changes the picture far beyond those tolerances
    // (the far left of the same row shows the gradient alone).
    const QPoint centre = glow.center.toPoint();
    EXPECT_GT(channelDistance(stacked.pixelColor(centre), stacked.pixelColor(1, centre.y())), 40);
    EXPECT_GT(channelDistance(gradient.pixelColor(centre), gradient.pixelColor(1, centre.y())), 40);
}

TEST(BackgroundPaint, DegenerateSizesPaintWithoutGlows) {
    QImage image = blankImage(40, 40, Qt::magenta);
    QPainter painter(&image);
    paintBackground(painter, QRectF(0, 0, 40, 0), 3.0);
    paintBackground(painter, QRectF(0, 0, 0, 40), 3.0);
    paintSoftGlow(painter, BackgroundGlow{{20, 20}, 0.0, Qt::white});
    paintSoftGlow(painter, BackgroundGlow{{20, 20}, -5.0, Qt::white},
                  GlowRendering::stackedEllipses);
    painter.end();
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::magenta));
}

TEST(BackgroundView, PaintsTheSceneAndRepaintsOnlyWhileShown) {
    BackgroundView view;
    view.resize(320, 200);
    const QImage picture = view.grab().toImage();
    EXPECT_LE(channelDistance(picture.pixelColor(1, 199), rgbLevels(0.025, 0.051, 0.055)), 1);
    EXPECT_LE(channelDistance(picture.pixelColor(1, 0), rgbLevels(0.07, 0.1225, 0.136)), 1);

    auto* timer = view.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    view.show();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 50);
    view.hide();
    EXPECT_FALSE(timer->isActive());
}
