// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/DisplayWidth.h"

#include <QChar>
#include <QList>
#include <QString>
#include <array>
#include <utility>

namespace lumatide {

namespace {

// The blocks terminals draw two columns wide, after Unicode's East Asian Width property.
constexpr std::array<std::pair<char32_t, char32_t>, 13> wideRanges{{
    {0x1100, 0x115F},   // Hangul initial consonants
    {0x2E80, 0x303E},   // CJK radicals, punctuation
    {0x3041, 0x33FF},   // kana, Bopomofo, compatibility Jamo, CJK symbols
    {0x3400, 0x4DBF},   // CJK extension A
    {0x4E00, 0x9FFF},   // CJK unified ideographs
    {0xA000, 0xA4CF},   // Yi
    {0xA960, 0xA97F},   // Hangul Jamo extension A
    {0xAC00, 0xD7A3},   // Hangul syllables
    {0xF900, 0xFAFF},   // CJK compatibility ideographs
    {0xFE30, 0xFE4F},   // CJK compatibility forms
    {0xFF00, 0xFF60},   // full-width forms
    {0xFFE0, 0xFFE6},   // full-width signs
    {0x20000, 0x3FFFD}, // supplementary ideographic planes
}};

bool isWide(char32_t c) {
    for (const auto& [first, last] : wideRanges) {
        if (c >= first && c <= last) {
            return true;
        }
    }
    return false;
}

} // namespace

qsizetype displayWidth(QStringView text) {
    qsizetype width = 0;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing) {
            continue;
        }
        width += isWide(c) ? 2 : 1;
    }
    return width;
}

} // namespace lumatide
