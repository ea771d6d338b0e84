// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/Passcode.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

namespace lumatide {

// QString::trimmed removes every Unicode white-space character (QChar::isSpace): tab, line
// feed, carriage return, U+0085, no-break space, the U+2000 spaces, line and paragraph
// separators, ideographic space and the rest.
QString normalizedPasscode(const QString& text) {
    return text.trimmed();
}

QString currentPasscode(const PreferenceStore& preferences) {
    QString stored = preferences.string(passcodeKey).value_or(QString());
    // A usable passcode is returned exactly as stored; the rest panel compares it as it is.
    if (!normalizedPasscode(stored).isEmpty()) {
        return stored;
    }
    return defaultPasscode;
}

bool isValidNewPasscode(const QString& text) {
    return !normalizedPasscode(text).isEmpty();
}

void setCurrentPasscode(const QString& text, PreferenceStore& preferences) {
    const QString trimmed = normalizedPasscode(text);
    if (trimmed.isEmpty()) {
        return;
    }
    preferences.setString(passcodeKey, trimmed);
}

} // namespace lumatide
