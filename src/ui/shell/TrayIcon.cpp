// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TrayIcon.h"

#include "shell/TrayBadge.h"

#include <QCursor>
#include <QMenu>
#include <QToolTip>

namespace lumatide {

TrayIcon::TrayIcon(QObject* parent) : QSystemTrayIcon(parent) {
    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::openMenu);
}

void TrayIcon::showTitle(const QString& title, TimerPhase phase, std::int64_t remainingSeconds) {
    if (title != title_) {
        // A tray that draws the tooltip itself keeps an open one as it was shown; ours follows
        // the countdown (hosts that ask for the tooltip again are told by setToolTip).
        const bool shownNow = QToolTip::isVisible() && QToolTip::text() == title_;
        title_ = title;
        setToolTip(title);
        if (shownNow) {
            QToolTip::showText(QCursor::pos(), title);
        }
    }
    // The badge only changes once a minute outside the last minute; drawing it again every
    // second would only make the tray repaint for nothing.
    const QString text = trayBadgeText(remainingSeconds);
    const bool countsSeconds = trayBadgeCountsSeconds(remainingSeconds);
    if (hasBadge_ && text == badgeText_ && phase == badgePhase_ &&
        countsSeconds == badgeCountsSeconds_) {
        return;
    }
    hasBadge_ = true;
    badgeText_ = text;
    badgePhase_ = phase;
    badgeCountsSeconds_ = countsSeconds;
    setIcon(makeTrayIcon(phase, remainingSeconds));
}

void TrayIcon::setMenu(QMenu* menu) {
    menu_ = menu;
    setContextMenu(menu);
}

void TrayIcon::openMenu(QSystemTrayIcon::ActivationReason reason) {
    // The right button opens the context menu by itself; the left one is handled here so that
    // either button leads to the commands.
    if (reason != QSystemTrayIcon::Trigger || menu_ == nullptr) {
        return;
    }
    menu_->popup(QCursor::pos());
}

} // namespace lumatide
