// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sensing/BusyEnvironment.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumatide {

// True when the power-assertion report mentions media or display-sleep prevention.
bool outputIndicatesMediaPlayback(const QString& output);

// Media > meeting > presentation > full-screen window > game launcher; nothing when idle.
std::optional<BusyEnvironment> detectBusyEnvironment(const QString& powerAssertionReport,
                                                     const QStringList& runningApps,
                                                     bool activeWindowCoversScreen);

} // namespace lumatide
