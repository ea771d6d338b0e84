// SPDX-License-Identifier: GPL-3.0-or-later
// The text tables and the helpers that read them. The tables themselves are not restated:
// these tests check the properties a slip in a table or a helper would break.

#include "content/AppLanguage.h"
#include "content/Breathing.h"
#include "content/PoseInstructions.h"
#include "content/ResetPasscodeTexts.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "unit/UnitTestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <climits>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

using namespace Qt::StringLiterals;

// Every interface text of a table, in declaration order.
QStringList textsOf(const Texts& t) {
    return QStringList() << t.menuStartBreakNow << t.menuRestartWork << t.menuWorkDuration
                         << t.menuWorkDurationMinutes << t.menuLanguage << t.menuLaunchAtLogin
                         << t.menuAnonymousUsageStats << t.menuQuit << t.unlock
                         << t.passwordPlaceholder << t.incorrectPassword << t.warningStartsIn
                         << t.warningHint << t.sheetTitleWide << t.sheetTitleNarrow << t.poseNumber
                         << t.poseStepPrefix << t.busyTitle << t.busyMessage << t.busyDeferButton
                         << t.busyStartButton << t.restartLimitTitle << t.restartLimitMessage
                         << t.quitConfirmTitle << t.quitConfirmMessage << t.quitConfirmButton
                         << t.quitCancelButton << t.quitLimitTitle << t.quitLimitMessage
                         << t.breatheIn << t.hold << t.breatheOut;
}

// What formatText fills in a text: its "%d" and "%@", and every other "%" it would show.
std::tuple<qsizetype, qsizetype, qsizetype> placeholders(const QString& text) {
    return {text.count(u"%d"_s), text.count(u"%@"_s), text.count(u'%')};
}

TEST(Texts, EveryLanguageHasACompleteTableOfItsOwn) {
    const Texts& english = Texts::forLanguage(AppLanguage::english);
    QSet<QString> names;
    for (AppLanguage language : allLanguages) {
        SCOPED_TRACE(languageCode(language).toStdString());
        const Texts& table = Texts::forLanguage(language);
        // Callers keep the reference; it must name the one table of the language.
        EXPECT_EQ(&table, &Texts::forLanguage(language));
        const QStringList texts = textsOf(table);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            // A slip in a format text would show a raw "%d" or drop the number.
            EXPECT_FALSE(texts[i].isEmpty() || texts[i] != texts[i].trimmed()) << "text " << i;
            EXPECT_EQ(placeholders(texts[i]), placeholders(textsOf(english)[i])) << "text " << i;
        }
        // Twelve activities, two of each kind in the same order in every language.
        ASSERT_EQ(table.actions.size(), 12U);
        for (std::size_t i = 0; i < table.actions.size(); ++i) {
            const BreakAction& action = table.actions[i];
            EXPECT_EQ(action.kind, allActionKinds[i / 2]) << "action " << i;
            for (const QString& text : {action.title, action.instruction, action.caution}) {
                EXPECT_FALSE(text.isEmpty() || text.contains(u'%')) << "action " << i;
            }
        }
        for (ActionKind kind : allActionKinds) {
            ASSERT_EQ(table.poseInstructions.at(kind).size(), 8);
            EXPECT_FALSE(table.poseInstructions.at(kind).contains(QString()));
        }
        // One wording per command wherever it appears; each language is found by its own code
        // and has a name of its own.
        EXPECT_EQ(table.quitCancelButton, resetPasscodeText(u"cancel"_s, language));
        EXPECT_EQ(languageFromCode(languageCode(language)), language);
        names.insert(displayName(language));
        // A table filled with another language's texts shows up as many equal cells; only a
        // few short ones ("Code", "%d min") coincide.
        for (AppLanguage other : allLanguages) {
            if (other == language) {
                continue;
            }
            int same = 0;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                same += texts[i] == textsOf(Texts::forLanguage(other))[i] ? 1 : 0;
            }
            for (std::size_t i = 0; i < table.actions.size(); ++i) {
                same +=
                    table.actions[i].title == Texts::forLanguage(other).actions[i].title ? 1 : 0;
            }
            EXPECT_LE(same, 3) << languageCode(other).toStdString();
        }
    }
    EXPECT_EQ(names.size(), std::ssize(allLanguages));
}

