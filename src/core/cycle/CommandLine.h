#pragma once

#include "content/AppLanguage.h"
#include "cycle/DemoScenario.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumatide {

class PreferenceStore;

// The process's full argument list (element 0 is the program path), as main() recorded it.
const QStringList& processArguments();
void setProcessArguments(const QStringList& arguments);

// The argument after the first one exactly equal to the option; nothing when the option is
// missing or is the last argument.
std::optional<QString> optionValue(const QString& option, const QStringList& from);

// Converts a whole text to a number in the C locale whatever the user's locale; nothing for
// an empty text, leading white space or anything left over.
std::optional<double> parseNumber(const QString& text);

// A number option. Values that are not finite count as absent.
double parseMinutes(const QString& option, double defaultValue,
                    const QStringList& from = processArguments());
std::optional<double> parseSeconds(const QString& option,
                                   const QStringList& from = processArguments());

std::optional<AppLanguage> languageOverride(const QStringList& from = processArguments());
std::optional<DemoScenario> demoScenario(const QStringList& from = processArguments());
bool demoWorkSecondsIsEnabled(const QStringList& from = processArguments());

// The work length the break cycle starts with: the demo length (at least 1 s) when given,
// else the stored or default minutes × 60. Never more than maximumPeriodSeconds.
double configuredWorkSeconds(double defaultMinutes, std::optional<double> demoSeconds,
                             const PreferenceStore& preferences);
// The rest length for --lock-minutes, bounded to [0, maximumPeriodSeconds] seconds.
double configuredRestSeconds(double restMinutes);

} // namespace lumatide
