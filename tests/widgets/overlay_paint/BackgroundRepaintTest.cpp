// The cheap ways of painting the background give the picture of the plain ones: fills and copies
// in bands, the kept wave line, and a view that repaints only its glows between whole frames.

#include "content/RestPanelDesign.h"
#include "overlay/BackgroundDamage.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/BackgroundRaster.h"
#include "overlay/BackgroundView.h"
#include "overlay/BandedPainting.h"
#include "widgets/overlay_paint/PaintTestSupport.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace lumatide;
using namespace lumatide::test;

namespace {

// Largest difference of any colour channel over two opaque 32-bit images of the same size.
int worstDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max({worst, std::abs(qRed(rowA[x]) - qRed(rowB[x])),
                              std::abs(qGreen(rowA[x]) - qGreen(rowB[x])),
                              std::abs(qBlue(rowA[x]) - qBlue(rowB[x]))});
        }
    }
    return worst;
}

QImage imageAtRatio(int width, int height, double ratio) {
    QImage image =
        blankImage(static_cast<int>(width * ratio), static_cast<int>(height * ratio), Qt::magenta);
    image.setDevicePixelRatio(ratio);
    return image;
}

// Collects the regions of the paint events a widget receives.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        }
        return QObject::eventFilter(watched, event);
    }
    std::vector<QRegion> regions;
};

} // namespace

TEST(BandedPainting, BandsGiveThePictureOfOneOperation) {
    // At fractional pixel densities the band edges fall between device pixels: a seam there
    // would show as a line of double-blended or missing pixels.
    for (double ratio : {1.0, 1.5, 2.0}) {
        QLinearGradient gradient(QPointF(0, 300), QPointF(0, 0));
        gradient.setColorAt(0.0, QColor(10, 20, 30));
        gradient.setColorAt(1.0, QColor(40, 90, 120, 200));
        const QRectF area(3.25, 7.5, 200.5, 283.25);

        QImage whole = imageAtRatio(210, 300, ratio);
        QImage banded = whole.copy();
        QPainter(&whole).fillRect(area, gradient);
        {
            QPainter painter(&banded);
            fillInBands(painter, area, gradient);
        }
        EXPECT_EQ(worstDifference(whole, banded), 0) << "fill at ratio " << ratio;

        // A translucent image copied over a backdrop, as the kept pose sheet is.
        QImage sprite = imageAtRatio(120, 230, ratio);
        sprite.fill(Qt::transparent);
        {
            QPainter painter(&sprite);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(QColor(250, 240, 200, 90));
            painter.setPen(QPen(QColor(255, 255, 255, 180), 3.0));
            painter.drawEllipse(QRectF(5, 5, 110, 220));
        }
        QImage copied = whole.copy();
        QImage copiedInBands = whole.copy();
        QPainter(&copied).drawImage(QPointF(40, 31), sprite);
        {
            QPainter painter(&copiedInBands);
            drawImageInBands(painter, QPointF(40, 31), sprite);
        }
        EXPECT_EQ(worstDifference(copied, copiedInBands), 0) << "copy at ratio " << ratio;
        EXPECT_GT(worstDifference(whole, copied), 100) << "the sprite was drawn";
    }
}

TEST(BackgroundRepaint, KeptWaveLineMatchesTheStroke) {
    for (double ratio : {1.0, 2.0}) {
        const QRectF bounds(0, 0, 640, 400);
        QImage stroked = imageAtRatio(640, 400, ratio);
        QImage kept = stroked.copy();
        QImage withoutWave = stroked.copy();
        const WaveLineImage wave = renderWaveLine(bounds, ratio);
        ASSERT_FALSE(wave.image.isNull());
        {
            QPainter painter(&stroked);
            paintBackground(painter, bounds, 5.0);
        }
        {
            QPainter painter(&kept);
            paintBackground(painter, bounds, 5.0, GlowRendering::radialGradient, QRectF(), &wave);
        }
        EXPECT_LE(worstDifference(stroked, kept), 1) << "at ratio " << ratio;

        // The wave is there at all: an image drawn for other bounds is not used, and one whose
        // line is blanked out leaves a visibly different picture.
        WaveLineImage blank = wave;
        blank.image.fill(Qt::transparent);
        {
            QPainter painter(&withoutWave);
            paintBackground(painter, bounds, 5.0, GlowRendering::radialGradient, QRectF(), &blank);
        }
        EXPECT_GE(worstDifference(stroked, withoutWave), 4) << "at ratio " << ratio;
    }
}

