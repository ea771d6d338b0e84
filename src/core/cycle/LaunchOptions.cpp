// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/LaunchOptions.h"

#include <QByteArray>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <utility>

namespace lumatide {

namespace {

// A "C" locale object of our own, so number parsing never depends on the user's LC_NUMERIC
// (a German locale would otherwise stop "2.5" at the point).
locale_t cNumericLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isLeadingWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool hasFlag(const QStringList& arguments, const QString& flag) {
    return arguments.indexOf(flag, 1) >= 0;
}

// The argument after the first one exactly equal to the option; nothing when the option is
// missing or is the last argument.
std::optional<QString> optionValue(const QStringList& arguments, const QString& option) {
    const auto index = arguments.indexOf(option);
    if (index < 0 || index + 1 >= arguments.size()) {
        return std::nullopt;
    }
    return arguments.at(index + 1);
}

// Infinity and not-a-number would poison every deadline computed from them.
std::optional<double> numberOption(const QStringList& arguments, const QString& option) {
    const auto text = optionValue(arguments, option);
    const auto value = text ? parseNumber(*text) : std::nullopt;
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

void parseVerbs(const QStringList& arguments, LaunchOptions& options) {
    const std::pair<const char*, CommandVerb> verbs[] = {
        {"--status", CommandVerb::status},
        {"--start-break", CommandVerb::startBreak},
        {"--restart-work-timer", CommandVerb::restartWorkTimer},
        {"--history", CommandVerb::history}};
    int count = 0;
    for (const auto& [name, verb] : verbs) {
        if (hasFlag(arguments, QString::fromLatin1(name))) {
            options.verb = verb;
            ++count;
        }
    }
    options.follow = hasFlag(arguments, QStringLiteral("--follow"));
    options.json = hasFlag(arguments, QStringLiteral("--json"));
    const bool status = options.verb == CommandVerb::status;
    const bool history = options.verb == CommandVerb::history;
    if (count > 1) {
        options.usageError = QStringLiteral(
            "use one of --status, --start-break, --restart-work-timer and --history at a time");
    } else if (options.follow && !status) {
        options.usageError = QStringLiteral("--follow goes with --status");
    } else if (options.json && !status && !history) {
        options.usageError = QStringLiteral("--json goes with --status or --history");
    } else if (arguments.indexOf(QStringLiteral("--days"), 1) >= 0) {
        const auto days = numberOption(arguments, QStringLiteral("--days"));
        if (!history) {
            options.usageError = QStringLiteral("--days goes with --history");
        } else if (!days || *days != std::floor(*days) || *days < 1 || *days > maximumHistoryDays) {
            options.usageError =
                QStringLiteral("--days takes a whole number from 1 to %1").arg(maximumHistoryDays);
        } else {
            options.historyDays = static_cast<int>(*days);
        }
    }
}

} // namespace

LaunchOptions parseLaunchOptions(const QStringList& arguments) {
    LaunchOptions options;
    options.help = hasFlag(arguments, QStringLiteral("--help"));
    options.version = hasFlag(arguments, QStringLiteral("--version"));
    options.selfTest = hasFlag(arguments, QStringLiteral("--self-test"));
    if (const auto minutes = numberOption(arguments, QStringLiteral("--work-minutes"))) {
        options.workMinutes = *minutes;
    }
    // A zero or negative length is a rest that is over at the next tick; the break cycle bounds
    // it like every other period.
    if (const auto minutes = numberOption(arguments, QStringLiteral("--lock-minutes"))) {
        options.restSeconds = *minutes * 60.0;
    }
    if (const auto seconds = numberOption(arguments, QStringLiteral("--demo-work-seconds"))) {
        options.demoWorkSeconds = std::max(*seconds, 1.0);
    }
    if (const auto code = optionValue(arguments, QStringLiteral("--demo-language"))) {
        options.language = languageFromCode(*code);
    }
    if (const auto name = optionValue(arguments, QStringLiteral("--demo-scenario"))) {
        options.demoScenario = demoScenarioFromName(*name);
    }
    parseVerbs(arguments, options);
    return options;
}

std::optional<double> parseNumber(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || isLeadingWhiteSpace(bytes.front())) {
        return std::nullopt;
    }
    const locale_t locale = cNumericLocale();
    if (locale == static_cast<locale_t>(nullptr)) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = strtod_l(bytes.constData(), &end, locale);
    // Everything must be consumed; an embedded NUL also stops the conversion early.
    if (end != bytes.constData() + bytes.size()) {
        return std::nullopt;
    }
    return value;
}

double initialWorkSeconds(const LaunchOptions& options, const PreferenceStore& preferences) {
    if (options.demoWorkSeconds) {
        return *options.demoWorkSeconds;
    }
    return savedWorkMinutes(options.workMinutes, preferences) * 60.0;
}

} // namespace lumatide
