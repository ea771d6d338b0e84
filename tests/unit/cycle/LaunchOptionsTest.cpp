// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/LaunchOptions.h"

#include "cycle/BreakTiming.h"
#include "fakes/MemoryPreferenceStore.h"
#include "prefs/WorkDuration.h"
#include "unit/UnitTestSupport.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;
using namespace Qt::StringLiterals;

namespace {

// The arguments after the program path, separated by single spaces.
LaunchOptions parse(const QString& arguments) {
    return parseLaunchOptions(QStringList{u"/usr/bin/lumatide"_s} + arguments.split(u' '));
}

} // namespace

TEST(LaunchOptions, OptionIsExactArgumentFollowedByItsFiniteValue) {
    // The first occurrence wins, even when its value is unreadable; the value is the next
    // argument, whatever it looks like.
    const std::pair<QString, double> cases[] = {{u"--work-minutes 40"_s, 40.0},
                                                {u"--work-minutes=40"_s, 30.0},
                                                {u"--work-minutes"_s, 30.0},
                                                {u"--work-minutes 35 --work-minutes 45"_s, 35.0},
                                                {u"--work-minutes x --work-minutes 45"_s, 30.0},
                                                {u"--work-minutes --lock-minutes 2"_s, 30.0},
                                                {u"--work-minutes inf"_s, 30.0},
                                                {u"--work-minutes 1e400"_s, 30.0}};
    for (const auto& [arguments, workMinutes] : cases) {
        EXPECT_EQ(parse(arguments).workMinutes, workMinutes) << arguments.toStdString();
    }
    // Each option is found on its own: the value taken above still counts as an option.
    EXPECT_EQ(parse(u"--work-minutes --lock-minutes 2"_s).restSeconds, 120.0);
    EXPECT_EQ(parse(u"--lock-minutes 0.5"_s).restSeconds, 30.0);
    EXPECT_EQ(parse(u"--lock-minutes nan"_s).restSeconds, 300.0);
}

TEST(LaunchOptions, NumbersConvertWholeOrNotAtAll) {
    const std::pair<QString, double> good[] = {
        {u"40"_s, 40.0},   {u"2.5"_s, 2.5}, {u"1e1"_s, 10.0},   {u"+7"_s, 7.0},
        {u"-0.5"_s, -0.5}, {u".5"_s, 0.5},  {u"0x1p4"_s, 16.0}, {u"inf"_s, INFINITY}};
    for (const auto& [text, value] : good) {
        EXPECT_EQ(parseNumber(text), value) << text.toStdString();
    }
    // An embedded NUL must not let "40" through as the whole text.
    for (const QString& bad :
         {u""_s, u" 40"_s, u"\t40"_s, u"\n40"_s, u"\v40"_s, u"\f40"_s, u"\r40"_s, u"40abc"_s,
          u"40 "_s, u"4,5"_s, u"٤٠"_s, u"40\u00A0"_s, u"40\u00009"_s}) {
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad.toStdString();
    }
    // A decimal-comma locale must not change how "2.5" reads. Not every machine has one.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(parseNumber(u"2.5"_s), 2.5);
        EXPECT_FALSE(parseNumber(u"2,5"_s).has_value());
        std::setlocale(LC_NUMERIC, saved.c_str());
    }
}

TEST(LaunchOptions, FlagsLanguageAndScenario) {
    // The program itself answers --help, --version and --self-test in the packaging and
    // self-test checks; flags count only after the program path.
    EXPECT_TRUE(parse(u"--work-minutes 40 --version"_s).version);
    EXPECT_FALSE(parseLaunchOptions({u"--help"_s}).help);
    EXPECT_EQ(parse(u"--demo-language zh-Hans"_s).language, AppLanguage::simplifiedChinese);
    EXPECT_FALSE(parse(u"--demo-language EN"_s).language.has_value());
    EXPECT_EQ(parse(u"--demo-scenario quit-confirm"_s).demoScenario, DemoScenario::quitConfirm);
    EXPECT_EQ(parse(u"--demo-scenario quit-limit"_s).demoScenario, DemoScenario::quitLimit);
    EXPECT_EQ(parse(u"--demo-scenario restart-limit"_s).demoScenario, DemoScenario::restartLimit);
    EXPECT_FALSE(parse(u"--demo-scenario Quit-Limit"_s).demoScenario.has_value());
}