TEST(BackgroundRepaint, GradientMovesLessThanALevelBetweenWholeRepaints) {
    // The view repaints its whole area once in so many frames; in between only the glows.
    // That is only invisible while no gradient colour moves by half a level in between.
    const double between = BackgroundView::framesPerWholeRepaint * backgroundAnimationFrameRate;
    const QRectF bounds(0, 0, 1920, 1080);
    double fastest = 0.0;
    for (double t = 0.0; t < 108.0; t += 0.05) {
        const BackgroundScene now = backgroundSceneAt(bounds, t);
        const BackgroundScene later = backgroundSceneAt(bounds, t + between);
        for (const auto& [a, b] : {std::pair{now.bottomColor, later.bottomColor},
                                   std::pair{now.topColor, later.topColor}}) {
            fastest = std::max<double>({fastest, std::abs(a.redF() - b.redF()),
                                        std::abs(a.greenF() - b.greenF()),
                                        std::abs(a.blueF() - b.blueF())});
        }
    }
    EXPECT_LT(fastest * 255.0, 0.5);
    EXPECT_GT(fastest * 255.0, 0.05) << "the gradient does move";
}

TEST(BackgroundRepaint, FramesRepaintTheGlowsAndNowAndThenTheWholeView) {
    BackgroundView view;
    view.resize(640, 400);
    PaintRecorder recorder;
    view.installEventFilter(&recorder);
    view.show();
    QCoreApplication::processEvents();
    auto* timer = view.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    timer->stop(); // frames are driven by hand below

    int whole = 0;
    int partial = 0;
    const int frames = 3 * BackgroundView::framesPerWholeRepaint;
    for (int frame = 0; frame < frames; ++frame) {
        recorder.regions.clear();
        QMetaObject::invokeMethod(timer, "timeout");
        QCoreApplication::processEvents();
        ASSERT_EQ(recorder.regions.size(), 1u) << "frame " << frame;
        const QRegion& region = recorder.regions.front();
        if (QRegion(view.rect()).subtracted(region).isEmpty()) {
            ++whole;
            continue;
        }
        ++partial;
        // Both glows, and nothing of the corners, which only the gradient reaches.
        const BackgroundScene scene = backgroundSceneAt(QRectF(view.rect()), 0.0);
        EXPECT_TRUE(region.contains(scene.upperGlow.center.toPoint()));
        EXPECT_TRUE(region.contains(scene.lowerGlow.center.toPoint()));
        EXPECT_FALSE(region.contains(QPoint(2, 2)));
        EXPECT_FALSE(region.contains(QPoint(637, 397)));
    }
    EXPECT_EQ(whole, 3);
    EXPECT_EQ(partial, frames - 3);
}

// A screen that only ever repaints the regions of its frames, and all of itself now and then
// as the view does, stays within a level of the whole picture of each instant. Regions
// that left out a fifth of each glow's radius would leave marks behind.
TEST(BackgroundRepaint, GlowRegionsKeepTheScreenWithinALevel) {
    const QRectF bounds(0, 0, 640, 400);
    const double frame = 0.05;
    for (double start : {0.0, 9.0, 26.0}) { // fastest drift, fastest swell, drift turning
        QImage screen = imageAtRatio(640, 400, 1.0);
        QImage shrunk = imageAtRatio(640, 400, 1.0);
        BackgroundRaster(bounds, 1.0, start).paint(screen, 0, screen.rect());
        BackgroundRaster(bounds, 1.0, start).paint(shrunk, 0, shrunk.rect());
        const auto shrunkRegion = [&](double t) {
            BackgroundScene scene = backgroundSceneAt(bounds, t);
            scene.upperGlow.radius *= 0.8;
            scene.lowerGlow.radius *= 0.8;
            return glowRegion(scene, bounds);
        };
        QRegion before = glowRegion(backgroundSceneAt(bounds, start), bounds);
        QRegion shrunkBefore = shrunkRegion(start);
        int worst = 0;
        int worstShrunk = 0;
        for (int n = 1; n <= 60; ++n) {
            const double t = start + n * frame;
            const bool whole = n % BackgroundView::framesPerWholeRepaint == 0;
            const QRegion now = glowRegion(backgroundSceneAt(bounds, t), bounds);
            const QRegion region = whole ? QRegion(screen.rect())
                                         : glowRegion(backgroundSceneAt(bounds, t),
                                                      backgroundSceneAt(bounds, t - frame), bounds);
            EXPECT_EQ(whole ? region : now.united(before), region) << "the union of both";
            const QRegion shrunkNow = shrunkRegion(t);
            for (const QRect& rect : region) {
                BackgroundRaster(bounds, 1.0, t).paint(screen, 0, rect);
            }
            for (const QRect& rect : whole ? region : shrunkNow.united(shrunkBefore)) {
                BackgroundRaster(bounds, 1.0, t).paint(shrunk, 0, rect);
            }
            before = now;
            shrunkBefore = shrunkNow;
            QImage picture = imageAtRatio(640, 400, 1.0);
            BackgroundRaster(bounds, 1.0, t).paint(picture, 0, picture.rect());
            worst = std::max(worst, worstDifference(screen, picture));
            worstShrunk = std::max(worstShrunk, worstDifference(shrunk, picture));
            // Strips of rows, one or two rectangles each: a cheap region to flush.
            EXPECT_LE(region.rectCount(), 2 * 400 / glowStripHeight);
        }
        EXPECT_LE(worst, 1) << "from " << start << " s";
        EXPECT_GT(worstShrunk, 1) << "from " << start << " s";
    }
}

