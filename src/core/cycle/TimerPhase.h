#pragma once

namespace lumatide {

enum class TimerPhase { work, rest };

} // namespace lumatide
