// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace lumatide {

// Interface languages, in menu order.
enum class AppLanguage { simplifiedChinese, english, japanese, korean, spanish, french, german };

inline constexpr std::array<AppLanguage, 7> allLanguages{AppLanguage::simplifiedChinese,
                                                         AppLanguage::english,
                                                         AppLanguage::japanese,
                                                         AppLanguage::korean,
                                                         AppLanguage::spanish,
                                                         AppLanguage::french,
                                                         AppLanguage::german};

// "zh-Hans", "en", "ja", "ko", "es", "fr", "de".
QString languageCode(AppLanguage language);
// The language's own name for itself, as the language menu lists it.
QString displayName(AppLanguage language);
// Exact, case-sensitive match of a code value; anything else is no language.
std::optional<AppLanguage> languageFromCode(const QString& code);

} // namespace lumatide
