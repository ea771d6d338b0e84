#include "cycle/LaunchOptions.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/WorkDuration.h"

#include <QStringList>
#include <clocale>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

LaunchOptions parse(std::initializer_list<const char*> items) {
    QStringList list{QStringLiteral("/usr/bin/lumatide")};
    for (const char* item : items) {
        list.append(QString::fromUtf8(item));
    }
    return parseLaunchOptions(list);
}

} // namespace

TEST(LaunchOptions, OptionIsExactArgumentFollowedByItsFiniteValue) {
    const struct {
        std::initializer_list<const char*> arguments;
        double workMinutes;
    } cases[] = {
        {{"--work-minutes", "40"}, 40.0},
        {{"--work-minutes=40"}, 30.0},
        {{"--work-minutes"}, 30.0},
        {{"--WORK-MINUTES", "40"}, 30.0},
        {{"--work-minutes", " 40"}, 30.0},
        // The first occurrence wins, even when its value is unreadable.
        {{"--work-minutes", "35", "--work-minutes", "45"}, 35.0},
        {{"--work-minutes", "x", "--work-minutes", "45"}, 30.0},
        // The value is the next argument, whatever it looks like.
        {{"--work-minutes", "--lock-minutes", "2"}, 30.0},
        {{"--work-minutes", "inf"}, 30.0},
        {{"--work-minutes", "-infinity"}, 30.0},
        {{"--work-minutes", "NAN"}, 30.0},
        {{"--work-minutes", "1e400"}, 30.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse(c.arguments).workMinutes, c.workMinutes) << c.arguments.size();
    }
    // Each option is found on its own: the value taken above still counts as an option.
    EXPECT_EQ(parse({"--work-minutes", "--lock-minutes", "2"}).restSeconds, 120.0);
}

TEST(LaunchOptions, NumbersConvertWholeOrNotAtAll) {
    const struct {
        const char* text;
        double value;
    } good[] = {{"40", 40.0},   {"2.5", 2.5},    {"1e1", 10.0}, {"+7", 7.0},
                {"-0.5", -0.5}, {"0x1p4", 16.0}, {".5", 0.5}};
    for (const auto& c : good) {
        EXPECT_EQ(parseNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    }
    for (const char* bad : {"", " 40", "\t40", "\n40", "\v40", "\f40", "\r40", "40abc", "40 ",
                            "abc", "4,5", "٤٠", "40\xC2\xA0"}) {
        EXPECT_FALSE(parseNumber(QString::fromUtf8(bad)).has_value()) << bad;
    }
    // An embedded NUL must not let "40" through as the whole text.
    EXPECT_FALSE(parseNumber(QStringLiteral("40") + QChar(0) + QStringLiteral("9")).has_value());
}

TEST(LaunchOptions, NumbersIgnoreTheUserLocale) {
    // A decimal comma locale must not change how "2.5" reads. Not every machine has one.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    EXPECT_EQ(parseNumber(QStringLiteral("2.5")), 2.5);
    EXPECT_FALSE(parseNumber(QStringLiteral("2,5")).has_value());
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(LaunchOptions, LanguageAndScenarioNeedExactNames) {
    EXPECT_EQ(parse({"--demo-language", "ja"}).language, AppLanguage::japanese);
    EXPECT_EQ(parse({"--demo-language", "zh-Hans"}).language, AppLanguage::simplifiedChinese);
    for (const char* bad : {"EN", "zh", " en"}) {
        EXPECT_FALSE(parse({"--demo-language", bad}).language.has_value()) << bad;
    }
    EXPECT_FALSE(parse({"--demo-language"}).language.has_value());

    EXPECT_EQ(parse({"--demo-scenario", "quit-confirm"}).demoScenario, DemoScenario::quitConfirm);
    EXPECT_EQ(parse({"--demo-scenario", "quit-limit"}).demoScenario, DemoScenario::quitLimit);
    EXPECT_EQ(parse({"--demo-scenario", "restart-limit"}).demoScenario, DemoScenario::restartLimit);
    for (const char* bad : {"quit", "Quit-Limit"}) {
        EXPECT_FALSE(parse({"--demo-scenario", bad}).demoScenario.has_value()) << bad;
    }
}

TEST(LaunchOptions, FlagsCountOnlyAfterTheProgramPath) {
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"--work-minutes", "40", "--version"}).version);
    EXPECT_TRUE(parse({"--self-test"}).selfTest);
    EXPECT_FALSE(parseLaunchOptions({QStringLiteral("--help")}).help);
}

TEST(LaunchOptions, WorkLengthFromDemoSecondsStoreOrCommandLine) {
    MemoryPreferenceStore store;
    const auto work = [&](std::initializer_list<const char*> arguments) {
        return initialWorkSeconds(parse(arguments), store);
    };
    EXPECT_EQ(work({}), 1800.0);
    EXPECT_EQ(work({"--work-minutes", "10"}), 1800.0);
    EXPECT_EQ(work({"--work-minutes", "37"}), 37.0 * 60.0);
    EXPECT_EQ(work({"--work-minutes", "90"}), 3000.0);
    // Demo lengths switch on with any readable value and last at least a second.
    EXPECT_EQ(work({"--demo-work-seconds", "12"}), 12.0);
    EXPECT_EQ(work({"--demo-work-seconds", "0.4"}), 1.0);
    EXPECT_EQ(work({"--demo-work-seconds", "-3"}), 1.0);
    EXPECT_FALSE(parse({"--demo-work-seconds", "abc"}).demoWorkSeconds.has_value());
    EXPECT_FALSE(parse({"--demo-work-seconds", "nan"}).demoWorkSeconds.has_value());
    // A stored length wins over the command line's, but not over a demo length.
    setSavedWorkMinutes(35.0, store);
    EXPECT_EQ(work({"--work-minutes", "45"}), 2100.0);
    EXPECT_EQ(work({"--demo-work-seconds", "12"}), 12.0);
    EXPECT_EQ(parse({"--lock-minutes", "0.5"}).restSeconds, 30.0);
}
