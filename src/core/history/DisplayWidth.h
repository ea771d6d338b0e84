// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

namespace lumatide {

// How many terminal columns the text takes: two for each wide East Asian character (Han,
// kana, Hangul, full-width forms), none for combining marks, one for anything else.
qsizetype displayWidth(QStringView text);

} // namespace lumatide
