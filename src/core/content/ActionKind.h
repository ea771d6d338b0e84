// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace lumatide {

// Kind of a break activity: selects the figure's animation and the pose-step lines.
enum class ActionKind { drink, stretch, reach, breathe, taiChi, yoga };

inline constexpr std::array<ActionKind, 6> allActionKinds{ActionKind::drink,  ActionKind::stretch,
                                                          ActionKind::reach,  ActionKind::breathe,
                                                          ActionKind::taiChi, ActionKind::yoga};

} // namespace lumatide
