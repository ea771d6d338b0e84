#include "cycle/CommandLine.h"

#include "cycle/Constants.h"

#include <QStringList>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

QStringList args(std::initializer_list<const char*> items) {
    QStringList list{QStringLiteral("/usr/bin/lumatide")};
    for (const char* item : items) {
        list.append(QString::fromUtf8(item));
    }
    return list;
}

const QString workMinutes = QStringLiteral("--work-minutes");

} // namespace

TEST(CommandLine, OptionIsExactArgumentFollowedByItsValue) {
    EXPECT_EQ(parseMinutes(workMinutes, 30.0, args({"--work-minutes", "40"})), 40.0);
    EXPECT_EQ(parseMinutes(workMinutes, 30.0, args({"--work-minutes=40"})), 30.0);
    EXPECT_EQ(parseMinutes(workMinutes, 30.0, args({"--work-minutes"})), 30.0);
    EXPECT_EQ(parseMinutes(workMinutes, 30.0, args({"--WORK-MINUTES", "40"})), 30.0);
    // First occurrence wins, even when its value is unreadable.
    EXPECT_EQ(
        parseMinutes(workMinutes, 30.0, args({"--work-minutes", "35", "--work-minutes", "45"})),
        35.0);
    EXPECT_EQ(
        parseMinutes(workMinutes, 30.0, args({"--work-minutes", "x", "--work-minutes", "45"})),
        30.0);
    // The value is simply the next argument, whatever it looks like.
    EXPECT_EQ(optionValue(workMinutes, args({"--work-minutes", "--lock-minutes", "2"})),
              QStringLiteral("--lock-minutes"));
    EXPECT_FALSE(optionValue(workMinutes, {}).has_value());
}

TEST(CommandLine, NumbersConvertWholeOrNotAtAll) {
    EXPECT_EQ(parseNumber(QStringLiteral("40")), 40.0);
    EXPECT_EQ(parseNumber(QStringLiteral("2.5")), 2.5);
    EXPECT_EQ(parseNumber(QStringLiteral("1e1")), 10.0);
    EXPECT_EQ(parseNumber(QStringLiteral("+7")), 7.0);
    EXPECT_EQ(parseNumber(QStringLiteral("-0.5")), -0.5);
    EXPECT_EQ(parseNumber(QStringLiteral("0x1p4")), 16.0);
    EXPECT_EQ(parseNumber(QStringLiteral(".5")), 0.5);
    for (const char* bad : {"", " 40", "\t40", "\n40", "\v40", "\f40", "\r40", "40abc", "40 ",
                            "abc", "4,5", "٤٠", "40\xC2\xA0"}) {
        EXPECT_FALSE(parseNumber(QString::fromUtf8(bad)).has_value()) << bad;
    }
    // An embedded NUL must not let "40" through as the whole text.
    EXPECT_FALSE(parseNumber(QStringLiteral("40") + QChar(0) + QStringLiteral("9")).has_value());
    // The C library's words parse, but the option readers refuse what is not finite.
    EXPECT_TRUE(std::isinf(*parseNumber(QStringLiteral("inf"))));
    EXPECT_TRUE(std::isnan(*parseNumber(QStringLiteral("nan"))));
    for (const char* word : {"inf", "-infinity", "nan", "NAN", "1e400"}) {
        EXPECT_EQ(parseMinutes(workMinutes, 30.0, args({"--work-minutes", word})), 30.0) << word;
        EXPECT_FALSE(
            parseSeconds(QStringLiteral("--demo-work-seconds"), args({"--demo-work-seconds", word}))
                .has_value())
            << word;
    }
}

TEST(CommandLine, NumbersIgnoreTheUserLocale) {
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

TEST(CommandLine, LanguageAndScenarioNeedExactNames) {
    const auto lang = [](const char* value) {
        return languageOverride(args({"--demo-language", value}));
    };
    EXPECT_EQ(lang("ja"), AppLanguage::japanese);
    EXPECT_EQ(lang("zh-Hans"), AppLanguage::simplifiedChinese);
    EXPECT_FALSE(lang("EN").has_value());
    EXPECT_FALSE(lang("zh").has_value());
    EXPECT_FALSE(lang(" en").has_value());
    EXPECT_FALSE(languageOverride(args({"--demo-language"})).has_value());

    const auto scenario = [](const char* value) {
        return demoScenario(args({"--demo-scenario", value}));
    };
    EXPECT_EQ(scenario("quit-confirm"), DemoScenario::quitConfirm);
    EXPECT_EQ(scenario("quit-limit"), DemoScenario::quitLimit);
    EXPECT_EQ(scenario("restart-limit"), DemoScenario::restartLimit);
    EXPECT_FALSE(scenario("quit").has_value());
    EXPECT_FALSE(scenario("Quit-Limit").has_value());
}

TEST(CommandLine, DemoWorkSecondsSwitchesOnlyWithAReadableValue) {
    EXPECT_TRUE(demoWorkSecondsIsEnabled(args({"--demo-work-seconds", "0.4"})));
    EXPECT_TRUE(demoWorkSecondsIsEnabled(args({"--demo-work-seconds", "-3"})));
    EXPECT_FALSE(demoWorkSecondsIsEnabled(args({"--demo-work-seconds", "abc"})));
    EXPECT_FALSE(demoWorkSecondsIsEnabled(args({"--demo-work-seconds"})));
    EXPECT_FALSE(demoWorkSecondsIsEnabled(args({})));
}

TEST(CommandLine, RestLengthIsBoundedButOtherwiseUnchanged) {
    EXPECT_EQ(configuredRestSeconds(5.0), 300.0);
    EXPECT_EQ(configuredRestSeconds(0.5), 30.0);
    EXPECT_EQ(configuredRestSeconds(0.0), 0.0);
    EXPECT_EQ(configuredRestSeconds(-2.0), 0.0);
    EXPECT_EQ(configuredRestSeconds(1e300), maximumPeriodSeconds);
    EXPECT_EQ(configuredRestSeconds(std::nan("")), 300.0);
}
