// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"

#include <QRectF>
#include <array>

class QPainter;

namespace lumatide {

// Step of the walking highlight at the given seconds since the step loop began: step k is
// current while the time within the 24-second loop lies in [3k, 3k + 3). Time before the start
// (or time that is not a number) counts as the start.
int poseStepIndex(double elapsedSeconds);

// Upward float of the figure in points at the given seconds since it was shown: linear from -2
// to +2 over 2.8 s and back, forever.
double figureFloatOffset(double secondsShown);

// Where the parts of the sheet go inside a view's bounds, in Qt coordinates.
struct PoseSheetLayout {
    bool wide = false; // 4 x 2 cells and the wide title; otherwise 2 x 4 and the narrow one
    int columns = 2;
    int rows = 4;
    QRectF inner;                         // the bounds inset by 12 x 8 points
    QPointF titleAnchor;                  // bottom-left corner of the title's line box
    std::array<QRectF, 8> cells;          // row-major, top row first
    std::array<QRectF, 8> poses;          // where each cell's bear is drawn
    std::array<QPointF, 8> numberAnchors; // bottom-left corner of each cell number's line box
};

PoseSheetLayout poseSheetLayout(const QRectF& bounds);

// How a cell is shown while the given step is current: 2 current, 1 next, 0 neither.
int poseCellEmphasis(int index, int currentStep);

// One cell as the whole sheet draws it: its outline, bear and number.
void paintPoseSheetCell(QPainter& painter, const PoseSheetLayout& layout, int index,
                        ActionKind kind, AppLanguage language, int currentStep);

// The area a cell draws into, and no other part of the sheet does.
QRectF poseCellArea(const PoseSheetLayout& layout, int index);

// The whole pose sheet: title, eight cells with their numbers and bears, the highlight on the
// current step and the lighter emphasis on the next one.
void paintPoseSheet(QPainter& painter, const QRectF& bounds, ActionKind kind, AppLanguage language,
                    double elapsedSeconds);

} // namespace lumatide
