// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"

#include <QIcon>
#include <QString>
#include <cstdint>

class QPainter;
class QRectF;

namespace lumatide {

// The countdown shown on the tray badge: whole minutes left (as the title's minute digits),
// or the seconds left once less than a minute remains. Never negative.
QString trayBadgeText(std::int64_t remainingSeconds);

// True in the last minute of a period, when the badge counts seconds and is drawn inverted so
// that seconds cannot be mistaken for minutes.
bool trayBadgeCountsSeconds(std::int64_t remainingSeconds);

// Draws the badge filling the rectangle: a rounded tile in the phase's colour with the
// countdown in bold digits, with an outline that keeps it visible on light and dark panels.
void paintTrayBadge(QPainter& painter, const QRectF& rect, TimerPhase phase,
                    std::int64_t remainingSeconds);

// The badge as an icon, drawn at each size a tray asks for when it asks.
QIcon makeTrayIcon(TimerPhase phase, std::int64_t remainingSeconds);

} // namespace lumatide
