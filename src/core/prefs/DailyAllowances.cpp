#include "prefs/DailyAllowances.h"

#include "cycle/Constants.h"
#include "prefs/PreferenceStore.h"

namespace lumatide {

namespace {

QString formatDayToken(const QDate& day) {
    // An invalid date yields 0 for each component, as the format wants for a missing one.
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

} // namespace

QString dayToken(const QDateTime& date, const QTimeZone& zone) {
    return formatDayToken(date.toTimeZone(zone).date());
}

QString dayToken(const QDateTime& date) {
    return formatDayToken(date.toLocalTime().date());
}

bool canUseAllowanceToday(const QString& key, const QDateTime& now,
                          const PreferenceStore& defaults) {
    const std::optional<QString> stored = defaults.string(key);
    // Any text that is not today's token, malformed or in the future alike, leaves the
    // allowance available.
    return !stored || *stored != dayToken(now);
}

void recordAllowanceUse(const QString& key, const QDateTime& now, PreferenceStore& defaults) {
    defaults.setString(key, dayToken(now));
}

bool canDeferToday(const QDateTime& now, const PreferenceStore& defaults) {
    return canUseAllowanceToday(deferDayKey, now, defaults);
}

void recordDefer(const QDateTime& now, PreferenceStore& defaults) {
    recordAllowanceUse(deferDayKey, now, defaults);
}

bool canManualRestartWorkToday(const QDateTime& now, const PreferenceStore& defaults) {
    return canUseAllowanceToday(restartWorkDayKey, now, defaults);
}

void recordManualRestartWork(const QDateTime& now, PreferenceStore& defaults) {
    recordAllowanceUse(restartWorkDayKey, now, defaults);
}

bool canTemporaryQuitToday(const QDateTime& now, const PreferenceStore& defaults) {
    return canUseAllowanceToday(temporaryQuitDayKey, now, defaults);
}

void recordTemporaryQuit(const QDateTime& now, PreferenceStore& defaults) {
    recordAllowanceUse(temporaryQuitDayKey, now, defaults);
}

} // namespace lumatide
