// The cheap ways of painting the background give the picture of the plain ones: fills and copies
// in bands, the kept wave line, and a view that repaints only its glows between whole frames.

#include "overlay/BackgroundPainter.h"
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

// Largest difference of any channel over two images of the same size.
int worstDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max(worst, channelDistance(a.pixelColor(x, y), b.pixelColor(x, y)));
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
    // The view repaints its whole area every tenth frame (0.5 s); in between only the glows.
    // That is only invisible while no gradient colour moves by a level in half a second.
    const QRectF bounds(0, 0, 1920, 1080);
    double fastest = 0.0;
    for (double t = 0.0; t < 108.0; t += 0.05) {
        const BackgroundScene now = backgroundSceneAt(bounds, t);
        const BackgroundScene later = backgroundSceneAt(bounds, t + 0.5);
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

TEST(BackgroundRepaint, FramesRepaintTheGlowsAndEveryTenthTheWholeView) {
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
    for (int frame = 0; frame < 30; ++frame) {
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
    EXPECT_EQ(partial, 27);
}
