// SPDX-License-Identifier: GPL-3.0-or-later
// The rest panel's drawing. Its cheap ways (background rows painted as runs, repaints of the
// glows only, copies in bands, a kept pose sheet copied each frame) must give the picture of
// the plain ways, at whole and fractional pixel densities.

#include "content/RestPanelDesign.h"
#include "overlay/BackgroundDamage.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/BackgroundRaster.h"
#include "overlay/BackgroundView.h"
#include "overlay/BandedPainting.h"
#include "overlay/FigureView.h"
#include "overlay/PoseSheetCache.h"
#include "overlay/PoseSheetPainter.h"
#include "widgets/WidgetTestSupport.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace lumatide::test {
namespace {

QImage canvas(QSizeF size, double ratio, QColor fill = Qt::magenta) {
    QImage image(static_cast<int>(std::ceil(size.width() * ratio)),
                 static_cast<int>(std::ceil(size.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    return image;
}

// Largest difference of any channel of two images, in 8-bit levels; counts the pixels more
// than a level apart if asked.
int largest(const QImage& a, const QImage& b, long* apart = nullptr) {
    int d = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int most = std::max({std::abs(qRed(rowA[x]) - qRed(rowB[x])),
                                       std::abs(qGreen(rowA[x]) - qGreen(rowB[x])),
                                       std::abs(qBlue(rowA[x]) - qBlue(rowB[x])),
                                       std::abs(qAlpha(rowA[x]) - qAlpha(rowB[x]))});
            d = std::max(d, most);
            if (apart != nullptr && most > 1) {
                ++*apart;
            }
        }
    }
    return d;
}

QImage raster(QSizeF size, double ratio, double seconds) {
    QImage image = canvas(size, ratio);
    BackgroundRaster(QRectF(QPointF(0, 0), size), ratio, seconds).paint(image, 0, image.rect());
    return image;
}

TEST(BackgroundRaster, BandByBandPaintsWhatTheWholePaints) {
    const QSizeF size(640, 400);
    // Band by band through an image one band high and a painter, as the view does it.
    for (double ratio : {1.0, 1.5, 2.0}) {
        QImage painted = canvas(size, ratio);
        QImage band(painted.width(), 32, QImage::Format_RGB32);
        band.setDevicePixelRatio(ratio);
        QPainter painter(&painted);
        for (int top = 0; top < painted.height(); top += 32) {
            const QRect rows(0, top, painted.width(), std::min(32, painted.height() - top));
            BackgroundRaster(QRectF(QPointF(0, 0), size), ratio, 7.3).paint(band, top, rows);
            drawImageInBands(painter, QPointF(0, top / ratio), band, rows.translated(0, -top));
        }
        painter.end();
        EXPECT_EQ(largest(raster(size, ratio, 7.3), painted), 0) << "at ratio " << ratio;
    }
}

// The rows painted as runs give the picture the painter draws with its gradient glows. Qt looks
// a gradient up in a table of 1024 steps, which moves a band's rim by a fraction of a pixel:
// about 0.17 % of the pixels, on the rims, are up to 5 levels apart; the rest only round
// differently.
TEST(BackgroundRaster, PaintsThePictureOfThePainter) {
    const QSizeF size(800, 500);
    for (const double ratio : {1.0, 2.0}) {
        for (const double seconds : {0.0, 27.0}) {
            QImage painted = canvas(size, ratio);
            QPainter painter(&painted);
            paintBackground(painter, QRectF(QPointF(0, 0), size), seconds,
                            GlowRendering::radialGradient);
            painter.end();
            QImage expected = raster(size, ratio, seconds);
            painter.begin(&expected);
            paintWaveLine(painter, QRectF(QPointF(0, 0), size));
            painter.end();
            long apart = 0;
            EXPECT_LE(largest(painted, expected, &apart), 6) << seconds << " s at " << ratio;
            EXPECT_LE(apart, 0.003 * painted.width() * painted.height()) << apart;
        }
    }
}

// A screen that only ever repaints the regions of its frames, and all of itself now and then as
// the view does, stays within a level of the whole picture of each instant: a region that cut a
// glow short would leave marks behind.
TEST(BackgroundRepaint, GlowRegionsKeepTheScreenWithinALevel) {
    const QRectF bounds(0, 0, 640, 400);
    const double frame = backgroundAnimationFrameRate;
    for (double start : {0.0, 9.0, 26.0}) { // fastest drift, fastest swell, drift turning
        QImage screen = raster(bounds.size(), 1.0, start);
        for (int n = 1; n <= 60; ++n) {
            const double t = start + n * frame;
            const BackgroundScene now = backgroundSceneAt(bounds, t);
            const BackgroundScene before = backgroundSceneAt(bounds, t - frame);
            const QRegion region = n % BackgroundView::framesPerWholeRepaint == 0
                                       ? QRegion(screen.rect())
                                       : glowRegion(now, before, bounds);
            for (const QRect& rect : region) {
                BackgroundRaster(bounds, 1.0, t).paint(screen, 0, rect);
            }
            ASSERT_LE(largest(screen, raster(bounds.size(), 1.0, t)), 1) << start << " s + " << n;
            // Strips of rows, one or two rectangles each: a cheap region to flush.
            EXPECT_LE(region.rectCount(), 2 * 400 / glowStripHeight);
        }
    }
}

// Collects the regions of the paint events a widget receives.
struct PaintRecorder : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        }
        return QObject::eventFilter(watched, event);
    }
    std::vector<QRegion> regions;
};

