#include "cycle/CommandLine.h"

#include "cycle/Constants.h"
#include "prefs/WorkDuration.h"

#include <QByteArray>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace lumatide {

namespace {

QStringList& storedArguments() {
    static QStringList arguments;
    return arguments;
}

// A "C" locale object of our own, so number parsing never depends on the user's LC_NUMERIC
// (a German locale would otherwise stop "2.5" at the point).
locale_t cNumericLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isLeadingWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

double boundedPeriod(double seconds) {
    return std::clamp(seconds, 0.0, maximumPeriodSeconds);
}

} // namespace

const QStringList& processArguments() {
    return storedArguments();
}

void setProcessArguments(const QStringList& arguments) {
    storedArguments() = arguments;
}

std::optional<QString> optionValue(const QString& option, const QStringList& from) {
    const auto index = from.indexOf(option);
    if (index < 0 || index + 1 >= from.size()) {
        return std::nullopt;
    }
    return from.at(index + 1);
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

double parseMinutes(const QString& option, double defaultValue, const QStringList& from) {
    const auto seconds = parseSeconds(option, from);
    return seconds ? *seconds : defaultValue;
}

std::optional<double> parseSeconds(const QString& option, const QStringList& from) {
    const auto text = optionValue(option, from);
    if (!text) {
        return std::nullopt;
    }
    const auto value = parseNumber(*text);
    // Infinity and not-a-number would poison every deadline computed from them.
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<AppLanguage> languageOverride(const QStringList& from) {
    const auto text = optionValue(QStringLiteral("--demo-language"), from);
    return text ? languageFromCode(*text) : std::nullopt;
}

std::optional<DemoScenario> demoScenario(const QStringList& from) {
    const auto text = optionValue(QStringLiteral("--demo-scenario"), from);
    return text ? demoScenarioFromName(*text) : std::nullopt;
}

bool demoWorkSecondsIsEnabled(const QStringList& from) {
    return parseSeconds(QStringLiteral("--demo-work-seconds"), from).has_value();
}

double configuredWorkSeconds(double defaultMinutes, std::optional<double> demoSeconds,
                             const PreferenceStore& preferences) {
    if (!demoSeconds) {
        return boundedPeriod(savedWorkMinutes(defaultMinutes, preferences) * 60.0);
    }
    // "not at least 1" also catches not-a-number.
    if (!(*demoSeconds >= 1.0)) {
        return 1.0;
    }
    return boundedPeriod(*demoSeconds);
}

double configuredRestSeconds(double restMinutes) {
    if (std::isnan(restMinutes)) {
        return 5.0 * 60.0;
    }
    // A zero or negative length is a rest that is over at the next tick; both behave alike.
    return boundedPeriod(restMinutes * 60.0);
}

} // namespace lumatide
