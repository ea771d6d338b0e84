// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/ScreenCoverage.h"

namespace lumatide {

bool windowCoversAnyScreen(QSize window, const QList<QSize>& screens) {
    if (window.isEmpty()) {
        return false;
    }
    for (const QSize& screen : screens) {
        if (screen.isEmpty()) {
            continue;
        }
        if (window.width() >= 0.96 * screen.width() && window.height() >= 0.9 * screen.height()) {
            return true;
        }
    }
    return false;
}

} // namespace lumatide
