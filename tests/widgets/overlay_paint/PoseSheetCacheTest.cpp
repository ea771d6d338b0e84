#include "overlay/PoseSheetCache.h"

#include "content/RestPanelDesign.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/PoseSheetPainter.h"
#include "widgets/overlay_paint/PaintTestSupport.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using namespace lumatide;
using namespace lumatide::test;

namespace {

// A rest panel's figure over its background, at a device pixel ratio.
struct Frame {
    QSize size;
    double ratio = 1.0;
    ActionKind kind = ActionKind::taiChi;
    AppLanguage language = AppLanguage::english;
    double seconds = 0.0; // since the step loop began
    double offset = 0.0;  // float, points upward
};

QImage backdrop(const Frame& frame) {
    QImage image(QSize(static_cast<int>(frame.size.width() * frame.ratio),
                       static_cast<int>(frame.size.height() * frame.ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(frame.ratio);
    QPainter painter(&image);
    paintBackground(painter, QRectF(QPointF(0, 0), frame.size), 7.0 + frame.seconds);
    return image;
}

// How the sheet was drawn before it was kept: everything, every frame, moved by the float.
QImage drawnDirectly(const Frame& frame) {
    QImage image = backdrop(frame);
    QPainter painter(&image);
    painter.translate(0.0, -snappedFloatOffset(frame.offset, frame.ratio));
    paintPoseSheet(painter, QRectF(QPointF(0, 0), frame.size), frame.kind, frame.language,
                   frame.seconds);
    return image;
}

QImage drawnFromCache(PoseSheetCache& cache, const Frame& frame) {
    QImage image = backdrop(frame);
    QPainter painter(&image);
    cache.paint(painter, QRectF(QPointF(0, 0), frame.size), frame.kind, frame.language,
                frame.seconds, frame.offset);
    return image;
}

struct Difference {
    int largest = 0;      // in 8-bit levels, over every channel
    int overOneLevel = 0; // pixels more than one level apart
};

Difference compare(const QImage& a, const QImage& b) {
    Difference difference;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(rowA[x]) - qRed(rowB[x])),
                                    std::abs(qGreen(rowA[x]) - qGreen(rowB[x])),
                                    std::abs(qBlue(rowA[x]) - qBlue(rowB[x])),
                                    std::abs(qAlpha(rowA[x]) - qAlpha(rowB[x]))});
            difference.largest = std::max(difference.largest, d);
            difference.overOneLevel += d > 1 ? 1 : 0;
        }
    }
    return difference;
}

// The copy matches the direct drawing within one level, except for a few pixels two levels
// apart: the sheet's translucent layers (a cell's fill, its outline, a bear's lines) are first
// composited onto each other in the kept 8-bit image and then onto the background, rather than
// onto the background one by one, so the rounding to 8 bits happens in another order where
// two or more of them overlap on antialiased edges (1 to 2 pixels in 10,000).
::testing::AssertionResult looksTheSame(const QImage& a, const QImage& b) {
    const Difference d = compare(a, b);
    const int pixels = a.width() * a.height();
    if (a.size() == b.size() && d.largest <= 2 && d.overOneLevel * 2000 <= pixels) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "largest difference " << d.largest << ", " << d.overOneLevel << " of " << pixels
           << " pixels more than one level apart";
}

QSize figureSize(int screenWidth, int screenHeight) {
    return QSize(static_cast<int>(std::min(figureWidthRatio * screenWidth, figureMaxWidth)),
                 static_cast<int>(std::min(figureHeightRatio * screenHeight, figureMaxHeight)));
}

} // namespace

