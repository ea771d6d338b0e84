// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MenuShortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace lumatide {

MenuShortcuts::MenuShortcuts(QMenu* menu) : QObject(menu), menu_(menu) {
    menu->installEventFilter(this);
}

bool MenuShortcuts::eventFilter(QObject* watched, QEvent* event) {
    if (watched != menu_ || event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* action : menu_->actions()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled()) {
            // Closed first, as a click closes it: the command may open a dialog or a rest.
            menu_->hide();
            action->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumatide
