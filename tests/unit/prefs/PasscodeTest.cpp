#include "prefs/Passcode.h"

#include "fakes/MemoryPreferenceStore.h"
#include "prefs/PreferenceKeys.h"
#include "unit/prefs/PrefsTestSupport.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

QString utf16(const char16_t* text) {
    return QString::fromUtf16(text);
}

MemoryPreferenceStore storedPasscode(const QJsonValue& value) {
    return MemoryPreferenceStore(QJsonObject{{passcodeKey, value}});
}

} // namespace

TEST(Passcode, TheDefaultAppliesWhenNothingUsableIsStored) {
    EXPECT_EQ(currentPasscode(MemoryPreferenceStore()), QStringLiteral("482615"));
    for (const QJsonValue& unusable :
         {QJsonValue(QString()), QJsonValue(QStringLiteral("   ")),
          QJsonValue(QStringLiteral("\t\n")), QJsonValue(utf16(u"\u3000\u00A0")),
          QJsonValue(123456.0), QJsonValue(true)}) {
        EXPECT_EQ(currentPasscode(storedPasscode(unusable)), defaultPasscode);
    }
    // A usable passcode is returned exactly as stored, surrounding spaces and all.
    EXPECT_EQ(currentPasscode(storedPasscode(QStringLiteral(" 12 34 "))),
              QStringLiteral(" 12 34 "));
    EXPECT_EQ(currentPasscode(storedPasscode(QStringLiteral("0"))), QStringLiteral("0"));
}

TEST(Passcode, WhiteSpaceIsEveryUnicodeSpaceAndNewline) {
    EXPECT_EQ(normalizedPasscode(QStringLiteral("  abc\t\r\n")), QStringLiteral("abc"));
    EXPECT_EQ(normalizedPasscode(utf16(u"\u3000pass word\u2029")), QStringLiteral("pass word"));
    for (const char16_t* blank :
         {u"", u" ", u"\t\n", u"\u00A0", u"\u0085", u"\u1680", u"\u2003", u"\u2028", u"\u2029",
          u"\u202F", u"\u205F", u"\u3000", u"\u000B\u000C"}) {
        EXPECT_FALSE(isValidNewPasscode(utf16(blank)));
        EXPECT_TRUE(normalizedPasscode(utf16(blank)).isEmpty());
    }
    EXPECT_TRUE(isValidNewPasscode(QStringLiteral("x")));
    EXPECT_TRUE(isValidNewPasscode(utf16(u" \u5BC6 ")));
    // A zero-width space is a character, not white space.
    EXPECT_TRUE(isValidNewPasscode(utf16(u"\u200B")));
}

TEST(Passcode, SettingStoresTheTrimmedTextOrNothing) {
    MemoryPreferenceStore store;
    setCurrentPasscode(QStringLiteral("   "), store);
    EXPECT_FALSE(store.contains(passcodeKey));

    setCurrentPasscode(QStringLiteral("  new code \n"), store);
    EXPECT_EQ(store.string(passcodeKey), QStringLiteral("new code"));
    EXPECT_EQ(currentPasscode(store), QStringLiteral("new code"));

    for (const QString& blank : {QString(), QStringLiteral(" "), utf16(u"\t\u3000\n")}) {
        setCurrentPasscode(blank, store);
        EXPECT_EQ(currentPasscode(store), QStringLiteral("new code"));
    }
    setCurrentPasscode(utf16(u"\u00E9t\u00E9"), store);
    EXPECT_EQ(currentPasscode(store), utf16(u"\u00E9t\u00E9"));
}
