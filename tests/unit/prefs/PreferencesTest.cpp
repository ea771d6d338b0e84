// SPDX-License-Identifier: GPL-3.0-or-later
// The typed reads of a store and the preferences built on them, each read from whatever a
// user's file may hold.

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/DailyAllowances.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/LanguagePreference.h"
#include "prefs/Passcode.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/TemporaryPreferenceStore.h"
#include "prefs/WorkDuration.h"
#include "unit/UnitTestSupport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <limits>

using namespace lumatide;
using namespace lumatide::test;
using namespace Qt::StringLiterals;

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

MemoryPreferenceStore holding(const QString& key, const QJsonValue& value) {
    return MemoryPreferenceStore(QJsonObject{{key, value}});
}

QDateTime utc(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
}

} // namespace

TEST(PreferenceStore, TypedReadsAcceptOnlyTheirOwnType) {
    // A number that is not finite is no usable number.
    const QString key = u"Lumatide.test"_s;
    const struct {
        QJsonValue stored;
        std::optional<QString> string;
        std::optional<double> number;
        bool boolean;
    } cases[] = {{u"40"_s, u"40"_s, {}, false}, {40.0, {}, 40.0, true},
                 {-0.5, {}, -0.5, true},        {0.0, {}, 0.0, false},
                 {true, {}, {}, true},          {false, {}, {}, false},
                 {QJsonValue(), {}, {}, false}, {QJsonArray{true}, {}, {}, false},
                 {notANumber, {}, {}, false},   {-infinity, {}, {}, false}};
    for (const auto& c : cases) {
        const MemoryPreferenceStore store = holding(key, c.stored);
        EXPECT_TRUE(store.contains(key));
        EXPECT_EQ(store.string(key), c.string);
        EXPECT_EQ(store.number(key), c.number);
        EXPECT_EQ(store.boolean(key), c.boolean);
    }
    for (const QString& yes : {u"true"_s, u"TRUE"_s, u"yes"_s, u"YES"_s, u"1"_s}) {
        EXPECT_TRUE(holding(key, yes).boolean(key)) << yes.toStdString();
    }
    for (const QString& no : {u"false"_s, u"no"_s, u"0"_s, u""_s, u"2"_s, u" true"_s, u"y"_s}) {
        EXPECT_FALSE(holding(key, no).boolean(key)) << no.toStdString();
    }
}

TEST(Passcode, TheDefaultWhiteSpaceAndStoring) {
    for (const QJsonValue& unusable : {QJsonValue(u""_s), QJsonValue(u" \t\u3000\u00A0"_s),
                                       QJsonValue(123456.0), QJsonValue(true)}) {
        EXPECT_EQ(currentPasscode(holding(passcodeKey, unusable)), defaultPasscode);
    }
    // A usable passcode is returned exactly as stored, surrounding spaces and all.
    EXPECT_EQ(currentPasscode(holding(passcodeKey, u" 12 34 "_s)), u" 12 34 "_s);
    // White space is every Unicode space and line break; a zero-width space is a character.
    const QString blank =
        u" \t\n\u000B\u000C\r\u00A0\u0085\u1680\u2003\u2028\u2029\u202F\u205F\u3000"_s;
    EXPECT_FALSE(isValidNewPasscode(blank));
    EXPECT_TRUE(isValidNewPasscode(u"\u200B"_s));
    EXPECT_EQ(normalizedPasscode(blank + u"pass word"_s + blank), u"pass word"_s);
    // Setting stores the trimmed text, or nothing at all for a blank one.
    MemoryPreferenceStore store;
    setCurrentPasscode(blank, store);
    EXPECT_FALSE(store.contains(passcodeKey));
    setCurrentPasscode(u"  new code \n"_s, store);
    setCurrentPasscode(blank, store);
    EXPECT_EQ(store.string(passcodeKey), u"new code"_s);
}

TEST(WorkDuration, LengthsAreClampedNotSnapped) {
    const std::pair<double, double> cases[] = {
        {10, 30}, {30, 30}, {30.5, 30.5},     {37, 37},       {50, 50},       {50.001, 50},
        {55, 50}, {-5, 30}, {notANumber, 30}, {infinity, 50}, {-infinity, 30}};
    for (const auto& [minutes, expected] : cases) {
        EXPECT_EQ(normalizedWorkMinutes(minutes), expected) << minutes;
    }
    // A stored number wins over the default and is clamped; anything else counts as absent.
    EXPECT_EQ(savedWorkMinutes(10.0, MemoryPreferenceStore()), 30.0);
    EXPECT_EQ(savedWorkMinutes(45.0, holding(workMinutesKey, 40.0)), 40.0);
    EXPECT_EQ(savedWorkMinutes(30.0, holding(workMinutesKey, 75.0)), 50.0);
    for (const QJsonValue& unusable :
         {QJsonValue(u"40"_s), QJsonValue(true), QJsonValue(notANumber)}) {
        EXPECT_EQ(savedWorkMinutes(45.0, holding(workMinutesKey, unusable)), 45.0);
    }
    MemoryPreferenceStore store;
    setSavedWorkMinutes(75.0, store);
    EXPECT_EQ(store.value(workMinutesKey), QJsonValue(50.0));
    setSavedWorkMinutes(notANumber, store);
    EXPECT_EQ(store.value(workMinutesKey), QJsonValue(30.0));
}

