// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/PoseInstructions.h"

#include "content/Texts.h"

namespace lumatide {

QString poseInstruction(ActionKind kind, long long step, AppLanguage language) {
    const auto& table = Texts::forLanguage(language).poseInstructions;
    const auto found = table.find(kind);
    if (found == table.end() || found->second.isEmpty()) {
        return QString();
    }
    const QStringList& lines = found->second;
    // Negative steps count as the first one; the test comes before any arithmetic so that
    // even the most negative step cannot overflow.
    const long long index = step <= 0 ? 0 : step % static_cast<long long>(lines.size());
    return lines.at(static_cast<qsizetype>(index));
}

} // namespace lumatide
