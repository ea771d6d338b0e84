// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/Texts.h"

#include "content/texts/LanguageTables.h"

namespace lumatide {

const Texts& Texts::forLanguage(AppLanguage language) {
    // Each table is built on first use and then shared; function-local statics are
    // initialised thread-safely and live until the process ends.
    switch (language) {
    case AppLanguage::simplifiedChinese: {
        static const Texts table = simplifiedChineseTexts();
        return table;
    }
    case AppLanguage::english: {
        static const Texts table = englishTexts();
        return table;
    }
    case AppLanguage::japanese: {
        static const Texts table = japaneseTexts();
        return table;
    }
    case AppLanguage::korean: {
        static const Texts table = koreanTexts();
        return table;
    }
    case AppLanguage::spanish: {
        static const Texts table = spanishTexts();
        return table;
    }
    case AppLanguage::french: {
        static const Texts table = frenchTexts();
        return table;
    }
    case AppLanguage::german: {
        static const Texts table = germanTexts();
        return table;
    }
    }
    // Only a value cast from outside the enumeration gets here; answer with the language the
    // program falls back to everywhere else.
    return forLanguage(AppLanguage::simplifiedChinese);
}

} // namespace lumatide
