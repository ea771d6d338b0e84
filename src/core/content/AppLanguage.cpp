// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/AppLanguage.h"

namespace lumatide {

QString languageCode(AppLanguage language) {
    switch (language) {
    case AppLanguage::simplifiedChinese:
        return QStringLiteral("zh-Hans");
    case AppLanguage::english:
        return QStringLiteral("en");
    case AppLanguage::japanese:
        return QStringLiteral("ja");
    case AppLanguage::korean:
        return QStringLiteral("ko");
    case AppLanguage::spanish:
        return QStringLiteral("es");
    case AppLanguage::french:
        return QStringLiteral("fr");
    case AppLanguage::german:
        return QStringLiteral("de");
    }
    return QStringLiteral("zh-Hans");
}

QString displayName(AppLanguage language) {
    switch (language) {
    case AppLanguage::simplifiedChinese:
        return QStringLiteral("中文简体");
    case AppLanguage::english:
        return QStringLiteral("English");
    case AppLanguage::japanese:
        return QStringLiteral("日本語");
    case AppLanguage::korean:
        return QStringLiteral("한국어");
    case AppLanguage::spanish:
        return QStringLiteral("Español");
    case AppLanguage::french:
        return QStringLiteral("Français");
    case AppLanguage::german:
        return QStringLiteral("Deutsch");
    }
    return QStringLiteral("中文简体");
}

std::optional<AppLanguage> languageFromCode(const QString& code) {
    for (AppLanguage language : allLanguages) {
        // QString equality compares code units exactly: no case folding, no trimming.
        if (code == languageCode(language)) {
            return language;
        }
    }
    return std::nullopt;
}

} // namespace lumatide
