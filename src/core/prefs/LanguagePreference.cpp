// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/LanguagePreference.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"

#include <QLocale>

namespace lumatide {

namespace {

// The portable "C" locale (LANG=C, C.UTF-8, POSIX) has no language of its own; its messages
// are English.
bool isPortableLocale(const QString& entry) {
    // "C.UTF-8" or "C@euro" style names may come through unconverted; only the part before
    // the codeset or modifier names the locale.
    qsizetype end = 0;
    while (end < entry.size() && entry.at(end) != QLatin1Char('.') &&
           entry.at(end) != QLatin1Char('@')) {
        ++end;
    }
    const QStringView base = QStringView(entry).left(end);
    return base.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0 ||
           base.compare(QLatin1String("POSIX"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString systemPreferredLanguage() {
    const QStringList languages = QLocale::system().uiLanguages();
    if (languages.isEmpty()) {
        return {};
    }
    const QString& first = languages.first();
    return isPortableLocale(first) ? QStringLiteral("en") : first;
}

std::optional<AppLanguage> languageMatchingSystemEntry(const QString& entry) {
    for (const AppLanguage language : allLanguages) {
        const QString raw = languageCode(language);
        if (entry == raw || entry.startsWith(raw + QLatin1Char('-'))) {
            return language;
        }
    }
    return std::nullopt;
}

AppLanguage currentLanguage(const PreferenceStore& preferences, std::optional<AppLanguage> forced,
                            const QString& systemLanguage) {
    if (forced) {
        return *forced;
    }
    if (const std::optional<QString> stored = preferences.string(languageKey)) {
        if (const std::optional<AppLanguage> chosen = languageFromCode(*stored)) {
            return *chosen;
        }
    }
    if (const std::optional<AppLanguage> system = languageMatchingSystemEntry(systemLanguage)) {
        return *system;
    }
    return AppLanguage::simplifiedChinese;
}

void setCurrentLanguage(AppLanguage language, PreferenceStore& preferences) {
    preferences.setString(languageKey, languageCode(language));
}

} // namespace lumatide
