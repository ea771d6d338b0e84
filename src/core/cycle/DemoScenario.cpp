// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/DemoScenario.h"

namespace lumatide {

QString scenarioName(DemoScenario scenario) {
    switch (scenario) {
    case DemoScenario::quitConfirm:
        return QStringLiteral("quit-confirm");
    case DemoScenario::quitLimit:
        return QStringLiteral("quit-limit");
    case DemoScenario::restartLimit:
        return QStringLiteral("restart-limit");
    }
    return {};
}

std::optional<DemoScenario> demoScenarioFromName(const QString& name) {
    for (auto scenario :
         {DemoScenario::quitConfirm, DemoScenario::quitLimit, DemoScenario::restartLimit}) {
        if (name == scenarioName(scenario)) {
            return scenario;
        }
    }
    return std::nullopt;
}

} // namespace lumatide
