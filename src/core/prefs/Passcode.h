// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

class PreferenceStore;

// The passcode in effect until the user chooses one; the README and the man page print it.
inline const QString defaultPasscode = QStringLiteral("482615");

// The text without leading and trailing white space (Unicode white space and newlines).
QString normalizedPasscode(const QString& text);
// The stored passcode exactly as stored, or the default one when none is usable.
QString currentPasscode(const PreferenceStore& preferences);
bool isValidNewPasscode(const QString& text);
// Stores the trimmed text; an empty or blank text writes nothing.
void setCurrentPasscode(const QString& text, PreferenceStore& preferences);

} // namespace lumatide
