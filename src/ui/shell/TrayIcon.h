// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/TimerPhase.h"
#include "cycle/TitleSink.h"

#include <QMenu>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <cstdint>

namespace lumatide {

// The tray icon: its badge counts the current period down and whose tooltip
// is the title ("W 29:59"). Both mouse buttons open the menu. Without a tray on the desktop
// nothing shows, and Qt adds the icon when a tray appears.
class TrayIcon final : public QSystemTrayIcon, public TitleSink {
    Q_OBJECT

public:
    explicit TrayIcon(QObject* parent = nullptr);

    void showTitle(const QString& title, TimerPhase phase, std::int64_t remainingSeconds) override;

    // The menu both buttons open; not owned.
    void setMenu(QMenu* menu);
    QMenu* menu() const { return menu_; }

    const QString& title() const { return title_; }
    // What the badge shows now ("29", or seconds in the last minute).
    const QString& badgeText() const { return badgeText_; }

private:
    void openMenu(QSystemTrayIcon::ActivationReason reason);

    QPointer<QMenu> menu_;
    QString title_;
    QString badgeText_;
    bool badgeCountsSeconds_ = false;
    TimerPhase badgePhase_ = TimerPhase::work;
    bool hasBadge_ = false;
};

} // namespace lumatide
