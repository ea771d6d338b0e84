// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/DesktopEntryExec.h"

namespace lumatide {

namespace {

bool isControlCharacter(QChar c) {
    return c.category() == QChar::Other_Control;
}

} // namespace

std::optional<QString> desktopEntryExecValue(const QString& program) {
    if (program.isEmpty()) {
        return std::nullopt;
    }
    QString quoted;
    quoted.reserve(program.size() + 8);
    quoted.append(QLatin1Char('"'));
    for (const QChar c : program) {
        if (isControlCharacter(c)) {
            return std::nullopt;
        }
        // Quoting layer: these four keep their meaning inside double quotes.
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted.append(QLatin1Char('\\'));
        }
        // Field-code layer: a literal percent sign is written twice.
        if (c == QLatin1Char('%')) {
            quoted.append(QLatin1Char('%'));
        }
        quoted.append(c);
    }
    quoted.append(QLatin1Char('"'));

    // String-value layer, undone by every reader before the quoting: \ is written \\.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return quoted;
}

} // namespace lumatide
