#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"
#include "content/BreakAction.h"

#include <QString>
#include <vector>

namespace lumatide {

// The twelve activities of a language, in rotation order.
const std::vector<BreakAction>& actions(AppLanguage language);

// The pose-step line for a step: negative steps count as 0, steps past the end wrap.
QString poseInstruction(ActionKind kind, long long step, AppLanguage language);

} // namespace lumatide
