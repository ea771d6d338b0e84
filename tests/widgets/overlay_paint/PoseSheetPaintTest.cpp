#include "content/Texts.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/BearPainter.h"
#include "overlay/PoseSheetPainter.h"
#include "widgets/overlay_paint/PaintTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;
using namespace lumatide::test;

namespace {

QImage renderSheet(QSize size, ActionKind kind, AppLanguage language, double seconds) {
    QImage image = blankImage(size.width(), size.height());
    QPainter painter(&image);
    paintPoseSheet(painter, QRectF(QPointF(0, 0), size), kind, language, seconds);
    return image;
}

QImage renderBear(ActionKind kind, double phase, bool active, bool next, int size = 200) {
    QImage image = blankImage(size, size, Qt::transparent);
    QPainter painter(&image);
    paintBear(painter, QRectF(0, 0, size, size), kind, phase, active, next);
    return image;
}

int paintedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y).alpha() > 0 ? 1 : 0;
        }
    }
    return count;
}

// Brightest blue across a cell's left border, halfway down: the border's strength.
int borderStrength(const QImage& image, const QRectF& cell) {
    const int y = static_cast<int>(cell.center().y());
    int strongest = 0;
    for (int x = static_cast<int>(cell.left()) - 3; x <= static_cast<int>(cell.left()) + 3; ++x) {
        strongest = std::max(strongest, image.pixelColor(x, y).blue());
    }
    return strongest;
}

QString kindName(ActionKind kind) {
    switch (kind) {
    case ActionKind::drink:
        return QStringLiteral("drink");
    case ActionKind::stretch:
        return QStringLiteral("stretch");
    case ActionKind::reach:
        return QStringLiteral("reach");
    case ActionKind::breathe:
        return QStringLiteral("breathe");
    case ActionKind::taiChi:
        return QStringLiteral("taichi");
    case ActionKind::yoga:
        return QStringLiteral("yoga");
    }
    return {};
}

} // namespace

