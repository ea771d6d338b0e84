#include "content/ResetPasscodeTexts.h"

#include "prefs/Passcode.h"
#include "unit/content/QStringPrinting.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

const QStringList keys{
    QStringLiteral("menu"),     QStringLiteral("title"),    QStringLiteral("old"),
    QStringLiteral("new"),      QStringLiteral("confirm"),  QStringLiteral("ok"),
    QStringLiteral("cancel"),   QStringLiteral("oldWrong"), QStringLiteral("empty"),
    QStringLiteral("mismatch"), QStringLiteral("success")};

TEST(ResetPasscodeText, SampleTexts) {
    EXPECT_EQ(resetPasscodeText(QStringLiteral("success"), AppLanguage::german),
              QStringLiteral("Code aktualisiert."));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("menu"), AppLanguage::english),
              QStringLiteral("Reset Passcode"));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("mismatch"), AppLanguage::simplifiedChinese),
              QStringLiteral("两次输入的新密码不一致。"));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("confirm"), AppLanguage::japanese),
              QStringLiteral("新しいパスコードを確認"));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("empty"), AppLanguage::korean),
              QStringLiteral("새 암호는 비워 둘 수 없습니다."));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("empty"), AppLanguage::spanish),
              QStringLiteral("El nuevo código no puede estar vacío."));
    EXPECT_EQ(resetPasscodeText(QStringLiteral("menu"), AppLanguage::french),
              QStringLiteral("Réinitialiser le code"));
}

TEST(ResetPasscodeText, EveryKeyInEveryLanguage) {
    for (AppLanguage language : allLanguages) {
        QSet<QString> distinct;
        for (const QString& key : keys) {
            const QString text = resetPasscodeText(key, language);
            EXPECT_FALSE(text.isEmpty());
            EXPECT_NE(text, key) << languageCode(language).toStdString() << " "
                                 << key.toStdString();
            distinct.insert(text);
        }
        // "menu" and "title" share their wording; every other key has its own.
        EXPECT_EQ(resetPasscodeText(QStringLiteral("menu"), language),
                  resetPasscodeText(QStringLiteral("title"), language));
        EXPECT_EQ(distinct.size(), keys.size() - 1) << languageCode(language).toStdString();
    }
    // Each language has its own result messages.
    QSet<QString> wrong;
    for (AppLanguage language : allLanguages) {
        wrong.insert(resetPasscodeText(QStringLiteral("oldWrong"), language));
    }
    EXPECT_EQ(wrong.size(), 7);
}

TEST(ResetPasscodeText, UnknownKeysComeBackUnchanged) {
    for (const QString& key : {QStringLiteral("hello"), QString(), QStringLiteral("Menu"),
                               QStringLiteral("success "), QStringLiteral("密码")}) {
        EXPECT_EQ(resetPasscodeText(key, AppLanguage::german), key);
        EXPECT_EQ(resetPasscodeText(key, AppLanguage::simplifiedChinese), key);
    }
}

} // namespace
} // namespace lumatide
