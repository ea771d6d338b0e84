// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AlertIcon.h"

#include "common/BottomUpFrame.h"
#include "common/Colors.h"
#include "dialogs/AlertSymbols.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

// The product's initial, for a symbol that cannot be drawn: bold, white, its line box resting
// on the given point.
void paintInitial(QPainter& painter, QPointF lowerLeft) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(30);
    font.setBold(true);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(white(1.0));
    painter.drawText(QPointF(lowerLeft.x(), lowerLeft.y() - metrics.descent()),
                     QStringLiteral("L"));
}

} // namespace

void paintAlertIcon(QPainter& painter, const QRectF& rect, AlertKind kind) {
    paintAlertIcon(painter, rect, palette(kind), symbolName(kind));
}

void paintAlertIcon(QPainter& painter, const QRectF& rect, const AlertPalette& colours,
                    QStringView symbolName) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / alertIconSize, rect.height() / alertIconSize);

    // The icon's geometry is laid out from the bottom-left corner of its canvas.
    const BottomUpFrame canvas(QRectF(0.0, 0.0, alertIconSize, alertIconSize));
    QPainterPath tile;
    tile.addRoundedRect(canvas.rect(5.0, 5.0, 54.0, 54.0), 18.0, 18.0);

    // At -45 degrees the gradient runs corner to corner: top colour at the upper left.
    QLinearGradient gradient(canvas.point(5.0, 59.0), canvas.point(59.0, 5.0));
    gradient.setColorAt(0.0, colours.top);
    gradient.setColorAt(1.0, colours.bottom);
    painter.fillPath(tile, gradient);

    QPainterPath highlight;
    highlight.addEllipse(canvas.rect(15.0, 38.0, 25.0, 14.0));
    painter.fillPath(highlight, white(0.24));

    const QRectF symbolBox = canvas.rect(17.0, 16.0, 30.0, 30.0);
    if (const std::optional<QPainterPath> symbol = alertSymbolPath(symbolName)) {
        QTransform toBox;
        toBox.translate(symbolBox.left(), symbolBox.top());
        toBox.scale(symbolBox.width() / alertSymbolSize, symbolBox.height() / alertSymbolSize);
        painter.save();
        painter.setOpacity(0.92);
        painter.fillPath(toBox.map(*symbol), white(1.0));
        painter.restore();
    } else {
        paintInitial(painter, canvas.point(23.0, 18.0));
    }

    painter.strokePath(tile, QPen(white(0.34), 1.5));
    painter.restore();
}

QPixmap makeAlertIcon(AlertKind kind, qreal devicePixelRatio) {
    // No screen is denser than 16 device pixels a point; anything else is not a ratio.
    constexpr qreal densest = 16.0;
    const qreal ratio = std::isfinite(devicePixelRatio) && devicePixelRatio > 0.0
                            ? std::min(devicePixelRatio, densest)
                            : 1.0;
    const int side = static_cast<int>(std::lround(alertIconSize * ratio));
    QPixmap icon(side, side);
    if (icon.isNull()) {
        return icon;
    }
    icon.setDevicePixelRatio(ratio);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    if (!painter.isActive()) {
        return {};
    }
    paintAlertIcon(painter, QRectF(0.0, 0.0, alertIconSize, alertIconSize), kind);
    return icon;
}

} // namespace lumatide
