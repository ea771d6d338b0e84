#include "content/Breathing.h"

#include "content/Texts.h"
#include "unit/content/QStringPrinting.h"

#include <QTimeZone>
#include <climits>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

// 2001-01-01 00:00:00 UTC in Unix milliseconds.
constexpr qint64 referenceMsecs = 978307200000LL;

// The instant `msecs` milliseconds after the breathing reference instant.
QDateTime afterReference(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(referenceMsecs + msecs, QTimeZone::utc());
}

TEST(Breathing, SecondsAreCountedFrom2001) {
    EXPECT_EQ(
        secondsSinceBreathingReference(QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc())),
        0.0);
    EXPECT_EQ(secondsSinceBreathingReference(QDateTime::fromMSecsSinceEpoch(0, QTimeZone::utc())),
              -978307200.0);
    EXPECT_DOUBLE_EQ(secondsSinceBreathingReference(afterReference(2500)), 2.5);
    EXPECT_DOUBLE_EQ(secondsSinceBreathingReference(afterReference(-1250)), -1.25);
    // The instant counts, not how its local time reads.
    const QDateTime utc(QDate(2024, 5, 6), QTime(7, 8, 9, 500), QTimeZone::utc());
    EXPECT_DOUBLE_EQ(secondsSinceBreathingReference(utc.toTimeZone(QTimeZone(3600 * 9))),
                     secondsSinceBreathingReference(utc));
    EXPECT_EQ(secondsSinceBreathingReference(QDateTime()), 0.0);
}

TEST(Breathing, PhasesOfOneCycle) {
    const auto english = AppLanguage::english;
    auto at = [](double seconds) { return afterReference(qRound64(seconds * 1000.0)); };

    BreathingPhase phase = breathingPhase(at(0.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Inhale"));
    EXPECT_EQ(phase.progress, 0.0);
    EXPECT_EQ(smoothBreathingFontSize(at(0.0)), 20.0);

    phase = breathingPhase(at(2.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Inhale"));
    EXPECT_DOUBLE_EQ(phase.progress, 0.5);
    EXPECT_DOUBLE_EQ(smoothBreathingFontSize(at(2.0)), 27.0);

    // The boundaries are strict: 4.0 already holds, 7.0 already breathes out.
    EXPECT_EQ(breathingPhase(at(3.999), english).text, QStringLiteral("Inhale"));
    phase = breathingPhase(at(4.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Hold"));
    EXPECT_EQ(phase.progress, 1.0);
    EXPECT_DOUBLE_EQ(smoothBreathingFontSize(at(4.0)), 34.0);
    EXPECT_EQ(breathingPhase(at(6.999), english).text, QStringLiteral("Hold"));

    phase = breathingPhase(at(7.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Exhale"));
    EXPECT_DOUBLE_EQ(phase.progress, 1.0);
    EXPECT_DOUBLE_EQ(smoothBreathingFontSize(at(7.0)), 34.0);

    phase = breathingPhase(at(9.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Exhale"));
    EXPECT_DOUBLE_EQ(phase.progress, 0.6);
    EXPECT_NEAR(smoothBreathingFontSize(at(9.0)), 29.072, 1e-9);
    EXPECT_LT(smoothBreathingFontSize(at(9.0)), smoothBreathingFontSize(at(7.0)));

    phase = breathingPhase(at(11.999), english);
    EXPECT_EQ(phase.text, QStringLiteral("Exhale"));
    EXPECT_NEAR(phase.progress, 0.0002, 1e-9);

    phase = breathingPhase(at(12.0), english);
    EXPECT_EQ(phase.text, QStringLiteral("Inhale"));
    EXPECT_EQ(phase.progress, 0.0);
}

TEST(Breathing, WholeCyclesLaterGiveTheSamePhase) {
    const qint64 cycle = 12000;
    for (qint64 offset : {0LL, 1500LL, 4000LL, 6999LL, 7000LL, 9000LL, 11999LL}) {
        const BreathingPhase base = breathingPhase(afterReference(offset), AppLanguage::german);
        // Up to roughly 380 years ahead.
        for (qint64 k : {1LL, 7LL, 1000LL, 123456LL, 1000000000LL}) {
            const QDateTime later = afterReference(offset + k * cycle);
            const BreathingPhase shifted = breathingPhase(later, AppLanguage::german);
            EXPECT_EQ(shifted.text, base.text) << offset << " + " << k << " cycles";
            EXPECT_NEAR(shifted.progress, base.progress, 1e-6) << offset << " + " << k;
            EXPECT_NEAR(smoothBreathingFontSize(later),
                        smoothBreathingFontSize(afterReference(offset)), 1e-4);
        }
    }
    // After 2001 the cycle lines up with Unix time as well: 1700000004 is a multiple of 12.
    EXPECT_EQ(breathingPhase(QDateTime::fromSecsSinceEpoch(1700000004 + 5, QTimeZone::utc()),
                             AppLanguage::english)
                  .text,
              QStringLiteral("Hold"));
}

TEST(Breathing, InstantsBefore2001) {
    // Before the reference instant the position is negative: still breathing in, with a
    // negative, unclamped progress.
    BreathingPhase phase = breathingPhase(afterReference(-1000), AppLanguage::english);
    EXPECT_EQ(phase.text, QStringLiteral("Inhale"));
    EXPECT_DOUBLE_EQ(phase.progress, -0.25);
    phase = breathingPhase(afterReference(-11500), AppLanguage::french);
    EXPECT_EQ(phase.text, QStringLiteral("Inspirez"));
    EXPECT_DOUBLE_EQ(phase.progress, -2.875);
    phase = breathingPhase(afterReference(-12000), AppLanguage::english);
    EXPECT_EQ(phase.progress, 0.0);
    // The font stays within its range all the same, also at the Unix epoch.
    for (qint64 msecs : {-1000LL, -6000LL, -11500LL, -referenceMsecs, -referenceMsecs - 7700}) {
        const double size = smoothBreathingFontSize(afterReference(msecs));
        EXPECT_GE(size, 20.0) << msecs;
        EXPECT_LE(size, 34.0) << msecs;
    }
}

} // namespace
} // namespace lumatide
