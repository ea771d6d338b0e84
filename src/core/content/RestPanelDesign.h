// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

// How the rest panel's figure is sized and animated. Durations and intervals are seconds.

// The figure takes this share of its screen, up to the largest size.
inline constexpr double figureWidthRatio = 0.82;
inline constexpr double figureHeightRatio = 0.56;
inline constexpr double figureMaxWidth = 1600.0;
inline constexpr double figureMaxHeight = 900.0;
inline constexpr double figureAnimationFrameRate = 1.0 / 30.0; // interval
// The pose sheet: eight cells, the highlight moving through four motion steps.
inline constexpr int poseSheetCellCount = 8;
inline constexpr int motionStepCount = 4;
inline constexpr double motionStepDuration = 3.0;
// The drifting background.
inline constexpr double backgroundAnimationFrameRate = 0.05; // interval
inline constexpr double backgroundBreathingCycle = 36.0;

} // namespace lumatide
