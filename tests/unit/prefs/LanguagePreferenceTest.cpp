#include "prefs/LanguagePreference.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/prefs/PrefsTestSupport.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

const std::optional<AppLanguage> notForced;

MemoryPreferenceStore storedLanguage(const QJsonValue& value) {
    return MemoryPreferenceStore(QJsonObject{{languageKey, value}});
}

std::optional<AppLanguage> match(const char* entry) {
    return languageMatchingSystemEntry(QString::fromUtf8(entry));
}

} // namespace

TEST(LanguagePreference, SystemEntriesMatchByCodeOrItsPrefix) {
    EXPECT_EQ(match("zh-Hans"), AppLanguage::simplifiedChinese);
    EXPECT_EQ(match("zh-Hans-CN"), AppLanguage::simplifiedChinese);
    EXPECT_EQ(match("en"), AppLanguage::english);
    EXPECT_EQ(match("en-GB"), AppLanguage::english);
    EXPECT_EQ(match("ja-JP"), AppLanguage::japanese);
    EXPECT_EQ(match("ko-KR"), AppLanguage::korean);
    EXPECT_EQ(match("es-419"), AppLanguage::spanish);
    EXPECT_EQ(match("fr-CA"), AppLanguage::french);
    EXPECT_EQ(match("de"), AppLanguage::german);
    // Case, separator and the whole first part must match.
    for (const char* entry : {"en_GB", "EN", "En-GB", "zh-Hant-TW", "zh-CN", "zh", "eng", "english",
                              "pt-BR", "", "-en"}) {
        EXPECT_FALSE(match(entry).has_value()) << entry;
    }
}

TEST(LanguagePreference, OverrideThenStoredThenSystemThenSimplifiedChinese) {
    const MemoryPreferenceStore english = storedLanguage(QStringLiteral("en"));
    EXPECT_EQ(currentLanguage(english, AppLanguage::korean, QStringLiteral("fr-CA")),
              AppLanguage::korean);

    const MemoryPreferenceStore japanese = storedLanguage(QStringLiteral("ja"));
    EXPECT_EQ(currentLanguage(japanese, notForced, QStringLiteral("fr-CA")), AppLanguage::japanese);
    EXPECT_EQ(currentLanguage(japanese, notForced, QString()), AppLanguage::japanese);

    // Stored texts that are not exactly a language code are ignored and the system decides.
    for (const QJsonValue& ignored :
         {QJsonValue(QStringLiteral("jp")), QJsonValue(QStringLiteral("JA")),
          QJsonValue(QStringLiteral("ja-JP")), QJsonValue(3.0)}) {
        EXPECT_EQ(currentLanguage(storedLanguage(ignored), notForced, QStringLiteral("fr-CA")),
                  AppLanguage::french);
    }

    const MemoryPreferenceStore empty;
    EXPECT_EQ(currentLanguage(empty, notForced, QStringLiteral("fr-CA")), AppLanguage::french);
    EXPECT_EQ(currentLanguage(empty, notForced, QStringLiteral("de-AT")), AppLanguage::german);
    EXPECT_EQ(currentLanguage(empty, notForced, QStringLiteral("en")), AppLanguage::english);
    EXPECT_EQ(currentLanguage(empty, notForced, QStringLiteral("pt-BR")),
              AppLanguage::simplifiedChinese);
    EXPECT_EQ(currentLanguage(empty, notForced, QString()), AppLanguage::simplifiedChinese);
    EXPECT_EQ(currentLanguage(empty, notForced, QStringLiteral("en_GB")),
              AppLanguage::simplifiedChinese);
}

TEST(LanguagePreference, ChoosingWritesTheCodeAndReadingWritesNothing) {
    MemoryPreferenceStore store;
    EXPECT_EQ(currentLanguage(store, notForced, QStringLiteral("fr-CA")), AppLanguage::french);
    EXPECT_TRUE(store.values().isEmpty());

    setCurrentLanguage(AppLanguage::german, store);
    EXPECT_EQ(store.string(languageKey), QStringLiteral("de"));
    setCurrentLanguage(AppLanguage::simplifiedChinese, store);
    EXPECT_EQ(store.string(languageKey), QStringLiteral("zh-Hans"));
    EXPECT_EQ(currentLanguage(store, notForced, QStringLiteral("fr-CA")),
              AppLanguage::simplifiedChinese);

    const MemoryPreferenceStore unknown = storedLanguage(QStringLiteral("jp"));
    MemoryPreferenceStore copy = unknown;
    static_cast<void>(currentLanguage(copy, notForced, QStringLiteral("en")));
    EXPECT_EQ(copy.values(), unknown.values());
}

// The system language comes from the locale environment, which Qt reads once per process, so
// each case runs this test again in a child process with that environment.
TEST(LanguagePreference, SystemLanguageFromTheLocaleEnvironment) {
    const char* expectedVariable = "LUMATIDE_TEST_EXPECTED_SYSTEM_LANGUAGE";
    if (qEnvironmentVariableIsSet(expectedVariable)) {
        EXPECT_EQ(systemPreferredLanguage(), qEnvironmentVariable(expectedVariable));
        return;
    }

    struct Case {
        QStringList variables;
        QString expected;
    };
    const QList<Case> cases{
        {{}, QStringLiteral("en")},
        {{QStringLiteral("LANG=C")}, QStringLiteral("en")},
        {{QStringLiteral("LANG=C.UTF-8")}, QStringLiteral("en")},
        {{QStringLiteral("LANG=POSIX")}, QStringLiteral("en")},
        {{QStringLiteral("LC_ALL=C"), QStringLiteral("LANG=fr_FR.UTF-8")}, QStringLiteral("en")},
        {{QStringLiteral("LANG=en_GB.UTF-8")}, QStringLiteral("en-GB")},
        {{QStringLiteral("LANG=fr_CA.UTF-8")}, QStringLiteral("fr-CA")},
        {{QStringLiteral("LANG=fr_CA.UTF-8"), QStringLiteral("LANGUAGE=de")}, QStringLiteral("de")},
        {{QStringLiteral("LANG=C"), QStringLiteral("LC_MESSAGES=ko_KR.UTF-8")},
         QStringLiteral("ko-KR")},
    };
    for (const Case& each : cases) {
        const QString description = each.variables.join(QLatin1Char(' '));
        SCOPED_TRACE(description.toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys()) {
            if (name == QLatin1String("LANG") || name == QLatin1String("LANGUAGE") ||
                name.startsWith(QLatin1String("LC_"))) {
                environment.remove(name);
            }
        }
        for (const QString& variable : each.variables) {
            const qsizetype equals = variable.indexOf(QLatin1Char('='));
            environment.insert(variable.left(equals), variable.mid(equals + 1));
        }
        environment.insert(QString::fromLatin1(expectedVariable), each.expected);

        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=LanguagePreference."
                                    "SystemLanguageFromTheLocaleEnvironment")});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
    }
}
