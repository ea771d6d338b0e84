// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/LaunchAtLogin.h"

#include "prefs/LaunchAtLoginPreference.h"
#include "system/AutostartService.h"

#include <QtGlobal>

namespace lumatide {

bool launchAtLoginIsEnabled(const AutostartService& service) {
    return service.isEnabled();
}

std::optional<QString> setLaunchAtLoginEnabled(bool enabled, AutostartService& service) {
    if (service.isEnabled() == enabled) {
        return std::nullopt;
    }
    return enabled ? service.enable() : service.disable();
}

void enableLaunchAtLoginByDefaultIfNeeded(PreferenceStore& preferences, AutostartService& service,
                                          bool runningFromInstalledLocation) {
    if (!shouldDefaultEnableLaunchAtLogin(preferences)) {
        return;
    }
    // A build tree or other uninstalled copy must not leave an entry behind; the default is
    // considered again at the next start.
    if (!runningFromInstalledLocation) {
        return;
    }
    if (const std::optional<QString> error = setLaunchAtLoginEnabled(true, service)) {
        // The marker stays absent so that the next start tries again.
        const QString line =
            QStringLiteral("Lumatide could not enable launch at login by default: ") + *error;
        qWarning("%s", qUtf8Printable(line));
        return;
    }
    markLaunchAtLoginPreferenceInitialized(preferences);
}

} // namespace lumatide