TEST(LaunchOptions, VerbsAndWhatGoesWithThem) {
    // Wrong combinations are errors, not silently another command: a script must not read a
    // seven-day history when it asked for 400, or start a break when it asked for the status.
    using enum CommandVerb;
    const struct {
        QString arguments;
        std::optional<CommandVerb> verb;
        bool follow, json;
        int days;
        bool error;
    } cases[] = {{u"--status"_s, status, false, false, 7, false},
                 {u"--json --follow --status"_s, status, true, true, 7, false},
                 {u"--history --days 400 --json"_s, history, false, true, 400, false},
                 {u"--history --days 1"_s, history, false, false, 1, false},
                 {u"--restart-work-timer"_s, restartWorkTimer, false, false, 7, false},
                 {u"--start-break --demo-language en"_s, startBreak, false, false, 7, false},
                 {u"--history --days 401"_s, history, false, false, 7, true},
                 {u"--history --days 1.5"_s, history, false, false, 7, true},
                 {u"--history --days"_s, history, false, false, 7, true},
                 {u"--status --days 3"_s, status, false, false, 7, true},
                 {u"--history --follow"_s, history, true, false, 7, true},
                 {u"--start-break --json"_s, startBreak, false, true, 7, true},
                 {u"--status --history"_s, history, false, false, 7, true},
                 {u"--json"_s, std::nullopt, false, true, 7, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.toStdString());
        const LaunchOptions options = parse(c.arguments);
        EXPECT_EQ(options.verb, c.verb);
        EXPECT_EQ(options.follow, c.follow);
        EXPECT_EQ(options.json, c.json);
        EXPECT_EQ(options.historyDays, c.days);
        EXPECT_EQ(!options.usageError.isEmpty(), c.error);
    }
    EXPECT_FALSE(parse(u"--work-minutes 40"_s).verb.has_value());
}

TEST(LaunchOptions, WorkLengthFromDemoSecondsStoreOrCommandLine) {
    // Demo lengths switch on with any finite value and last at least a second. A stored
    // length wins over the command line's, but not over a demo length.
    MemoryPreferenceStore store;
    const auto work = [&](const QString& arguments) {
        return initialWorkSeconds(parse(arguments), store);
    };
    const std::pair<QString, double> cases[] = {{u""_s, 1800},
                                                {u"--work-minutes 10"_s, 1800},
                                                {u"--work-minutes 37"_s, 2220},
                                                {u"--work-minutes 90"_s, 3000},
                                                {u"--demo-work-seconds 12"_s, 12},
                                                {u"--demo-work-seconds 0.4"_s, 1},
                                                {u"--demo-work-seconds -3"_s, 1},
                                                {u"--demo-work-seconds nan"_s, 1800}};
    for (const auto& [arguments, seconds] : cases) {
        EXPECT_EQ(work(arguments), seconds) << arguments.toStdString();
    }
    setSavedWorkMinutes(35.0, store);
    EXPECT_EQ(work(u"--work-minutes 45"_s), 2100.0);
    EXPECT_EQ(work(u"--demo-work-seconds 12"_s), 12.0);
}

TEST(BreakTiming, TitlesThresholdsAndRounding) {
    // The largest values still give a well-formed title, not an overflowed one.
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(formatSeconds(1799, TimerPhase::work), u"W 29:59"_s);
    EXPECT_EQ(formatSeconds(9, TimerPhase::rest), u"B 00:09"_s);
    EXPECT_EQ(formatSeconds(-42, TimerPhase::rest), u"B 00:00"_s);
    EXPECT_EQ(formatSeconds(6000, TimerPhase::work), u"W 100:00"_s);
    EXPECT_EQ(formatSeconds(max, TimerPhase::work), u"W 153722867280912930:07"_s);
    EXPECT_EQ(formatSeconds(min, TimerPhase::work), u"W 00:00"_s);

    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int64_t> thresholds[] = {{1800, 30}, {30.5, 30}, {30, 5},  {5, 5},
                                                          {3.9, 3},   {1, 1},     {0.5, 1}, {-7, 1},
                                                          {nan, 30},  {inf, 30},  {-inf, 1}};
    for (const auto& [workSeconds, expected] : thresholds) {
        EXPECT_EQ(warningThreshold(workSeconds), expected) << workSeconds;
    }
    for (const auto& [remaining, shown] : {std::pair(30, 30), {2, 2}, {1, 1}, {0, 1}, {-5, 1}}) {
        EXPECT_EQ(warningDisplayDuration(remaining), shown) << remaining;
    }
    const std::pair<double, std::int64_t> rounding[] = {
        {1799.2, 1800}, {1800.0, 1800}, {0.001, 1},  {0.0, 0},    {-0.5, 0},
        {-3.5, -3},     {nan, 0},       {1e30, max}, {-1e30, min}};
    for (const auto& [secondsUntilEnd, expected] : rounding) {
        EXPECT_EQ(remainingWholeSeconds(secondsUntilEnd), expected) << secondsUntilEnd;
    }
}
