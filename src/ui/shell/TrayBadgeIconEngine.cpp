// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TrayBadgeIconEngine.h"

#include "shell/TrayBadge.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace lumatide {

namespace {

// The sizes trays ask for, from 16 to 64 pixels.
const QList<QSize> traySizes{QSize(16, 16), QSize(20, 20), QSize(22, 22), QSize(24, 24),
                             QSize(32, 32), QSize(48, 48), QSize(64, 64)};

} // namespace

TrayBadgeIconEngine::TrayBadgeIconEngine(TimerPhase phase, std::int64_t remainingSeconds)
    : phase_(phase), remainingSeconds_(remainingSeconds) {
}

QPixmap TrayBadgeIconEngine::badge(int side) {
    const auto found = drawn_.constFind(side);
    if (found != drawn_.constEnd()) {
        return *found;
    }
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintTrayBadge(painter, QRectF(0, 0, side, side), phase_, remainingSeconds_);
    painter.end();
    drawn_.insert(side, pixmap);
    return pixmap;
}

QPixmap TrayBadgeIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) {
    // The badge is square: it fills the smaller side, as a square picture would.
    const int side = std::min(size.width(), size.height());
    if (side <= 0) {
        return {};
    }
    QPixmap drawn = badge(side);
    if (mode == QIcon::Normal || mode == QIcon::Active || QApplication::style() == nullptr) {
        return drawn;
    }
    // Disabled and selected looks come from the style, as for any other icon.
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(mode, drawn, &option);
}

void TrayBadgeIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                                QIcon::State state) {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
    drawn.setDevicePixelRatio(ratio);
    const QSizeF shown = QSizeF(drawn.size()) / ratio;
    painter->drawPixmap(QRectF(QPointF(rect.x() + (rect.width() - shown.width()) / 2.0,
                                       rect.y() + (rect.height() - shown.height()) / 2.0),
                               shown),
                        drawn, QRectF(drawn.rect()));
}

QList<QSize> TrayBadgeIconEngine::availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) {
    return traySizes;
}

QIconEngine* TrayBadgeIconEngine::clone() const {
    return new TrayBadgeIconEngine(*this);
}

QString TrayBadgeIconEngine::key() const {
    return QStringLiteral("lumatide-tray-badge");
}

} // namespace lumatide
