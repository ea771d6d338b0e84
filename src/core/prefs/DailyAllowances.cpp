// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/DailyAllowances.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

namespace lumatide {

namespace {

QString formatDayToken(const QDate& day) {
    // An invalid date yields 0 for each component, as the format wants for a missing one.
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

} // namespace

QString dayToken(const QDateTime& date) {
    return formatDayToken(date.toLocalTime().date());
}

bool canUseAllowanceToday(const QString& key, const QDateTime& now,
                          const PreferenceStore& preferences) {
    const std::optional<QString> stored = preferences.string(key);
    // Any text that is not today's token, malformed or in the future alike, leaves the
    // allowance available.
    return !stored || *stored != dayToken(now);
}

void recordAllowanceUse(const QString& key, const QDateTime& now, PreferenceStore& preferences) {
    preferences.setString(key, dayToken(now));
}

bool canDeferToday(const QDateTime& now, const PreferenceStore& preferences) {
    return canUseAllowanceToday(deferDayKey, now, preferences);
}

void recordDefer(const QDateTime& now, PreferenceStore& preferences) {
    recordAllowanceUse(deferDayKey, now, preferences);
}

bool canManualRestartWorkToday(const QDateTime& now, const PreferenceStore& preferences) {
    return canUseAllowanceToday(restartWorkDayKey, now, preferences);
}

void recordManualRestartWork(const QDateTime& now, PreferenceStore& preferences) {
    recordAllowanceUse(restartWorkDayKey, now, preferences);
}

bool canTemporaryQuitToday(const QDateTime& now, const PreferenceStore& preferences) {
    return canUseAllowanceToday(temporaryQuitDayKey, now, preferences);
}

void recordTemporaryQuit(const QDateTime& now, PreferenceStore& preferences) {
    recordAllowanceUse(temporaryQuitDayKey, now, preferences);
}

} // namespace lumatide
