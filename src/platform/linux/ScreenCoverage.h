// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSize>

namespace lumatide {

// True when the window is at least 96 % as wide and 90 % as high as any one of the screens.
// Only sizes count: where the window lies does not matter.
bool windowCoversAnyScreen(QSize window, const QList<QSize>& screens);

} // namespace lumatide
