// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "cycle/BreakTiming.h"
#include "cycle/DemoScenario.h"
#include "prefs/WorkDuration.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumatide {

class PreferenceStore;

// What the command line asks for. main() reads it once and hands it to whoever needs it. An
// option is recognised only as a separate argument followed by its value; a value that
// cannot be read leaves the option's default.
// Verbs that do one thing and exit instead of starting the program.
enum class CommandVerb {
    status,           // --status: the running program's countdown
    startBreak,       // --start-break
    restartWorkTimer, // --restart-work-timer
    history,          // --history: the record of rests
};

inline constexpr int defaultHistoryDays = 7;
inline constexpr int maximumHistoryDays = 400;

struct LaunchOptions {
    bool help = false;
    bool version = false;
    bool selfTest = false;
    // --work-minutes: the work length while none is chosen in the menu.
    double workMinutes = defaultWorkMinutes;
    // --lock-minutes, in seconds: the rest length.
    double restSeconds = defaultRestSeconds;
    // --demo-work-seconds: short work periods that are never postponed; at least 1 s.
    std::optional<double> demoWorkSeconds;
    // --demo-language: the interface language whatever is stored.
    std::optional<AppLanguage> language;
    // --demo-scenario: a dialog shown shortly after start.
    std::optional<DemoScenario> demoScenario;

    std::optional<CommandVerb> verb;
    // --follow with --status: a line each time the countdown changes.
    bool follow = false;
    // --json with --status or --history.
    bool json = false;
    // --days with --history: how many days up to today, 1 to maximumHistoryDays.
    int historyDays = defaultHistoryDays;
    // Why the verbs and their options cannot be carried out as given; empty when they can.
    // Unlike the start options, a wrong verb is an error: a script must not get the wrong
    // answer silently.
    QString usageError;
};

// Reads the process's arguments (element 0 is the program path). Values that are not finite
// numbers count as absent.
LaunchOptions parseLaunchOptions(const QStringList& arguments);

// Converts a whole text to a number in the C locale whatever the user's locale; nothing for
// an empty text, leading white space or anything left over.
std::optional<double> parseNumber(const QString& text);

// The work length the break cycle starts with: the demo length when given, else the stored
// minutes, or the command line's while none are stored, kept within the menu's lengths.
double initialWorkSeconds(const LaunchOptions& options, const PreferenceStore& preferences);

} // namespace lumatide
