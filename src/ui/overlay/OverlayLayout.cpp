// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/OverlayLayout.h"

#include "content/RestPanelDesign.h"

#include <algorithm>

namespace lumatide {

namespace {

constexpr double timeTop = 40.0;
constexpr double breathGap = 8.0;
constexpr double figureRaise = 18.0;
constexpr double figureGap = 12.0; // at least, under the breathing prompt
constexpr double titleGap = 18.0;
constexpr double textGap = 8.0;
constexpr double fieldGap = 20.0;
constexpr double fieldWidth = 220.0;
constexpr double fieldHeight = 38.0;
constexpr double buttonGap = 14.0;
constexpr double buttonWidth = 120.0;
constexpr double buttonHeight = 36.0;
constexpr double messageGap = 12.0;

QRectF row(double width, double top, double height) {
    return {0.0, top, width, height};
}

QRectF centred(double panelWidth, double top, double width, double height) {
    return {(panelWidth - width) / 2.0, top, width, height};
}

} // namespace

double overlayLowerColumnHeight(const OverlayRowHeights& rows) {
    return titleGap + rows.title + textGap + rows.instruction + textGap + rows.caution + fieldGap +
           fieldHeight + buttonGap + buttonHeight + messageGap + rows.message;
}

OverlayLayout overlayLayout(QSizeF panel, const OverlayRowHeights& rows) {
    const double w = panel.width();
    const double h = panel.height();
    OverlayLayout layout;
    layout.time = row(w, timeTop, rows.time);
    layout.breath = row(w, layout.time.bottom() + breathGap, rows.breath);

    // Each dimension is capped on its own.
    const double figureWidth = std::min(w * figureWidthRatio, figureMaxWidth);
    const double figureHeight = std::min(h * figureHeightRatio, figureMaxHeight);
    // On a short screen the centred figure would run into the breathing prompt: it then starts
    // under the prompt instead and gives up height at the bottom.
    const double figureTop =
        std::max(h / 2.0 - figureRaise - figureHeight / 2.0, layout.breath.bottom() + figureGap);
    const double lowestBottom = h - overlayBottomMargin - overlayLowerColumnHeight(rows);
    const double figureBottom =
        std::max(figureTop, std::min(figureTop + figureHeight, lowestBottom));
    layout.figure =
        QRectF((w - figureWidth) / 2.0, figureTop, figureWidth, figureBottom - figureTop);

    layout.title = row(w, layout.figure.bottom() + titleGap, rows.title);
    layout.instruction = row(w, layout.title.bottom() + textGap, rows.instruction);
    layout.caution = row(w, layout.instruction.bottom() + textGap, rows.caution);
    layout.field = centred(w, layout.caution.bottom() + fieldGap, fieldWidth, fieldHeight);
    layout.button = centred(w, layout.field.bottom() + buttonGap, buttonWidth, buttonHeight);
    layout.message = row(w, layout.button.bottom() + messageGap, rows.message);
    return layout;
}

} // namespace lumatide
