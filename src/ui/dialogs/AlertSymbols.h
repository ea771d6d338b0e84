// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QStringView>
#include <optional>

namespace lumatide {

// Side of the square in which the alert symbols are designed. Symbol outlines use Qt's own
// orientation (origin at the top left of that square, y downwards).
inline constexpr double alertSymbolSize = 30.0;

// The filled outline of a named alert symbol ("timer", "bolt.heart", "lock.heart",
// "checkmark.seal", "key.slash", "sparkles", "cup.and.saucer", "moon.zzz",
// "heart.text.square"), lying within a square of alertSymbolSize; nothing for any other name.
// Strokes are already turned into areas and merged, so one fill at any opacity draws it evenly.
std::optional<QPainterPath> alertSymbolPath(QStringView symbolName);

} // namespace lumatide
