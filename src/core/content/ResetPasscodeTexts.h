// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

// One text of the change-passcode form ("menu", "title", "old", "new", "confirm", "ok",
// "cancel", "oldWrong", "empty", "mismatch", "success"); an unknown key comes back as is.
QString resetPasscodeText(const QString& key, AppLanguage language);

} // namespace lumatide
