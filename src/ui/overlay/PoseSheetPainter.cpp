// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/PoseSheetPainter.h"

#include "common/BottomUpFrame.h"
#include "common/Colors.h"
#include "content/RestPanelDesign.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "overlay/BearPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

constexpr double cellGap = 16.0;
constexpr double gridTop = 28.0; // the grid starts this far below the top of the inner area

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// Draws one line of text whose line box has its bottom-left corner at the given point.
void drawTextFromBottomLeft(QPainter& painter, QPointF bottomLeft, const QString& text,
                            const QFont& font, const QColor& color) {
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(bottomLeft.x(), bottomLeft.y() - metrics.descent()), text);
}

} // namespace

int poseStepIndex(double elapsedSeconds) {
    const int n = poseSheetCellCount;
    const double cycle = motionStepDuration * n;
    // The loop runs on a monotonic clock, so time before its start only arises from a bad input;
    // it shows the first step rather than no step at all.
    if (!(elapsedSeconds > 0.0) || !std::isfinite(elapsedSeconds)) {
        return 0;
    }
    const double within = std::fmod(elapsedSeconds, cycle);
    const int step = static_cast<int>(within / cycle * n);
    return std::clamp(step, 0, n - 1);
}

double figureFloatOffset(double secondsShown) {
    constexpr double duration = 2.8;
    constexpr double amplitude = 2.0;
    if (!(secondsShown > 0.0) || !std::isfinite(secondsShown)) {
        return -amplitude;
    }
    const double within = std::fmod(secondsShown, 2.0 * duration);
    const double progress = within < duration ? within / duration : 2.0 - within / duration;
    return -amplitude + 2.0 * amplitude * progress;
}

PoseSheetLayout poseSheetLayout(const QRectF& bounds) {
    PoseSheetLayout layout;
    const BottomUpFrame frame(bounds);
    layout.inner = bounds.adjusted(12.0, 8.0, -12.0, -8.0);
    const double wr = layout.inner.width();
    const double hr = layout.inner.height();
    layout.wide = wr >= 1.25 * hr;
    layout.columns = layout.wide ? 4 : 2;
    layout.rows = poseSheetCellCount / layout.columns;
    const double cellW = (wr - cellGap * (layout.columns - 1)) / layout.columns;
    const double cellH = (hr - gridTop - cellGap * (layout.rows - 1)) / layout.rows;
    const double top = frame.height() - 8.0; // the inner area's top, from the bottom
    layout.titleAnchor = frame.point(frame.width() / 2.0 - 30.0, top - 24.0);
    for (int i = 0; i < poseSheetCellCount; ++i) {
        const int col = i % layout.columns;
        const int row = i / layout.columns;
        const double x = 12.0 + col * (cellW + cellGap);
        const double y = top - gridTop - (row + 1) * cellH - cellGap * row;
        const QRectF cell = frame.rect(x, y, cellW, cellH);
        layout.cells[static_cast<std::size_t>(i)] = cell;
        const double insetX = std::max(0.12 * cellW, 10.0);
        const double insetY = std::max(0.12 * cellH, 12.0);
        layout.poses[static_cast<std::size_t>(i)] = cell.adjusted(insetX, insetY, -insetX, -insetY);
        layout.numberAnchors[static_cast<std::size_t>(i)] = frame.point(x + 12.0, y + cellH - 24.0);
    }
    return layout;
}

int poseCellEmphasis(int index, int currentStep) {
    if (index == currentStep) {
        return 2;
    }
    return index == (currentStep + 1) % poseSheetCellCount ? 1 : 0;
}

void paintPoseSheetCell(QPainter& painter, const PoseSheetLayout& layout, int index,
                        ActionKind kind, AppLanguage language, int currentStep) {
    const QRectF& cell = layout.cells[static_cast<std::size_t>(index)];
    if (cell.width() <= 0.0 || cell.height() <= 0.0) {
        return;
    }
    const int emphasis = poseCellEmphasis(index, currentStep);
    const bool active = emphasis == 2;
    const bool next = emphasis == 1;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath outline;
    outline.addRoundedRect(cell, 12.0, 12.0);
    painter.fillPath(outline, rgba(0.5, 0.72, 1.0, active ? 0.1 : next ? 0.055 : 0.025));
    painter.strokePath(outline, QPen(rgba(0.62, 0.8, 1.0,
                                          active ? 0.55
                                          : next ? 0.3
                                                 : 0.12),
                                     active ? 2.5 : 1.2));

    const QRectF& pose = layout.poses[static_cast<std::size_t>(index)];
    if (pose.width() > 0.0 && pose.height() > 0.0) {
        paintBear(painter, pose, kind,
                  static_cast<double>(index) / std::max(poseSheetCellCount - 1, 1), active, next);
    }

    drawTextFromBottomLeft(painter, layout.numberAnchors[static_cast<std::size_t>(index)],
                           formatText(Texts::forLanguage(language).poseNumber, index + 1),
                           active ? systemFont(15, QFont::Bold) : systemFont(13, QFont::Medium),
                           white(active ? 0.88 : 0.48));
    painter.restore();
}

QRectF poseCellArea(const PoseSheetLayout& layout, int index) {
    // The outline's pen (2.5 points at most) and its antialiasing reach past the cell.
    constexpr double reach = 3.0;
    return layout.cells[static_cast<std::size_t>(index)].adjusted(-reach, -reach, reach, reach);
}

void paintPoseSheet(QPainter& painter, const QRectF& bounds, ActionKind kind, AppLanguage language,
                    double elapsedSeconds) {
    const Texts& texts = Texts::forLanguage(language);
    const PoseSheetLayout layout = poseSheetLayout(bounds);
    const int current = poseStepIndex(elapsedSeconds);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawTextFromBottomLeft(painter, layout.titleAnchor,
                           layout.wide ? texts.sheetTitleWide : texts.sheetTitleNarrow,
                           systemFont(18, QFont::DemiBold), white(0.7));
    painter.restore();

    for (int i = 0; i < poseSheetCellCount; ++i) {
        paintPoseSheetCell(painter, layout, i, kind, language, current);
    }
}

} // namespace lumatide
