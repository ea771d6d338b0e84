// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TrayMenu.h"

#include "content/ResetPasscodeTexts.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "prefs/Passcode.h"
#include "prefs/WorkDuration.h"
#include "shell/MenuShortcuts.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <cmath>

namespace lumatide {

namespace {

QAction* addCommand(QMenu& menu, const QString& title, const std::function<void()>& command,
                    const QKeySequence& shortcut = QKeySequence()) {
    QAction* action = menu.addAction(title);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    QObject::connect(action, &QAction::triggered, action, [command] {
        if (command) {
            command();
        }
    });
    return action;
}

QAction* addSwitch(QMenu& menu, const QString& title, bool checked,
                   const std::function<void()>& command) {
    QAction* action = addCommand(menu, title, command);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

// An item of a single-choice submenu, drawn with a radio mark: it carries its value and hands
// itself to the command. The submenu may have no item checked (a length set by hand).
QAction* addChoice(QMenu& menu, const QString& title, const QVariant& value, bool checked,
                   const std::function<void(const QAction*)>& command) {
    auto* group = menu.findChild<QActionGroup*>();
    if (group == nullptr) {
        group = new QActionGroup(&menu); // exclusive: picking the checked item keeps it checked
    }
    QAction* action = menu.addAction(title);
    action->setData(value);
    action->setCheckable(true);
    action->setChecked(checked);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, action, [command, action] {
        if (command) {
            command(action);
        }
    });
    return action;
}

} // namespace

std::optional<int> checkedWorkMinutes(double workSeconds) {
    const double minutes = std::round(workSeconds / 60.0); // halves away from zero
    for (const int option : workMinuteOptions) {
        if (minutes == static_cast<double>(option)) {
            return option;
        }
    }
    return std::nullopt;
}

std::unique_ptr<QMenu> buildTrayMenu(const TrayMenuModel& model, const TrayMenuCommands& commands) {
    const Texts& texts = Texts::forLanguage(model.language);
    auto menu = std::make_unique<QMenu>();

    addCommand(*menu, texts.menuStartBreakNow, commands.startRestNow,
               QKeySequence(Qt::CTRL | Qt::Key_B));
    addCommand(*menu, texts.menuRestartWork, commands.manualRestartWork,
               QKeySequence(Qt::CTRL | Qt::Key_R));
    menu->addSeparator();

    // Submenus are children of the menu, so they go with it.
    auto* workMenu = new QMenu(texts.menuWorkDuration, menu.get());
    const std::optional<int> checkedMinutes = checkedWorkMinutes(model.workSeconds);
    for (const int minutes : workMinuteOptions) {
        addChoice(*workMenu, formatText(texts.menuWorkDurationMinutes, minutes), minutes,
                  checkedMinutes == minutes, commands.changeWorkMinutes);
    }
    menu->addMenu(workMenu);

    auto* languageMenu = new QMenu(texts.menuLanguage, menu.get());
    for (const AppLanguage language : allLanguages) {
        addChoice(*languageMenu, displayName(language), languageCode(language),
                  language == model.language, commands.changeLanguage);
    }
    menu->addMenu(languageMenu);

    addSwitch(*menu, texts.menuLaunchAtLogin, model.launchAtLoginEnabled,
              commands.toggleLaunchAtLogin);
    addSwitch(*menu, texts.menuAnonymousUsageStats, model.anonymousTelemetryEnabled,
              commands.toggleAnonymousTelemetry);
    addCommand(*menu, resetPasscodeText(QStringLiteral("menu"), model.language),
               commands.resetPasscode);
    menu->addSeparator();
    addCommand(*menu, texts.menuQuit, commands.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    new MenuShortcuts(menu.get());
    return menu;
}

} // namespace lumatide
