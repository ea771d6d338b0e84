// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "prefs/WorkDuration.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace lumatide {

// What the status menu shows; read afresh for every build.
struct TrayMenuModel {
    AppLanguage language = AppLanguage::english;
    double workSeconds = defaultWorkMinutes * 60.0;
    bool launchAtLoginEnabled = false;
    bool anonymousTelemetryEnabled = true;
};

// What picking an item does. The two submenu commands get the item picked, which carries the
// minutes (an integer) or the language's code (a text) as its data.
struct TrayMenuCommands {
    std::function<void()> startRestNow;
    std::function<void()> manualRestartWork;
    std::function<void(const QAction*)> changeWorkMinutes;
    std::function<void(const QAction*)> changeLanguage;
    std::function<void()> toggleLaunchAtLogin;
    std::function<void()> toggleAnonymousTelemetry;
    std::function<void()> resetPasscode;
    std::function<void()> quit;
};

// The work length that gets the checkmark: workSeconds / 60 rounded half away from zero, when
// that is one of the menu's lengths; nothing otherwise.
std::optional<int> checkedWorkMinutes(double workSeconds);

// The whole menu in the model's language: start break now (Ctrl+B), restart work timer
// (Ctrl+R), a separator, the work-length and language submenus, launch at login, usage
// statistics, change passcode, a separator and quit (Ctrl+Q). The shortcuts work while the menu
// is open; the two submenus are single choices with radio marks.
std::unique_ptr<QMenu> buildTrayMenu(const TrayMenuModel& model, const TrayMenuCommands& commands);

} // namespace lumatide
