// Arbitrary argument lists (arguments separated by NUL bytes) through every command-line reader.
#include "FuzzSupport.h"
#include "cycle/CommandLine.h"
#include "cycle/Constants.h"

#include <cmath>
#include <cstdlib>

using namespace lumatide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzzText(data, size);
    const QStringList arguments = text.split(QChar(u'\0'));
    for (const QString& argument : arguments) {
        if (const std::optional<double> number = parseNumber(argument)) {
            // Whatever was read must be a whole number text: reading it again from the C
            // locale's shortest form gives the same value.
            if (std::isfinite(*number) &&
                parseNumber(QString::number(*number, 'g', 17)) != number) {
                std::abort();
            }
        }
    }
    const double work = parseMinutes(QStringLiteral("--work-minutes"), 30.0, arguments);
    const double rest = parseMinutes(QStringLiteral("--lock-minutes"), 5.0, arguments);
    if (!std::isfinite(work) || !std::isfinite(rest)) {
        std::abort();
    }
    if (const std::optional<double> seconds =
            parseSeconds(QStringLiteral("--demo-work-seconds"), arguments)) {
        if (!std::isfinite(*seconds)) {
            std::abort();
        }
    }
    const double restSeconds = configuredRestSeconds(rest);
    if (!(restSeconds >= 0.0 && restSeconds <= maximumPeriodSeconds)) {
        std::abort();
    }
    static_cast<void>(optionValue(QStringLiteral("--demo-language"), arguments));
    static_cast<void>(languageOverride(arguments));
    static_cast<void>(demoScenario(arguments));
    static_cast<void>(demoWorkSecondsIsEnabled(arguments));
    return 0;
}
