// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

// The pose-step line for a step: negative steps count as 0, steps past the end wrap.
QString poseInstruction(ActionKind kind, long long step, AppLanguage language);

} // namespace lumatide
