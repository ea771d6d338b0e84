// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

// Fills the placeholders of an interface text: each "%d" takes the next integer, "%@" the
// string, "%%" is a literal percent sign. Texts have at most one of each.
QString formatText(const QString& format, long long number);
QString formatText(const QString& format, long long number, const QString& text);

} // namespace lumatide
