#include "AppRig.h"

#include "shell/TrayIcon.h"

namespace lumatide {

QString AppRig::title() const {
    return app->trayIcon().toolTip();
}

QAction* findAction(const QMenu* menu, const QString& title) {
    if (menu == nullptr) {
        return nullptr;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == title) {
            return action;
        }
        if (QAction* inner = findAction(action->menu(), title)) {
            return inner;
        }
    }
    return nullptr;
}

QStringList rowTitles(const QMenu* menu) {
    QStringList titles;
    for (const QAction* action : menu->actions()) {
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return titles;
}

QStringList checkedTitles(const QMenu* menu) {
    QStringList titles;
    for (const QAction* action : menu->actions()) {
        if (action->isChecked()) {
            titles.append(action->text());
        }
    }
    return titles;
}

QMenu* submenu(const QMenu* menu, const QString& title) {
    for (const QAction* action : menu->actions()) {
        if (action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

} // namespace lumatide
