// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/LaunchAtLoginPreference.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

namespace lumatide {

// Presence, not value, counts: a stored false also means the default has been dealt with.
bool shouldDefaultEnableLaunchAtLogin(const PreferenceStore& preferences) {
    return !preferences.contains(launchAtLoginPreferenceInitializedKey);
}

void markLaunchAtLoginPreferenceInitialized(PreferenceStore& preferences) {
    preferences.setBool(launchAtLoginPreferenceInitializedKey, true);
}

} // namespace lumatide
