// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace lumatide {

class AutostartService;
class PreferenceStore;

bool launchAtLoginIsEnabled(const AutostartService& service);

// Makes the registration match `enabled`; asking for the state already in effect touches
// nothing. The failure's description, or nothing on success.
std::optional<QString> setLaunchAtLoginEnabled(bool enabled, AutostartService& service);

// The first-run default: when nothing is stored under the initialised marker and the program
// runs from an installed location, register it and mark the default applied. A failure writes
// one log line and leaves the marker absent, so the next start tries again.
void enableLaunchAtLoginByDefaultIfNeeded(PreferenceStore& preferences, AutostartService& service,
                                          bool runningFromInstalledLocation);

} // namespace lumatide
