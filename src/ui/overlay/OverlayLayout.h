// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QSizeF>

namespace lumatide {

// Heights of the rest panel's text rows in logical pixels, as the toolkit measures them for
// the panel's fonts. Rows span the panel's width; their text is centred in them.
struct OverlayRowHeights {
    double time = 0.0;
    double breath = 0.0; // room for the largest breathing prompt, so the column never jumps
    double title = 0.0;
    double instruction = 0.0;
    double caution = 0.0;
    double message = 0.0;
};

// Every rectangle of one rest panel, in the panel's coordinates (origin top left, y down).
struct OverlayLayout {
    QRectF time;
    QRectF breath;
    QRectF figure;
    QRectF title;
    QRectF instruction;
    QRectF caution;
    QRectF field;
    QRectF button;
    QRectF message;
};

// Room kept between the message row and the bottom edge when the figure has to give way.
inline constexpr double overlayBottomMargin = 8.0;

// The panel's layout: remaining time 40 px from the top, the breathing prompt 8 px under it,
// the figure min(0.82 × width, 1600) × min(0.56 × height, 900) centred 18 px above the middle
// but never closer than 12 px under the prompt, and the lower column (title, pose step,
// caution, field 220 × 38, button 120 × 36, message) hanging from the figure's bottom edge.
// Where the lower column would run past the bottom edge, the figure's bottom rises (its top
// stays) so the passcode field, the unlock button and the message stay on screen; the
// figure's height never goes below zero.
OverlayLayout overlayLayout(QSizeF panel, const OverlayRowHeights& rows);

// Height of everything below the figure's bottom edge, gaps included.
double overlayLowerColumnHeight(const OverlayRowHeights& rows);

} // namespace lumatide
