// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

enum class TimerPhase { work, rest };

} // namespace lumatide
