// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

class PreferenceStore;

// True unless a value is stored under the switch's key and reads as false.
bool anonymousTelemetryEnabled(const PreferenceStore& preferences);
void setAnonymousTelemetryEnabled(bool enabled, PreferenceStore& preferences);
// The stored install identifier when it is UUID text, else a new upper-case version-4 UUID
// that is stored and returned.
QString anonymousInstallId(PreferenceStore& preferences);

} // namespace lumatide