TEST(BackgroundRepaint, GlowRegionLeavesOutOnlyTheFaintRim) {
    const QRectF bounds(0, 0, 1920, 1080);
    for (double t = 0.0; t < 36.0; t += 4.5) {
        const BackgroundScene scene = backgroundSceneAt(bounds, t);
        const double upper = visibleGlowExtent(
            scene.upperGlow, {scene.bottomColor, scene.topColor, scene.lowerGlow.color});
        const double lower =
            visibleGlowExtent(scene.lowerGlow, {scene.bottomColor, scene.topColor});
        // The outer bands are nearly clear, the rest shows.
        EXPECT_GT(upper, 0.8) << t;
        EXPECT_LT(upper, 1.0) << t;
        EXPECT_GT(lower, 0.75) << t;
        EXPECT_LT(lower, 1.0) << t;
        const QRegion region = glowRegion(scene, bounds);
        EXPECT_TRUE(region.contains(scene.upperGlow.center.toPoint()));
        EXPECT_TRUE(region.contains(scene.lowerGlow.center.toPoint()));
        // The corners of the glows' bounding boxes are left out.
        const QRect box = glowBoundingRect(scene.upperGlow).toAlignedRect();
        EXPECT_FALSE(region.contains(box.topLeft() + QPoint(4, 4))) << t;
        EXPECT_FALSE(region.contains(box.topRight() + QPoint(-4, 4))) << t;
    }
    // A glow over its own colour changes nothing.
    BackgroundGlow glow{QPointF(10, 10), 100.0, QColor::fromRgbF(0.2f, 0.4f, 0.5f, 0.2f)};
    EXPECT_EQ(visibleGlowExtent(glow, {QColor::fromRgbF(0.2f, 0.4f, 0.5f)}), 0.0);
}

// Into an image of its own size the view writes its rows straight into the image; anywhere
// else they go through a band and a copy. Both give the same picture, and only where asked.
TEST(BackgroundRepaint, RowsGoStraightIntoTheImageOrThroughABand) {
    BackgroundView view; // never shown: the frame of its first instant
    view.resize(320, 200);
    QImage straight(320, 200, QImage::Format_RGB32);
    straight.fill(Qt::magenta);
    view.render(&straight);
    QImage moved(360, 240, QImage::Format_RGB32);
    moved.fill(Qt::magenta);
    view.render(&moved, QPoint(20, 30));

    EXPECT_EQ(worstDifference(straight, moved.copy(20, 30, 320, 200)), 0);
    EXPECT_EQ(moved.pixelColor(10, 10), QColor(Qt::magenta));
    EXPECT_EQ(moved.pixelColor(350, 235), QColor(Qt::magenta));

    QImage expected(320, 200, QImage::Format_RGB32);
    BackgroundRaster(QRectF(0, 0, 320, 200), 1.0, 0.0).paint(expected, 0, expected.rect());
    {
        QPainter painter(&expected);
        paintWaveLine(painter, QRectF(0, 0, 320, 200));
    }
    EXPECT_LE(worstDifference(straight, expected), 1);

    // A part, placed at the image's corner: the rest of the image is left alone.
    QImage part(320, 200, QImage::Format_RGB32);
    part.fill(Qt::magenta);
    view.render(&part, QPoint(), QRegion(40, 50, 100, 60));
    EXPECT_EQ(part.pixelColor(100, 30), QColor(Qt::magenta));
    EXPECT_EQ(part.pixelColor(50, 60), QColor(Qt::magenta));
    EXPECT_EQ(part.copy(0, 0, 100, 60), straight.copy(40, 50, 100, 60));
}