TEST(PoseSheet, StepWalksEveryThreeSecondsOverTwentyFour) {
    EXPECT_EQ(poseStepIndex(0.0), 0);
    EXPECT_EQ(poseStepIndex(2.999), 0);
    EXPECT_EQ(poseStepIndex(3.0), 1);
    EXPECT_EQ(poseStepIndex(10.5), 3);
    EXPECT_EQ(poseStepIndex(23.999), 7);
    EXPECT_EQ(poseStepIndex(24.0), 0);
    EXPECT_EQ(poseStepIndex(24.0 * 1e6 + 22.0), 7);
    EXPECT_EQ(poseStepIndex(1e300), poseStepIndex(std::fmod(1e300, 24.0)));
    // Time before the start, or no time at all, shows the first step, never a negative one.
    EXPECT_EQ(poseStepIndex(-0.5), 0);
    EXPECT_EQ(poseStepIndex(-23.0), 0);
    EXPECT_EQ(poseStepIndex(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(poseStepIndex(std::numeric_limits<double>::infinity()), 0);

    // The float: from 2 points down to 2 points up in 2.8 s and back.
    EXPECT_DOUBLE_EQ(figureFloatOffset(0.0), -2.0);
    EXPECT_NEAR(figureFloatOffset(1.4), 0.0, 1e-12);
    EXPECT_NEAR(figureFloatOffset(2.8), 2.0, 1e-12);
    EXPECT_NEAR(figureFloatOffset(4.2), 0.0, 1e-12);
    EXPECT_NEAR(figureFloatOffset(5.6 * 100 + 0.7), -1.0, 1e-9);
}

TEST(PoseSheet, LayoutSwitchesToFourByTwoAtTheWideRatio) {
    // Inner area 500 x 400: exactly 1.25 times as wide as high.
    const PoseSheetLayout wide = poseSheetLayout(QRectF(0, 0, 524, 416));
    EXPECT_TRUE(wide.wide);
    EXPECT_EQ(wide.columns, 4);
    EXPECT_EQ(wide.rows, 2);
    const PoseSheetLayout narrow = poseSheetLayout(QRectF(0, 0, 523, 416));
    EXPECT_FALSE(narrow.wide);
    EXPECT_EQ(narrow.columns, 2);
    EXPECT_EQ(narrow.rows, 4);
    // Wide: cell 1 beside cell 0; narrow: cell 2 below cell 0.
    EXPECT_DOUBLE_EQ(wide.cells[1].top(), wide.cells[0].top());
    EXPECT_GT(wide.cells[1].left(), wide.cells[0].right());
    EXPECT_DOUBLE_EQ(narrow.cells[2].left(), narrow.cells[0].left());
    EXPECT_GT(narrow.cells[2].top(), narrow.cells[0].bottom());

    // The figure of a 1440 x 900 screen: inner 1156.8 x 488, cells 277.2 x 222 with 16-point gaps,
    // the grid 28 points below the inner top.
    const PoseSheetLayout figure = poseSheetLayout(QRectF(0, 0, 1180.8, 504));
    ASSERT_TRUE(figure.wide);
    EXPECT_NEAR(figure.cells[0].left(), 12.0, 1e-9);
    EXPECT_NEAR(figure.cells[0].top(), 36.0, 1e-9);
    EXPECT_NEAR(figure.cells[0].width(), 277.2, 1e-9);
    EXPECT_NEAR(figure.cells[0].height(), 222.0, 1e-9);
    EXPECT_NEAR(figure.cells[5].left(), 12.0 + 277.2 + 16.0, 1e-9);
    EXPECT_NEAR(figure.cells[5].top(), 36.0 + 222.0 + 16.0, 1e-9);
    EXPECT_NEAR(figure.cells[7].bottom(), 504.0 - 8.0, 1e-9);
    // Bears sit inside their cells, 12 % in (at least 10 points across and 12 down).
    EXPECT_NEAR(figure.poses[0].left(), 12.0 + 0.12 * 277.2, 1e-9);
    EXPECT_NEAR(figure.poses[0].top(), 36.0 + 0.12 * 222.0, 1e-9);
    // Title and numbers hang from the top: the title's line box ends 24 points below the inner
    // top, 30 points left of the middle; a number's 24 points below its cell's top, 12 points in.
    EXPECT_NEAR(figure.titleAnchor.x(), 1180.8 / 2.0 - 30.0, 1e-9);
    EXPECT_NEAR(figure.titleAnchor.y(), 8.0 + 24.0, 1e-9);
    EXPECT_NEAR(figure.numberAnchors[5].x(), figure.cells[5].left() + 12.0, 1e-9);
    EXPECT_NEAR(figure.numberAnchors[5].y(), figure.cells[5].top() + 24.0, 1e-9);
}

TEST(PoseSheet, HighlightWalksThroughTheCellsInBothLayouts) {
    for (const QSize size : {QSize(1181, 504), QSize(560, 820)}) {
        const PoseSheetLayout layout = poseSheetLayout(QRectF(QPointF(0, 0), size));
        for (int k = 0; k < 8; ++k) {
            const QImage image =
                renderSheet(size, ActionKind::reach, AppLanguage::english, 3.0 * k + 1.0);
            const int following = (k + 1) % 8;
            for (int i = 0; i < 8; ++i) {
                const int strength =
                    borderStrength(image, layout.cells[static_cast<std::size_t>(i)]);
                if (i == k) {
                    EXPECT_GE(strength, 110) << "current cell " << i << " of " << size.width();
                } else if (i == following) {
                    EXPECT_GE(strength, 45) << "next cell " << i << " of " << size.width();
                    EXPECT_LE(strength, 95) << "next cell " << i << " of " << size.width();
                } else {
                    EXPECT_LE(strength, 40) << "cell " << i << " at step " << k;
                }
            }
        }
    }
}

TEST(PoseSheet, TitleSitsOnItsAnchor) {
    const QSize size(1181, 504);
    const PoseSheetLayout layout = poseSheetLayout(QRectF(QPointF(0, 0), size));
    const QImage image = renderSheet(size, ActionKind::drink, AppLanguage::english, 0.5);
    const QPoint anchor = layout.titleAnchor.toPoint();
    int leftmost = size.width();
    int lowest = -1;
    for (int y = 0; y < 36; ++y) {
        for (int x = anchor.x() - 20; x < anchor.x() + 300; ++x) {
            if (brightness(image.pixelColor(x, y)) > 150) {
                leftmost = std::min(leftmost, x);
                lowest = std::max(lowest, y);
            }
        }
    }
    EXPECT_GE(leftmost, anchor.x());
    EXPECT_LE(leftmost, anchor.x() + 4);
    // The line box ends at the anchor: the baseline is a descent above it.
    EXPECT_LT(lowest, anchor.y());
    EXPECT_GT(lowest, anchor.y() - 12);
}

TEST(Bear, EveryKindDrawsAndMovesWithItsPhase) {
    for (ActionKind kind : allActionKinds) {
        const QImage start = renderBear(kind, 0.0, true, false);
        const QImage end = renderBear(kind, 1.0, true, false);
        EXPECT_GT(paintedPixels(start), 2000) << kindName(kind).toStdString();
        EXPECT_NE(start, end) << kindName(kind).toStdString();
    }
    // Reaching up and yoga share one drawing.
    EXPECT_EQ(renderBear(ActionKind::reach, 0.4, false, true),
              renderBear(ActionKind::yoga, 0.4, false, true));
    // Breathing draws rings instead of a guide: the outer ring's left end is at u = 0.05.
    const QPoint ringLeft(10, 100);
    EXPECT_GT(renderBear(ActionKind::breathe, 0.0, false, false).pixelColor(ringLeft).alpha(), 0);
    EXPECT_EQ(renderBear(ActionKind::drink, 0.0, false, false).pixelColor(ringLeft).alpha(), 0);
    // The current step is drawn strongest, the next one lighter, the rest faint: compare the
    // middle of the torso's left side (u = 0.42, v = 0.56).
    const QPoint torsoSide(84, 88);
    const int active =
        renderBear(ActionKind::reach, 0.5, true, false).pixelColor(torsoSide).alpha();
    const int next = renderBear(ActionKind::reach, 0.5, false, true).pixelColor(torsoSide).alpha();
    const int other =
        renderBear(ActionKind::reach, 0.5, false, false).pixelColor(torsoSide).alpha();
    EXPECT_GT(active, next);
    EXPECT_GT(next, other);
    EXPECT_GT(other, 0);
}

TEST(PoseSheet, RenderedSheetsForLooking) {
    // Every kind in the wide figure of a 1440 x 900 screen and in a tall one, over the background.
    for (ActionKind kind : allActionKinds) {
        for (const QSize size : {QSize(1181, 504), QSize(560, 820)}) {
            QImage image = blankImage(size.width(), size.height());
            QPainter painter(&image);
            paintBackground(painter, QRectF(QPointF(0, 0), size), 0.0);
            paintPoseSheet(painter, QRectF(QPointF(0, 0), size), kind, AppLanguage::english, 7.0);
            painter.end();
            const QString layout =
                size.width() > size.height() ? QStringLiteral("wide") : QStringLiteral("narrow");
            saveArtifact(image, QStringLiteral("sheet-%1-%2").arg(kindName(kind), layout));
            EXPECT_FALSE(image.isNull());
        }
    }
    // A whole screen as the panel composes it, in Chinese: the figure 18 points above the middle.
    QImage screen = blankImage(1440, 900);
    QPainter painter(&screen);
    paintBackground(painter, QRectF(0, 0, 1440, 900), 4.0);
    const QRectF figure(129.6, 180.0, 1180.8, 504.0);
    paintPoseSheet(painter, figure, ActionKind::taiChi, AppLanguage::simplifiedChinese, 13.0);
    painter.end();
    saveArtifact(screen, QStringLiteral("panel-1440x900-zh"));
}
