// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/Breathing.h"

#include "content/Texts.h"

#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

constexpr double cycleSeconds = 12.0;
constexpr double breatheInEnds = 4.0; // breathing in while c < 4
constexpr double holdEnds = 7.0;      // holding while 4 <= c < 7, breathing out after
// 2001-01-01 00:00:00 UTC in Unix seconds; a multiple of 12, so the cycle lines up with
// Unix time too.
constexpr long long referenceUnixSeconds = 978307200;

constexpr double smallFontSize = 20.0;
constexpr double largeFontSize = 34.0;

} // namespace

double secondsSinceBreathingReference(const QDateTime& at) {
    // A fault upstream, not a real instant: answer the reference instant itself rather
    // than whatever an invalid date-time happens to hold.
    if (!at.isValid()) {
        return 0.0;
    }
    // Whole seconds and milliseconds apart (both carry the sign) keep the whole seconds
    // exact and avoid overflow at the far ends of the date-time range.
    const qint64 msecs = at.toMSecsSinceEpoch();
    const qint64 wholeSeconds = msecs / 1000;
    const qint64 milliseconds = msecs % 1000;
    return static_cast<double>(wholeSeconds - referenceUnixSeconds) +
           static_cast<double>(milliseconds) / 1000.0;
}

BreathingPhase breathingPhase(const QDateTime& at, AppLanguage language) {
    const Texts& texts = Texts::forLanguage(language);
    // fmod keeps the sign of t: before 2001 c is negative, which lands in the first branch
    // with a negative progress, deliberately unclamped.
    const double c = std::fmod(secondsSinceBreathingReference(at), cycleSeconds);
    if (c < breatheInEnds) {
        return {texts.breatheIn, c * 0.25};
    }
    if (c < holdEnds) {
        return {texts.hold, 1.0};
    }
    return {texts.breatheOut, (c + (-7.0)) / (-5.0) + 1.0};
}

double smoothBreathingFontSize(const QDateTime& at) {
    // Only the progress matters; any language gives the same one. Before 2001 the progress
    // is negative and unbounded below, which would grow the prompt to hundreds of points;
    // clamping keeps the size within 20 to 34 and changes nothing for real instants.
    const double p = std::clamp(breathingPhase(at, AppLanguage::english).progress, 0.0, 1.0);
    return smallFontSize + (largeFontSize - smallFontSize) * p * p * (3.0 - 2.0 * p);
}

} // namespace lumatide
