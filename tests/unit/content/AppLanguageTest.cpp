#include "content/AppLanguage.h"

#include "unit/content/QStringPrinting.h"

#include <QSet>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

TEST(AppLanguage, CodesRoundTripInMenuOrder) {
    ASSERT_EQ(allLanguages.size(), 7U);
    EXPECT_EQ(allLanguages.front(), AppLanguage::simplifiedChinese);
    EXPECT_EQ(allLanguages.back(), AppLanguage::german);

    QSet<QString> raws;
    QSet<QString> names;
    for (AppLanguage language : allLanguages) {
        EXPECT_EQ(languageFromCode(languageCode(language)), language)
            << languageCode(language).toStdString();
        EXPECT_FALSE(displayName(language).isEmpty());
        raws.insert(languageCode(language));
        names.insert(displayName(language));
    }
    EXPECT_EQ(raws.size(), 7);
    EXPECT_EQ(names.size(), 7);

    EXPECT_EQ(languageCode(AppLanguage::simplifiedChinese), QStringLiteral("zh-Hans"));
    EXPECT_EQ(languageCode(AppLanguage::korean), QStringLiteral("ko"));
    EXPECT_EQ(displayName(AppLanguage::simplifiedChinese), QStringLiteral("中文简体"));
    EXPECT_EQ(displayName(AppLanguage::japanese), QStringLiteral("日本語"));
    EXPECT_EQ(displayName(AppLanguage::spanish), QStringLiteral("Español"));
    EXPECT_EQ(displayName(AppLanguage::french), QStringLiteral("Français"));
}

TEST(AppLanguage, OnlyTheExactCodeNamesALanguage) {
    EXPECT_EQ(languageFromCode(QStringLiteral("zh-Hans")), AppLanguage::simplifiedChinese);
    EXPECT_EQ(languageFromCode(QStringLiteral("de")), AppLanguage::german);

    for (const QString& other :
         {QStringLiteral("zh-hans"), QStringLiteral("zh"), QStringLiteral("EN"), QString(),
          QStringLiteral(" en"), QStringLiteral("en "), QStringLiteral("en-US"),
          QStringLiteral("zh_Hans"), QStringLiteral("English"), QStringLiteral("Deutsch")}) {
        EXPECT_FALSE(languageFromCode(other).has_value()) << other.toStdString();
    }
}

} // namespace
} // namespace lumatide