TEST(BackgroundRaster, RowRunsGiveThePainterPicture) {
    // The painter's glows are Qt gradient fills sampled at pixel centres; the raster computes
    // the same bands and blends in floating point. They may differ by a level of rounding
    // anywhere and by a band where a pixel centre sits right on a band's rim.
    for (double ratio : {1.0, 2.0}) {
        for (double seconds : {0.0, 9.0, 13.5, 27.0, 40.5}) {
            const QRectF bounds(0, 0, 800, 500);
            const WaveLineImage noWave{[&] {
                                           QImage blank = imageAtRatio(8, 8, ratio);
                                           blank.fill(Qt::transparent);
                                           return blank;
                                       }(),
                                       QPointF(0, 0), bounds};
            QImage painted = imageAtRatio(800, 500, ratio);
            {
                QPainter painter(&painted);
                paintBackground(painter, bounds, seconds, GlowRendering::radialGradient, QRectF(),
                                &noWave);
            }
            QImage rastered = imageAtRatio(800, 500, ratio);
            BackgroundRaster(bounds, ratio, seconds).paint(rastered, 0, rastered.rect());

            int worst = 0;
            long long offByMore = 0;
            for (int y = 0; y < painted.height(); ++y) {
                for (int x = 0; x < painted.width(); ++x) {
                    const int d =
                        channelDistance(painted.pixelColor(x, y), rastered.pixelColor(x, y));
                    worst = std::max(worst, d);
                    offByMore += d > 1 ? 1 : 0;
                }
            }
            const double share =
                static_cast<double>(offByMore) / (painted.width() * painted.height());
            EXPECT_LE(worst, 6) << seconds << " s at ratio " << ratio;
            // About 0.15 % of the pixels: Qt looks its gradients up in a table of 1024 steps,
            // which moves each rim by up to a tenth of a pixel here.
            EXPECT_LT(share, 0.003) << seconds << " s at ratio " << ratio;
        }
    }
}

TEST(BackgroundRaster, BandsAndPartsPaintWhatTheWholePaints) {
    const QRectF bounds(0, 0, 640, 400);
    QImage whole = imageAtRatio(640, 400, 1.0);
    BackgroundRaster(bounds, 1.0, 7.3).paint(whole, 0, whole.rect());

    // In bands of 32 rows, as the view paints, through an image one band high.
    QImage band(640, 32, QImage::Format_RGB32);
    QImage assembled = imageAtRatio(640, 400, 1.0);
    for (int top = 0; top < 400; top += 32) {
        BackgroundRaster(bounds, 1.0, 7.3).paint(band, top, QRect(0, top, 640, 32));
        QPainter(&assembled).drawImage(QPoint(0, top), band);
    }
    EXPECT_EQ(worstDifference(whole, assembled), 0);

    // Through a painter at a fractional density, band by band as the view does it.
    for (double ratio : {1.5, 2.0}) {
        QImage wholeAtRatio = imageAtRatio(640, 400, ratio);
        BackgroundRaster(bounds, ratio, 7.3).paint(wholeAtRatio, 0, wholeAtRatio.rect());
        QImage painted = imageAtRatio(640, 400, ratio);
        QImage ratioBand(painted.width(), 32, QImage::Format_RGB32);
        ratioBand.setDevicePixelRatio(ratio);
        QPainter painter(&painted);
        for (int top = 0; top < painted.height(); top += 32) {
            const QRect rows(0, top, painted.width(), std::min(32, painted.height() - top));
            BackgroundRaster(bounds, ratio, 7.3).paint(ratioBand, top, rows);
            drawImageInBands(painter, QPointF(0, top / ratio), ratioBand, rows.translated(0, -top));
        }
        painter.end();
        EXPECT_EQ(worstDifference(wholeAtRatio, painted), 0) << "at ratio " << ratio;
    }

    // A part leaves the rest of the image alone.
    QImage part = imageAtRatio(640, 400, 1.0);
    BackgroundRaster(bounds, 1.0, 7.3).paint(part, 0, QRect(100, 50, 200, 120));
    EXPECT_EQ(part.pixelColor(99, 100), QColor(Qt::magenta));
    EXPECT_EQ(part.pixelColor(300, 100), QColor(Qt::magenta));
    EXPECT_EQ(part.pixelColor(150, 170), QColor(Qt::magenta));
    EXPECT_EQ(part.pixelColor(150, 100), whole.pixelColor(150, 100));
    EXPECT_EQ(part.copy(100, 50, 200, 120), whole.copy(100, 50, 200, 120));
}
