// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/WorkDuration.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

#include <cmath>

namespace lumatide {

double normalizedWorkMinutes(double minutes) {
    constexpr double shortest = workMinuteOptions.front();
    constexpr double longest = workMinuteOptions.back();
    // NaN compares false with everything and would slip through both bounds unchanged.
    if (std::isnan(minutes) || minutes <= shortest) {
        return shortest;
    }
    if (minutes > longest) {
        return longest;
    }
    return minutes;
}

double savedWorkMinutes(double defaultMinutes, const PreferenceStore& preferences) {
    return normalizedWorkMinutes(preferences.number(workMinutesKey).value_or(defaultMinutes));
}

void setSavedWorkMinutes(double minutes, PreferenceStore& preferences) {
    preferences.setDouble(workMinutesKey, normalizedWorkMinutes(minutes));
}

} // namespace lumatide
