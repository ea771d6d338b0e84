// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

namespace lumatide {

class PreferenceStore;

// The change-passcode form: asks until the user cancels or the passcode has been changed,
// with a notice after each attempt.
void resetPasscode(PreferenceStore& preferences, AppLanguage language);

} // namespace lumatide
