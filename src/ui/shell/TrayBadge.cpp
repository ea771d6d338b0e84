// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TrayBadge.h"

#include "shell/TrayBadgeIconEngine.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <algorithm>

namespace lumatide {

namespace {

// Mid-dark, saturated fills: white digits stay readable on them, and they stand out from both a
// light and a dark panel. Work is teal, rest is violet.
QColor phaseColor(TimerPhase phase) {
    return phase == TimerPhase::work ? QColor(18, 122, 108) : QColor(104, 84, 214);
}

QColor outlineColor(TimerPhase phase) {
    return phaseColor(phase).darker(220);
}

} // namespace

QString trayBadgeText(std::int64_t remainingSeconds) {
    const std::int64_t seconds = std::max<std::int64_t>(remainingSeconds, 0);
    return QString::number(seconds < 60 ? seconds : seconds / 60);
}

bool trayBadgeCountsSeconds(std::int64_t remainingSeconds) {
    return remainingSeconds < 60;
}

void paintTrayBadge(QPainter& painter, const QRectF& rect, TimerPhase phase,
                    std::int64_t remainingSeconds) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    const double side = std::min(rect.width(), rect.height());
    const QRectF square(rect.center().x() - side / 2.0, rect.center().y() - side / 2.0, side, side);
    const double stroke = std::max(1.0, side / 16.0);
    const QRectF tile = square.adjusted(stroke / 2.0, stroke / 2.0, -stroke / 2.0, -stroke / 2.0);
    const double radius = side * 0.24;

    const bool seconds = trayBadgeCountsSeconds(remainingSeconds);
    const QColor fill = seconds ? QColor(255, 255, 255) : phaseColor(phase);
    const QColor ink = seconds ? phaseColor(phase).darker(130) : QColor(255, 255, 255);

    QPainterPath path;
    path.addRoundedRect(tile, radius, radius);
    painter.fillPath(path, fill);
    // A dark rim for light panels; on dark panels the fill itself carries the contrast. In the
    // last minute the rim takes the phase colour so the white tile still shows the phase.
    painter.setPen(QPen(seconds ? phaseColor(phase) : outlineColor(phase), stroke));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);

    const QString text = trayBadgeText(remainingSeconds);
    QFont font = painter.font();
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    // As large as fits: two digits fill most of the tile; longer counts shrink to fit.
    const QRectF textBox = tile.adjusted(side * 0.06, side * 0.08, -side * 0.06, -side * 0.08);
    double pixelSize = side * (text.size() <= 1 ? 0.72 : 0.64);
    for (int attempt = 0; attempt < 24; ++attempt) {
        font.setPixelSize(std::max(1, static_cast<int>(pixelSize)));
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(text) <= textBox.width() || pixelSize <= 4.0) {
            break;
        }
        pixelSize *= 0.9;
    }
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(textBox, Qt::AlignCenter, text);
    painter.restore();
}

QIcon makeTrayIcon(TimerPhase phase, std::int64_t remainingSeconds) {
    return QIcon(new TrayBadgeIconEngine(phase, remainingSeconds));
}

} // namespace lumatide
