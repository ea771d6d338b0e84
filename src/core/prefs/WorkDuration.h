// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace lumatide {

class PreferenceStore;

// The work lengths the menu offers, in minutes; the first is the default.
inline constexpr std::array<int, 5> workMinuteOptions{30, 35, 40, 45, 50};
inline constexpr double defaultWorkMinutes = workMinuteOptions.front();

// Clamps a work length into [30, 50] minutes (not snapped to the menu choices). A value that
// is not a number counts as 30.
double normalizedWorkMinutes(double minutes);
// The stored work length when it is a number, else defaultMinutes; normalised either way.
double savedWorkMinutes(double defaultMinutes, const PreferenceStore& preferences);
// Stores the normalised length as a number.
void setSavedWorkMinutes(double minutes, PreferenceStore& preferences);

} // namespace lumatide
