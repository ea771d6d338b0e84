// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

class PreferenceStore;

// True when nothing at all is stored under the initialised marker.
bool shouldDefaultEnableLaunchAtLogin(const PreferenceStore& preferences);
void markLaunchAtLoginPreferenceInitialized(PreferenceStore& preferences);

} // namespace lumatide