// The switch itself (on until switched off, read as a Boolean) is checked where the menu and the
// sender use it.
TEST(TelemetryPreferences, OneInstallIdPerPreferenceFile) {
    const QRegularExpression upperUuid(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"_s);
    // It lives in the file, so another run of the program gets the same identifier. A
    // throw-away store (the self-test's) has a private file of its own, gone with the store.
    QTemporaryDir base;
    {
        const ScopedEnvironmentVariable tmp("TMPDIR", QFile::encodeName(base.path()));
        TemporaryPreferenceStore store(u"install-"_s);
        TemporaryPreferenceStore other(u"install-"_s);
        const QString first = anonymousInstallId(store);
        EXPECT_TRUE(upperUuid.match(first).hasMatch()) << first.toStdString();
        JsonFilePreferenceStore nextRun(store.filePath());
        EXPECT_EQ(anonymousInstallId(nextRun), first);
        EXPECT_NE(anonymousInstallId(other), first);
        EXPECT_TRUE(store.filePath().startsWith(base.path() + u'/'));
        EXPECT_EQ(modeOf(store.filePath()), 0600);
    }
    EXPECT_TRUE(entriesOf(base.path()).isEmpty());

    // UUID text of any version in either case is kept as stored; anything else is replaced.
    const QString lower = u"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b"_s;
    for (const QString& kept : {lower, u"6F1C2A3B-4D5E-1F60-8A7B-9C0D1E2F3A4B"_s}) {
        MemoryPreferenceStore keeper = holding(anonymousTelemetryInstallIdKey, kept);
        EXPECT_EQ(anonymousInstallId(keeper), kept);
    }
    for (const QJsonValue& unusable :
         {QJsonValue(u"none"_s), QJsonValue(u'{' + lower + u'}'), QJsonValue(u' ' + lower),
          QJsonValue(lower.toUpper().remove(u'-')), QJsonValue(lower.chopped(1) + u'g'),
          QJsonValue(u"6f1c2a3b4-d5e-4f60-8a7b-9c0d1e2f3a4b"_s), QJsonValue(42.0)}) {
        MemoryPreferenceStore replacing = holding(anonymousTelemetryInstallIdKey, unusable);
        const QString replaced = anonymousInstallId(replacing);
        EXPECT_TRUE(upperUuid.match(replaced).hasMatch()) << replaced.toStdString();
        EXPECT_EQ(replacing.string(anonymousTelemetryInstallIdKey), replaced);
    }
}

TEST(DailyAllowances, DayTokensFollowTheLocalCalendar) {
    // 14:59 UTC is 23:59 nine hours ahead; a minute later the local date changes. Without a
    // date every component is missing and written as 0.
    const std::tuple<const char*, QDateTime, QString> cases[] = {
        {nineHoursAhead, utc(2026, 12, 5, 14, 59), u"2026-12-05"_s},
        {nineHoursAhead, utc(2026, 12, 5, 15, 0), u"2026-12-06"_s},
        {nineHoursAhead, utc(2026, 12, 31, 23, 0), u"2027-01-01"_s},
        {"UTC0", utc(2026, 12, 5, 15, 0), u"2026-12-05"_s},
        {"UTC0", utc(987, 3, 4, 12, 0), u"0987-03-04"_s},
        {"UTC0", QDateTime(), u"0000-00-00"_s}};
    for (const auto& [zone, when, token] : cases) {
        const ScopedEnvironmentVariable tz("TZ", QByteArray(zone));
        EXPECT_EQ(dayToken(when), token) << zone;
    }
}

TEST(DailyAllowances, EachAllowanceIsUsedUpForTheLocalDay) {
    const ScopedEnvironmentVariable tz("TZ", QByteArray(nineHoursAhead));
    const QDateTime evening = utc(2026, 12, 5, 14, 30); // 23:30 local
    const QDateTime midnight = utc(2026, 12, 4, 15, 0); // 00:00 local, the same day
    const struct {
        bool (*can)(const QDateTime&, const PreferenceStore&);
        void (*record)(const QDateTime&, PreferenceStore&);
        const QString& key;
    } allowances[] = {{canDeferToday, recordDefer, deferDayKey},
                      {canManualRestartWorkToday, recordManualRestartWork, restartWorkDayKey},
                      {canTemporaryQuitToday, recordTemporaryQuit, temporaryQuitDayKey}};
    for (const auto& allowance : allowances) {
        MemoryPreferenceStore store;
        EXPECT_TRUE(allowance.can(evening, store));
        allowance.record(evening, store);
        EXPECT_EQ(store.values(), QJsonObject({{allowance.key, u"2026-12-05"_s}}));
        EXPECT_FALSE(allowance.can(evening, store));
        EXPECT_FALSE(allowance.can(midnight, store));
        EXPECT_TRUE(allowance.can(evening.addSecs(40 * 60), store));
        // A token of a later day (the clock was set back) leaves it available; the break
        // cycle's postponement table has the other tokens that are not today's.
        EXPECT_TRUE(allowance.can(evening, holding(allowance.key, u"2099-01-01"_s)));
    }
}

TEST(LanguagePreference, OverrideThenStoredThenSystemThenSimplifiedChinese) {
    // A system entry names a language by its exact code or the code and a "-" suffix. Each
    // case is the entry and the code of the language it names, if any.
    for (const QString& c :
         {u"zh-Hans-CN zh-Hans"_s, u"en en"_s, u"ja-JP ja"_s, u"es-419 es"_s, u"fr-CA fr"_s,
          u"de de"_s, u"en_GB"_s, u"EN"_s, u"zh-Hant-TW"_s, u"zh"_s, u"eng"_s, u"-en"_s, u""_s}) {
        const std::optional<AppLanguage> found = languageMatchingSystemEntry(c.section(u' ', 0, 0));
        EXPECT_EQ(found ? languageCode(*found) : QString(), c.section(u' ', 1)) << c.toStdString();
    }
    // A forced language winning is checked where the cycle and the menu use it.
    const std::optional<AppLanguage> notForced;
    EXPECT_EQ(currentLanguage(holding(languageKey, u"ja"_s), notForced, u"fr-CA"_s),
              AppLanguage::japanese);
    // Stored texts that are not exactly a language code are ignored and the system decides.
    for (const QJsonValue& ignored : {QJsonValue(u"JA"_s), QJsonValue(u"ja-JP"_s), QJsonValue(3)}) {
        EXPECT_EQ(currentLanguage(holding(languageKey, ignored), notForced, u"fr-CA"_s),
                  AppLanguage::french);
    }
    MemoryPreferenceStore store;
    EXPECT_EQ(currentLanguage(store, notForced, u"pt-BR"_s), AppLanguage::simplifiedChinese);
    EXPECT_TRUE(store.values().isEmpty()) << "reading writes nothing";
    setCurrentLanguage(AppLanguage::simplifiedChinese, store);
    EXPECT_EQ(store.values(), QJsonObject({{languageKey, u"zh-Hans"_s}}));
}

// Qt reads the locale environment once per process, so each case runs this test again in a
// child process with that environment.
TEST(LanguagePreference, SystemLanguageFromTheLocaleEnvironment) {
    const char* expectedVariable = "LUMATIDE_TEST_EXPECTED_SYSTEM_LANGUAGE";
    if (qEnvironmentVariableIsSet(expectedVariable)) {
        EXPECT_EQ(systemPreferredLanguage(), qEnvironmentVariable(expectedVariable));
        return;
    }
    const std::pair<QStringList, QString> cases[] = {
        {{u"LANG=C.UTF-8"_s}, u"en"_s},
        {{u"LC_ALL=POSIX"_s, u"LANG=fr_FR.UTF-8"_s}, u"en"_s},
        {{u"LANG=fr_CA.UTF-8"_s, u"LANGUAGE=de"_s}, u"de"_s},
        {{u"LANG=C"_s, u"LC_MESSAGES=ko_KR.UTF-8"_s}, u"ko-KR"_s}};
    for (const auto& [variables, expected] : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys()) {
            if (name == u"LANG"_s || name == u"LANGUAGE"_s || name.startsWith(u"LC_"_s)) {
                environment.remove(name);
            }
        }
        for (const QString& variable : variables) {
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        }
        environment.insert(QString::fromLatin1(expectedVariable), expected);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {u"--gtest_filter=LanguagePreference.SystemLanguageFromTheLocaleEnvironment"_s});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
            << variables.join(u' ').toStdString() << "\n"
            << child.readAll().toStdString();
    }
}