TEST(PoseSheetCache, FloatMovesByWholeDevicePixels) {
    EXPECT_DOUBLE_EQ(snappedFloatOffset(1.4, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(snappedFloatOffset(-1.6, 1.0), -2.0);
    EXPECT_DOUBLE_EQ(snappedFloatOffset(1.4, 2.0), 1.5);
    EXPECT_DOUBLE_EQ(snappedFloatOffset(-0.2, 2.0), 0.0);
    EXPECT_DOUBLE_EQ(snappedFloatOffset(0.7, 1.5), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(snappedFloatOffset(1.4, 0.0), 1.0); // no ratio counts as 1
    EXPECT_DOUBLE_EQ(snappedFloatOffset(figureFloatOffset(0.0), 1.0), -2.0);
}

// The kept sheet copied over the background gives the picture of drawing it all each frame, on
// a wide and a narrow figure, at one and two device pixels a point, across steps and floats.
TEST(PoseSheetCache, CopiesLookLikeDrawingEveryFrame) {
    struct Instant {
        double seconds;
        double offset;
    };
    const std::vector<Instant> instants{{0.5, -2.0}, {2.9, -1.3},  {3.0, 0.4},
                                        {10.2, 1.0}, {13.0, 1.76}, {23.9, 2.0}};
    struct Target {
        QSize size;
        double ratio;
    };
    for (const Target target : {Target{figureSize(1920, 1080), 1.0},
                                Target{figureSize(1024, 768), 2.0}, Target{QSize(420, 520), 1.0}}) {
        PoseSheetCache cache;
        for (const Instant& at : instants) {
            Frame frame{target.size,          target.ratio, ActionKind::taiChi,
                        AppLanguage::english, at.seconds,   at.offset};
            const QImage direct = drawnDirectly(frame);
            const QImage copied = drawnFromCache(cache, frame);
            EXPECT_TRUE(looksTheSame(direct, copied))
                << target.size.width() << "x" << target.size.height() << " at " << target.ratio
                << ", " << at.seconds << " s, float " << at.offset;
            if (at.seconds == 13.0) {
                saveArtifact(copied, QStringLiteral("sheet-copied-%1x%2-at-%3")
                                         .arg(target.size.width())
                                         .arg(target.size.height())
                                         .arg(target.ratio));
            }
        }
        // One drawing, then the changed cells of steps 1, 3, 4 and 7, whatever the float did.
        EXPECT_EQ(cache.renderCount(), 1);
        EXPECT_EQ(cache.cellRedrawCount(), 4);
    }
}

// Redrawing only the cells a new step changes leaves the kept sheet exactly as drawing it all
// anew would, through a whole loop of steps, wide and narrow, at whole and fractional ratios.
TEST(PoseSheetCache, NewStepRedrawsCellsToTheWholeSheet) {
    struct Target {
        QSize size;
        double ratio;
    };
    for (const Target target : {Target{QSize(900, 420), 1.0}, Target{QSize(420, 560), 1.5},
                                Target{QSize(700, 380), 2.0}}) {
        const QRectF bounds(QPointF(0, 0), target.size);
        const auto canvas = [&] {
            QImage image(QSize(static_cast<int>(std::ceil(target.size.width() * target.ratio)),
                               static_cast<int>(std::ceil(target.size.height() * target.ratio))),
                         QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(target.ratio);
            image.fill(Qt::transparent);
            return image;
        };
        PoseSheetCache cache;
        int changedSteps = 0;
        QImage previous;
        for (int step = 0; step <= poseSheetCellCount; ++step) { // back to step 0 at the end
            const double seconds = motionStepDuration * (step % poseSheetCellCount) + 0.5 +
                                   (step == poseSheetCellCount ? 24.0 : 0.0);
            QImage kept = canvas();
            {
                QPainter painter(&kept);
                cache.paint(painter, bounds, ActionKind::stretch, AppLanguage::german, seconds,
                            0.0);
            }
            QImage drawn = canvas();
            {
                QPainter painter(&drawn);
                paintPoseSheet(painter, bounds, ActionKind::stretch, AppLanguage::german, seconds);
            }
            EXPECT_EQ(compare(kept, drawn).largest, 0)
                << target.size.width() << "x" << target.size.height() << " at " << target.ratio
                << ", step " << step;
            if (!previous.isNull() && compare(kept, previous).overOneLevel > 100) {
                ++changedSteps;
            }
            previous = kept;
        }
        EXPECT_EQ(changedSteps, poseSheetCellCount) << "every step moves the highlight";
        EXPECT_EQ(cache.renderCount(), 1);
        EXPECT_EQ(cache.cellRedrawCount(), poseSheetCellCount);
    }
}

TEST(PoseSheetCache, DrawsAgainOnlyWhenTheSheetChanges) {
    PoseSheetCache cache;
    Frame frame{QSize(600, 300), 1.0, ActionKind::drink, AppLanguage::english, 0.5, 0.0};
    drawnFromCache(cache, frame);
    frame.offset = 1.0;
    frame.seconds = 2.5;
    drawnFromCache(cache, frame);
    EXPECT_EQ(cache.renderCount(), 1);

    frame.kind = ActionKind::breathe;
    const QImage breathe = drawnFromCache(cache, frame);
    EXPECT_EQ(cache.renderCount(), 2);
    EXPECT_TRUE(looksTheSame(breathe, drawnDirectly(frame)));

    frame.language = AppLanguage::japanese;
    const QImage japanese = drawnFromCache(cache, frame);
    EXPECT_EQ(cache.renderCount(), 3);
    EXPECT_TRUE(looksTheSame(japanese, drawnDirectly(frame)));
    EXPECT_GT(compare(japanese, breathe).overOneLevel, 100); // the title changed

    frame.size = QSize(300, 600); // now narrow: 2 x 4 cells
    const QImage narrow = drawnFromCache(cache, frame);
    EXPECT_EQ(cache.renderCount(), 4);
    EXPECT_TRUE(looksTheSame(narrow, drawnDirectly(frame)));

    frame.ratio = 2.0;
    const QImage sharp = drawnFromCache(cache, frame);
    EXPECT_EQ(cache.renderCount(), 5);
    EXPECT_TRUE(looksTheSame(sharp, drawnDirectly(frame)));

    // A view not sized yet: nothing to draw, and nothing breaks.
    QImage image = blankImage(10, 10);
    QPainter painter(&image);
    cache.paint(painter, QRectF(), frame.kind, frame.language, frame.seconds, frame.offset);
    EXPECT_EQ(cache.renderCount(), 5);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
}
