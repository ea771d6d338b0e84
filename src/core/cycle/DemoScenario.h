// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// The dialogs the program can show by itself shortly after start, for demonstrations.
enum class DemoScenario { quitConfirm, quitLimit, restartLimit };

QString scenarioName(DemoScenario scenario);
std::optional<DemoScenario> demoScenarioFromName(const QString& name);

} // namespace lumatide
