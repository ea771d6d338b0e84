// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary argument lists (arguments separated by NUL bytes) through every command-line reader.
#include "FuzzSupport.h"
#include "cycle/LaunchOptions.h"
#include "fakes/MemoryPreferenceStore.h"

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
    const LaunchOptions options = parseLaunchOptions(arguments);
    if (!std::isfinite(options.workMinutes) || std::isnan(options.restSeconds)) {
        std::abort();
    }
    if (options.demoWorkSeconds &&
        !(std::isfinite(*options.demoWorkSeconds) && *options.demoWorkSeconds >= 1.0)) {
        std::abort();
    }
    const MemoryPreferenceStore store;
    if (!(initialWorkSeconds(options, store) >= 1.0)) {
        std::abort();
    }
    return 0;
}
