// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

// The program's desktop id: the name of its desktop file, autostart entry and user unit.
inline const QString desktopId = QStringLiteral("com.vexilo.lumatide");

} // namespace lumatide
