// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QMenu;

namespace lumatide {

// Makes the shortcuts shown beside a tray menu's items work while the menu is open. Qt honours
// an item's shortcut only through a window or menu bar that holds the item, and a tray menu has
// neither; the open menu itself receives the keys, so they are matched here. With the menu
// closed a tray program has no window to receive keys at all.
class MenuShortcuts final : public QObject {
    Q_OBJECT

public:
    // Watches the menu; owned by it.
    explicit MenuShortcuts(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* menu_;
};

} // namespace lumatide
