#include "overlay/OverlayLayout.h"

#include <gtest/gtest.h>

using namespace lumatide;

namespace {

// Row heights of this toolkit's fonts at the panel's sizes (44 bold, 34 semibold, 22
// semibold, 17 medium, 14 regular, the default label font).
OverlayRowHeights typicalRows() {
    OverlayRowHeights rows;
    rows.time = 52;
    rows.breath = 40;
    rows.title = 26;
    rows.instruction = 20;
    rows.caution = 17;
    rows.message = 15;
    return rows;
}

// Rows short enough that the lower column fits under the figure on 1440 × 900.
OverlayRowHeights compactRows() {
    OverlayRowHeights rows;
    rows.time = 52;
    rows.breath = 40;
    rows.title = 12;
    rows.instruction = 10;
    rows.caution = 10;
    rows.message = 10;
    return rows;
}

void expectLowerColumnOnScreen(const OverlayLayout& layout, QSizeF panel, const char* what) {
    const QRectF screen(QPointF(0, 0), panel);
    SCOPED_TRACE(what);
    EXPECT_TRUE(screen.contains(layout.field));
    EXPECT_TRUE(screen.contains(layout.button));
    EXPECT_TRUE(screen.contains(layout.message));
    EXPECT_FALSE(layout.field.intersects(layout.figure));
    EXPECT_FALSE(layout.button.intersects(layout.figure));
    EXPECT_FALSE(layout.message.intersects(layout.figure));
    EXPECT_FALSE(layout.title.intersects(layout.figure));
    EXPECT_GE(layout.figure.height(), 0.0);
}

} // namespace

TEST(OverlayLayout, FollowsTheConstraintsWhereTheColumnFits) {
    const QSizeF panel(1440, 900);
    const OverlayRowHeights rows = compactRows();
    const OverlayLayout layout = overlayLayout(panel, rows);

    EXPECT_DOUBLE_EQ(layout.figure.width(), 1180.8);
    EXPECT_DOUBLE_EQ(layout.figure.height(), 504.0);
    EXPECT_DOUBLE_EQ(layout.figure.left(), (1440 - 1180.8) / 2);
    EXPECT_DOUBLE_EQ(layout.figure.top(), 180.0);
    EXPECT_DOUBLE_EQ(layout.figure.bottom(), 684.0);
    EXPECT_DOUBLE_EQ(layout.figure.center().y(), 450.0 - 18.0);

    // The upper rows hang from the top edge, the lower column from the figure.
    EXPECT_DOUBLE_EQ(layout.time.top(), 40.0);
    EXPECT_DOUBLE_EQ(layout.breath.top(), 40.0 + rows.time + 8);
    EXPECT_DOUBLE_EQ(layout.title.top(), 684.0 + 18);
    EXPECT_DOUBLE_EQ(layout.instruction.top(), layout.title.bottom() + 8);
    EXPECT_DOUBLE_EQ(layout.caution.top(), layout.instruction.bottom() + 8);
    EXPECT_EQ(layout.field, QRectF(610, layout.caution.bottom() + 20, 220, 38));
    EXPECT_EQ(layout.button, QRectF(660, layout.field.bottom() + 14, 120, 36));
    EXPECT_DOUBLE_EQ(layout.message.top(), layout.button.bottom() + 12);
    for (const QRectF& row : {layout.time, layout.breath, layout.title, layout.instruction,
                              layout.caution, layout.message}) {
        EXPECT_DOUBLE_EQ(row.center().x(), 720.0);
    }
}

TEST(OverlayLayout, CapsEachFigureDimensionOnItsOwn) {
    const OverlayLayout large = overlayLayout(QSizeF(2560, 1600), typicalRows());
    EXPECT_EQ(large.figure, QRectF(480, 800 - 18 - 448, 1600, 896));

    const OverlayLayout tall = overlayLayout(QSizeF(1200, 2400), typicalRows());
    EXPECT_DOUBLE_EQ(tall.figure.width(), 984.0);
    EXPECT_DOUBLE_EQ(tall.figure.height(), 900.0);
    EXPECT_DOUBLE_EQ(tall.figure.center().y(), 1200.0 - 18);

    const OverlayLayout wide = overlayLayout(QSizeF(5120, 1440), typicalRows());
    EXPECT_DOUBLE_EQ(wide.figure.width(), 1600.0);
    EXPECT_DOUBLE_EQ(wide.figure.height(), 1440 * 0.56);
}

TEST(OverlayLayout, FigureGivesWaySoTheLowerColumnStaysOnScreen) {
    const OverlayRowHeights rows = typicalRows();
    for (const QSizeF panel : {QSizeF(1440, 900), QSizeF(1366, 768), QSizeF(1280, 720),
                               QSizeF(1024, 768), QSizeF(1280, 600)}) {
        const OverlayLayout layout = overlayLayout(panel, rows);
        expectLowerColumnOnScreen(layout, panel, "typical rows");
        // Only the bottom edge moves: the width and the top edge keep their constraints.
        EXPECT_DOUBLE_EQ(layout.figure.width(), panel.width() * 0.82);
        EXPECT_DOUBLE_EQ(layout.figure.top(), panel.height() * 0.22 - 18);
        EXPECT_DOUBLE_EQ(layout.message.bottom(), panel.height() - overlayBottomMargin);
        EXPECT_GT(layout.figure.height(), 100.0);
    }

    // Taller rows (a fallback font for CJK text) take more room from the figure.
    OverlayRowHeights tallRows = rows;
    tallRows.title = 34;
    tallRows.instruction = 28;
    tallRows.caution = 24;
    const QSizeF short720(1280, 720);
    const OverlayLayout cjk = overlayLayout(short720, tallRows);
    expectLowerColumnOnScreen(cjk, short720, "tall rows");
    EXPECT_LT(cjk.figure.height(), overlayLayout(short720, rows).figure.height());
}

TEST(OverlayLayout, FigureHeightNeverTurnsNegative) {
    const OverlayLayout tiny = overlayLayout(QSizeF(800, 240), typicalRows());
    EXPECT_DOUBLE_EQ(tiny.figure.height(), 0.0);
    EXPECT_DOUBLE_EQ(tiny.title.top(), tiny.figure.bottom() + 18);
}