TEST(TextFormat, PlaceholdersEscapesAndFaultyTexts) {
    // "%%d" is an escaped percent sign and a plain d. Unknown conversions and a trailing "%"
    // stay as written, and so does "%@" with no string to give. Repeated placeholders reuse
    // the one value; a substituted string is not scanned again.
    const std::pair<QString, QString> withNumber[] = {
        {u"%d min"_s, u"35 min"_s},   {u"100%% after %d s"_s, u"100% after 35 s"_s},
        {u"%%d"_s, u"%d"_s},          {u"%%%d"_s, u"%35"_s},
        {u"%x %s %"_s, u"%x %s %"_s}, {u"%d: %@"_s, u"35: %@"_s}};
    for (const auto& [format, expected] : withNumber) {
        EXPECT_EQ(formatText(format, 35), expected) << format.toStdString();
    }
    EXPECT_EQ(formatText(u"第 %d 式：%@"_s, 8, u"自然呼吸"_s), u"第 8 式：自然呼吸"_s);
    EXPECT_EQ(formatText(u"%d/%d %@%@ %%@"_s, 3, u"ab"_s), u"3/3 abab %@"_s);
    EXPECT_EQ(formatText(u"%@ %d"_s, 1, u"%d%@%%"_s), u"%d%@%% 1"_s);
    EXPECT_EQ(formatText(u"%d"_s, LLONG_MIN), u"-9223372036854775808"_s);
}

TEST(PoseInstructions, StepsWrapAndNegativeStepsCountAsFirst) {
    // LLONG_MAX is 7 more than a multiple of 8.
    const std::pair<long long, int> steps[] = {{0, 0},  {7, 7},         {8, 0},        {13, 5},
                                               {-1, 0}, {LLONG_MIN, 0}, {LLONG_MAX, 7}};
    for (AppLanguage language : allLanguages) {
        for (ActionKind kind : allActionKinds) {
            const QStringList& lines = Texts::forLanguage(language).poseInstructions.at(kind);
            for (const auto& [step, line] : steps) {
                EXPECT_EQ(poseInstruction(kind, step, language), lines.at(line)) << step;
            }
        }
    }
}

TEST(Breathing, PhasesOfTheCycleAndTheFontSize) {
    // Milliseconds after 2001-01-01 00:00:00 UTC, the reference instant. The boundaries are
    // strict: 4.0 s already holds, 7.0 s already breathes out. Whole cycles later, centuries
    // ahead, give the same phase. Before 2001 the position is negative: still breathing in,
    // with a negative, unclamped progress; the font stays within its range all the same.
    const auto at = [](qint64 msecs) {
        return QDateTime::fromMSecsSinceEpoch(978307200000LL + msecs, QTimeZone::utc());
    };
    const Texts& english = Texts::forLanguage(AppLanguage::english);
    const QString &in = english.breatheIn, &hold = english.hold, &out = english.breatheOut;
    const std::tuple<qint64, const QString&, double, double> cases[] = {
        {0, in, 0.0, 20.0},        {2000, in, 0.5, 27.0},
        {3999, in, 0.99975, 34.0}, {4000, hold, 1.0, 34.0},
        {6999, hold, 1.0, 34.0},   {7000, out, 1.0, 34.0},
        {9000, out, 0.6, 29.072},  {11999, out, 0.0002, 20.0},
        {12000, in, 0.0, 20.0},    {12000000009000LL, out, 0.6, 29.072},
        {-1000, in, -0.25, 20.0},  {-11500, in, -2.875, 20.0}};
    for (const auto& [msecs, text, progress, fontSize] : cases) {
        const BreathingPhase phase = breathingPhase(at(msecs), AppLanguage::english);
        EXPECT_EQ(phase.text, text) << msecs;
        EXPECT_NEAR(phase.progress, progress, 1e-6) << msecs;
        EXPECT_NEAR(smoothBreathingFontSize(at(msecs)), fontSize, 1e-3) << msecs;
    }
    EXPECT_EQ(breathingPhase(at(5000), AppLanguage::french).text,
              Texts::forLanguage(AppLanguage::french).hold);
    // The instant counts, not how its local time reads.
    EXPECT_DOUBLE_EQ(secondsSinceBreathingReference(at(-1250).toTimeZone(QTimeZone(9 * 3600))),
                     -1.25);
    EXPECT_EQ(secondsSinceBreathingReference(QDateTime()), 0.0);
}

} // namespace
} // namespace lumatide