TEST(BackgroundView, WhileShownFramesRepaintTheGlowsAndNowAndThenTheWholeView) {
    BackgroundView view;
    view.resize(640, 400);
    PaintRecorder recorder;
    view.installEventFilter(&recorder);
    auto* timer = view.findChild<QTimer*>();
    view.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(timer->isActive());
    timer->stop(); // frames are driven by hand below
    const BackgroundScene scene = backgroundSceneAt(QRectF(view.rect()), 0.0);
    int whole = 0;
    for (int frame = 0; frame < 3 * BackgroundView::framesPerWholeRepaint; ++frame) {
        recorder.regions.clear();
        QMetaObject::invokeMethod(timer, "timeout");
        QCoreApplication::processEvents();
        ASSERT_EQ(recorder.regions.size(), 1U) << "frame " << frame;
        const QRegion& region = recorder.regions.front();
        if (QRegion(view.rect()).subtracted(region).isEmpty()) {
            ++whole;
            continue;
        }
        // Both glows, and nothing of the corners, which only the gradient reaches.
        EXPECT_TRUE(region.contains(scene.upperGlow.center.toPoint()));
        EXPECT_TRUE(region.contains(scene.lowerGlow.center.toPoint()));
        EXPECT_FALSE(region.contains(QPoint(2, 2)));
    }
    EXPECT_EQ(whole, 3);
    timer->start();
    view.hide();
    EXPECT_FALSE(timer->isActive());
}

// Into an image of its own size the view writes its rows straight into the image; anywhere
// else they go through a band and a copy. Both give the same picture, and only where asked.
TEST(BackgroundView, RowsGoStraightIntoTheImageOrThroughABand) {
    BackgroundView view; // never shown: the frame of its first instant
    view.resize(320, 200);
    QImage straight(320, 200, QImage::Format_RGB32);
    view.render(&straight);
    QImage moved(360, 240, QImage::Format_RGB32);
    moved.fill(Qt::magenta);
    view.render(&moved, QPoint(20, 30));
    EXPECT_EQ(largest(straight, moved.copy(20, 30, 320, 200)), 0);

    QImage expected = raster(QSizeF(320, 200), 1.0, 0.0).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&expected);
    paintWaveLine(painter, QRectF(0, 0, 320, 200));
    painter.end();
    EXPECT_LE(largest(straight, expected), 1);

    QImage part(320, 200, QImage::Format_RGB32);
    part.fill(Qt::magenta);
    view.render(&part, QPoint(), QRegion(40, 50, 100, 60));
    EXPECT_EQ(part.pixelColor(100, 30), QColor(Qt::magenta));
    EXPECT_EQ(part.pixelColor(50, 60), QColor(Qt::magenta));
    EXPECT_EQ(part.copy(0, 0, 100, 60), straight.copy(40, 50, 100, 60));
}

TEST(PoseSheet, HighlightWalksThroughTheCellsInBothLayouts) {
    for (const QSize size : {QSize(1181, 504), QSize(560, 820)}) {
        const PoseSheetLayout layout = poseSheetLayout(QRectF(QPointF(0, 0), size));
        const std::pair<int, int> strengths[] = {{0, 40}, {45, 95}, {110, 255}};
        for (int k = 0; k < poseSheetCellCount; ++k) {
            QImage image = canvas(size, 1.0, Qt::black);
            QPainter painter(&image);
            paintPoseSheet(painter, QRectF(QPointF(0, 0), size), ActionKind::reach,
                           AppLanguage::english, 3.0 * k + 1.0);
            painter.end();
            for (int i = 0; i < poseSheetCellCount; ++i) {
                // Brightest blue across the cell's left border, halfway down: the current step
                // is drawn strongest, the next one lighter, the rest faint.
                const QRect cell = layout.cells.at(static_cast<std::size_t>(i)).toRect();
                int strength = 0;
                for (int x = cell.left() - 3; x <= cell.left() + 3; ++x) {
                    strength = std::max(strength, image.pixelColor(x, cell.center().y()).blue());
                }
                const int emphasis = i == k ? 2 : i == (k + 1) % poseSheetCellCount ? 1 : 0;
                const auto [least, most] = strengths[emphasis];
                EXPECT_TRUE(strength >= least && strength <= most) << i << " at step " << k;
            }
        }
    }
}

