// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/Texts.h"

namespace lumatide {

// Builders of each language's compiled-in table; Texts::forLanguage calls each once.
Texts simplifiedChineseTexts();
Texts englishTexts();
Texts japaneseTexts();
Texts koreanTexts();
Texts spanishTexts();
Texts frenchTexts();
Texts germanTexts();

} // namespace lumatide
