#include "common/BottomUpFrame.h"

#include <gtest/gtest.h>

using namespace lumatide;

TEST(BottomUpFrame, BottomUpCoordinatesLandInQtCoordinates) {
    const BottomUpFrame frame(QRectF(100, 50, 400, 200));
    EXPECT_EQ(frame.unit(0, 0), QPointF(100, 250));
    EXPECT_EQ(frame.unit(1, 1), QPointF(500, 50));
    EXPECT_EQ(frame.unit(0.25, 0.5), QPointF(200, 150));
    EXPECT_EQ(frame.point(10, 20), QPointF(110, 230));
    // A rectangle keeps its size; its bottom edge sits at the given height.
    EXPECT_EQ(frame.rect(10, 20, 30, 40), QRectF(110, 190, 30, 40));
    EXPECT_EQ(frame.rect(10, 20, 30, 40).bottom(), frame.point(10, 20).y());
}