// A rest panel's figure over its background, drawn all anew or copied from a kept sheet.
struct Frame {
    QSize size;
    double ratio;
    ActionKind kind;
    AppLanguage language;

    QImage drawn(double seconds, double offset, PoseSheetCache* cache) const {
        QImage image = raster(size, ratio, 7.0 + seconds);
        QPainter painter(&image);
        const QRectF bounds(QPointF(0, 0), size);
        if (cache != nullptr) {
            cache->paint(painter, bounds, kind, language, seconds, offset);
            return image;
        }
        painter.translate(0.0, -snappedFloatOffset(offset, ratio));
        paintPoseSheet(painter, bounds, kind, language, seconds);
        return image;
    }
};

// The kept sheet copied over the background gives the picture of drawing it all each frame,
// through a whole loop of steps and floats, wide and narrow, at whole and fractional ratios,
// within two levels: its translucent layers are composited onto each other in the kept 8-bit
// image first, so the rounding comes in another order where they overlap on edges. The sheet
// is drawn again only when its size, ratio, kind or language changes; a new step redraws only
// its changed cells.
TEST(PoseSheetCache, CopiesLookLikeDrawingEveryFrame) {
    const Frame frames[] = {{QSize(839, 430), 1.0, ActionKind::taiChi, AppLanguage::english},
                            {QSize(839, 430), 2.0, ActionKind::taiChi, AppLanguage::english},
                            {QSize(420, 520), 1.5, ActionKind::taiChi, AppLanguage::english},
                            {QSize(420, 520), 1.5, ActionKind::breathe, AppLanguage::english},
                            {QSize(420, 520), 1.5, ActionKind::breathe, AppLanguage::japanese}};
    PoseSheetCache cache;
    int renders = 0;
    for (const Frame& frame : frames) {
        const int redraws = cache.cellRedrawCount();
        for (int step = 0; step <= poseSheetCellCount; ++step) { // back to step 0 at the end
            const double seconds = motionStepDuration * step + 0.4 * (step % 3);
            const double offset = 2.0 * std::sin(step); // the float, points upward
            const QImage copied = frame.drawn(seconds, offset, &cache);
            EXPECT_LE(largest(copied, frame.drawn(seconds, offset, nullptr)), 2)
                << frame.size.width() << " at " << frame.ratio << ", " << step;
        }
        EXPECT_EQ(cache.renderCount(), ++renders);
        EXPECT_EQ(cache.cellRedrawCount(), redraws + poseSheetCellCount);
    }
    // A view not sized yet: nothing to draw, and nothing breaks.
    QImage image = canvas(QSizeF(10, 10), 1.0);
    QPainter painter(&image);
    cache.paint(painter, QRectF(), ActionKind::drink, AppLanguage::english, 0.0, 0.0);
    EXPECT_EQ(cache.renderCount(), renders);
}

// A figure whose step loop runs on a hand-moved clock.
struct ManualFigure {
    double seconds = 0.0;
    std::unique_ptr<FigureView> view =
        std::make_unique<FigureView>([this] { return seconds; }, nullptr);

    ManualFigure() { view->resize(600, 300); }
    void tick() const {
        QMetaObject::invokeMethod(view->findChild<QTimer*>(), "timeout", Qt::DirectConnection);
    }
    // A step found while drawing is reported from the event loop just after.
    void draw() const {
        view->grab();
        QCoreApplication::sendPostedEvents();
    }
};

TEST(FigureView, ReportsEachStepChangeOnceAndTicksOnlyWhileShown) {
    ManualFigure figure;
    figure.seconds = 4.0;
    figure.tick(); // step 1, with nobody to tell
    std::vector<int> steps;
    figure.view->setOnStepChange([&steps](int step) { steps.push_back(step); });
    for (double at : {4.5, 6.2, 23.99, 24.0, 24.5}) {
        figure.seconds = at;
        figure.tick();
        figure.draw();
    }
    figure.seconds = 9.5; // a draw alone finds a new step too
    figure.draw();
    figure.draw();
    EXPECT_EQ(steps, (std::vector<int>{2, 7, 0, 3}));

    auto* timer = figure.view->findChild<QTimer*>();
    figure.view->show();
    EXPECT_TRUE(timer->isActive());
    figure.view->hide();
    EXPECT_FALSE(timer->isActive());
}

TEST(FigureView, TheStepCallbackMayTearTheViewDown) {
    for (const bool whileDrawing : {false, true}) {
        ManualFigure figure;
        const QPointer<FigureView> watched(figure.view.get());
        figure.view->setOnStepChange([&figure](int) { figure.view.reset(); });
        if (whileDrawing) {
            figure.view->grab();
            EXPECT_FALSE(watched.isNull()); // never torn down in the middle of its own paint
            QCoreApplication::sendPostedEvents();
        } else {
            figure.tick();
        }
        EXPECT_TRUE(watched.isNull());
    }
}

} // namespace
} // namespace lumatide::test
