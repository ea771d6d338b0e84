#include "cycle/DemoScenario.h"

namespace lumatide {

QString rawValue(DemoScenario scenario) {
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

std::optional<DemoScenario> demoScenarioFromRawValue(const QString& raw) {
    for (auto scenario :
         {DemoScenario::quitConfirm, DemoScenario::quitLimit, DemoScenario::restartLimit}) {
        if (raw == rawValue(scenario)) {
            return scenario;
        }
    }
    return std::nullopt;
}

} // namespace lumatide
