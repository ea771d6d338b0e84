#pragma once

#include <QString>
#include <optional>

namespace lumatide {

class LoginItemService;
class PreferenceStore;

bool launchAtLoginIsEnabled(const LoginItemService& service);

// Makes the registration match `enabled`; asking for the state already in effect touches
// nothing. The failure's description, or nothing on success.
std::optional<QString> setLaunchAtLoginEnabled(bool enabled, LoginItemService& service);

// The first-run default: when nothing is stored under the initialised marker and the program
// runs from an installed location, register it and mark the default applied. A failure writes
// one log line and leaves the marker absent, so the next start tries again.
void enableLaunchAtLoginByDefaultIfNeeded(PreferenceStore& defaults, LoginItemService& service,
                                          bool runningFromInstalledLocation);

} // namespace lumatide
