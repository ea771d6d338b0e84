// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace lumatide {

// Colours are written as components from 0 to 1, as the drawings were designed.
inline QColor rgba(double red, double green, double blue, double alpha = 1.0) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue), static_cast<float>(alpha));
}

inline QColor white(double alpha) {
    return rgba(1.0, 1.0, 1.0, alpha);
}

} // namespace lumatide
