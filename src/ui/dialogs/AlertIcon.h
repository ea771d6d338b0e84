// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/AlertKind.h"

#include <QPixmap>
#include <QRectF>
#include <QStringView>

class QPainter;

namespace lumatide {

// Side of the alert icon in points.
inline constexpr double alertIconSize = 64.0;

// Paints the alert icon of a kind into the rectangle: a rounded tile filled with the kind's
// gradient, a soft highlight, the kind's symbol and a light outline. The icon is designed on a
// 64-point canvas and scaled to the rectangle. Draws over what is there (nothing is cleared).
void paintAlertIcon(QPainter& painter, const QRectF& rect, AlertKind kind);
// The same with explicit colours and symbol; a symbol name that is not known draws the
// product's initial instead.
void paintAlertIcon(QPainter& painter, const QRectF& rect, const AlertPalette& colours,
                    QStringView symbolName);

// A new transparent 64 x 64 point icon at the given device pixel ratio (a ratio that is not a
// positive number counts as 1, one above 16 as 16); a null pixmap when none can be made.
QPixmap makeAlertIcon(AlertKind kind, qreal devicePixelRatio);

} // namespace lumatide
