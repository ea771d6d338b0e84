#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// The dialogs the program can show by itself shortly after start, for demonstrations.
enum class DemoScenario { quitConfirm, quitLimit, restartLimit };

QString rawValue(DemoScenario scenario);
std::optional<DemoScenario> demoScenarioFromRawValue(const QString& raw);

} // namespace lumatide
