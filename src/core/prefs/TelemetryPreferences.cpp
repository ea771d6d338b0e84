// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/TelemetryPreferences.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

#include <QUuid>

namespace lumatide {

namespace {

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Exactly the 36-character 8-4-4-4-12 form, hexadecimal digits of either case; no braces,
// no "urn:uuid:" and no surrounding white space.
bool isUuidText(const QString& text) {
    if (text.size() != 36) {
        return false;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dashPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPosition ? text.at(i) != QLatin1Char('-') : !isHexDigit(text.at(i))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool anonymousTelemetryEnabled(const PreferenceStore& preferences) {
    if (!preferences.contains(anonymousTelemetryEnabledKey)) {
        return true;
    }
    return preferences.boolean(anonymousTelemetryEnabledKey);
}

void setAnonymousTelemetryEnabled(bool enabled, PreferenceStore& preferences) {
    preferences.setBool(anonymousTelemetryEnabledKey, enabled);
}

QString anonymousInstallId(PreferenceStore& preferences) {
    if (const std::optional<QString> stored = preferences.string(anonymousTelemetryInstallIdKey)) {
        if (isUuidText(*stored)) {
            return *stored;
        }
    }
    // createUuid gives a random (version 4) identifier.
    QString fresh = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    preferences.setString(anonymousTelemetryInstallIdKey, fresh);
    return fresh;
}

} // namespace lumatide
