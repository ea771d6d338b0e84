#include "cycle/Constants.h"

namespace lumatide {

const QString telemetryEndpointURLString = QStringLiteral(LUMATIDE_TELEMETRY_ENDPOINT);

} // namespace lumatide
