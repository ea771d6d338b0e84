// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"

#include <QIconEngine>
#include <QMap>
#include <QPixmap>
#include <cstdint>

namespace lumatide {

// The tray badge as an icon that draws a size the first time it is asked for and keeps it. A
// tray asks for one or two sizes; drawing all of them up front put the first drawing of the
// digits, and six more, between the start and the tray icon. Any size is drawn for itself,
// never scaled from another.
class TrayBadgeIconEngine final : public QIconEngine {
public:
    TrayBadgeIconEngine(TimerPhase phase, std::int64_t remainingSeconds);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;

    // How many sizes were drawn (tests).
    int drawnCount() const { return static_cast<int>(drawn_.size()); }

private:
    QPixmap badge(int side);

    TimerPhase phase_;
    std::int64_t remainingSeconds_;
    QMap<int, QPixmap> drawn_; // by side in device pixels
};

} // namespace lumatide
