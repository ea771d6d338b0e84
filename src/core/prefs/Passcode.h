#pragma once

#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

class PreferenceStore;

// The text without leading and trailing white space (Unicode white space and newlines).
QString normalizedPasscode(const QString& text);
// The stored passcode exactly as stored, or the default one when none is usable.
QString currentPasscode(const PreferenceStore& preferences);
bool isValidNewPasscode(const QString& text);
// Stores the trimmed text; an empty or blank text writes nothing.
void setCurrentPasscode(const QString& text, PreferenceStore& preferences);

// One text of the change-passcode form ("menu", "title", "old", "new", "confirm", "ok",
// "cancel", "oldWrong", "empty", "mismatch", "success"); an unknown key comes back as is.
QString resetPasscodeText(const QString& key, AppLanguage language);

} // namespace lumatide
