// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

namespace lumatide {

class PreferenceStore;

// The calendar date of an instant, "%04d-%02d-%02d", in the current local time zone, so the
// day changes at local midnight.
QString dayToken(const QDateTime& date);

// One check and one record per allowance; they differ only in the key. An allowance is
// available unless today's token is stored under its key.
bool canUseAllowanceToday(const QString& key, const QDateTime& now,
                          const PreferenceStore& preferences);
void recordAllowanceUse(const QString& key, const QDateTime& now, PreferenceStore& preferences);

bool canDeferToday(const QDateTime& now, const PreferenceStore& preferences);
void recordDefer(const QDateTime& now, PreferenceStore& preferences);
bool canManualRestartWorkToday(const QDateTime& now, const PreferenceStore& preferences);
void recordManualRestartWork(const QDateTime& now, PreferenceStore& preferences);
bool canTemporaryQuitToday(const QDateTime& now, const PreferenceStore& preferences);
void recordTemporaryQuit(const QDateTime& now, PreferenceStore& preferences);

} // namespace lumatide
