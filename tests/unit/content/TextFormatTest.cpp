#include "content/TextFormat.h"

#include "unit/content/QStringPrinting.h"

#include <climits>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

TEST(TextFormat, FillsNumberAndString) {
    EXPECT_EQ(formatText(QStringLiteral("%d min"), 35), QStringLiteral("35 min"));
    EXPECT_EQ(formatText(QStringLiteral("%d秒後に休憩開始"), 30),
              QStringLiteral("30秒後に休憩開始"));
    EXPECT_EQ(formatText(QStringLiteral("Step %d: %@"), 2, QStringLiteral("Relax chest")),
              QStringLiteral("Step 2: Relax chest"));
    EXPECT_EQ(formatText(QStringLiteral("第 %d 式：%@"), 8, QStringLiteral("自然呼吸")),
              QStringLiteral("第 8 式：自然呼吸"));
    EXPECT_EQ(formatText(QStringLiteral("%d"), -7), QStringLiteral("-7"));
    EXPECT_EQ(formatText(QStringLiteral("%d"), LLONG_MIN), QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(formatText(QStringLiteral("%d"), LLONG_MAX), QStringLiteral("9223372036854775807"));
    EXPECT_EQ(formatText(QStringLiteral("no placeholder"), 3), QStringLiteral("no placeholder"));
    EXPECT_EQ(formatText(QString(), 3), QString());
}

TEST(TextFormat, PercentEscapes) {
    EXPECT_EQ(formatText(QStringLiteral("100%% after %d s"), 5), QStringLiteral("100% after 5 s"));
    // "%%d" is an escaped percent sign followed by a plain d, not a placeholder.
    EXPECT_EQ(formatText(QStringLiteral("%%d"), 5), QStringLiteral("%d"));
    EXPECT_EQ(formatText(QStringLiteral("%%%d"), 5), QStringLiteral("%5"));
    EXPECT_EQ(formatText(QStringLiteral("%%@"), 1, QStringLiteral("x")), QStringLiteral("%@"));
}

TEST(TextFormat, FaultyTextsStayReadable) {
    // Unknown conversions and a lone trailing percent sign are kept as written.
    EXPECT_EQ(formatText(QStringLiteral("%x %s %"), 1), QStringLiteral("%x %s %"));
    EXPECT_EQ(formatText(QStringLiteral("%"), 1, QStringLiteral("x")), QStringLiteral("%"));
    // A string placeholder with no string to give stays visible instead of reading garbage.
    EXPECT_EQ(formatText(QStringLiteral("%d: %@"), 4), QStringLiteral("4: %@"));
    // Repeated placeholders reuse the one value there is.
    EXPECT_EQ(formatText(QStringLiteral("%d/%d %@%@"), 3, QStringLiteral("ab")),
              QStringLiteral("3/3 abab"));
    // A substituted string is not scanned again.
    EXPECT_EQ(formatText(QStringLiteral("%@ %d"), 1, QStringLiteral("%d%@%%")),
              QStringLiteral("%d%@%% 1"));
}

} // namespace
} // namespace lumatide
