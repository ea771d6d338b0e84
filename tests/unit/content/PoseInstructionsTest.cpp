#include "content/PoseInstructions.h"

#include "content/Texts.h"
#include "unit/content/QStringPrinting.h"

#include <climits>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

TEST(PoseInstructions, StepsWrapAndNegativeStepsCountAsFirst) {
    const auto english = AppLanguage::english;
    EXPECT_EQ(poseInstruction(ActionKind::drink, 0, english), QStringLiteral("Plant your feet"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, 7, english), QStringLiteral("Breathe naturally"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, 8, english), QStringLiteral("Plant your feet"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, 13, english), QStringLiteral("Lower the arm"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, -3, english), QStringLiteral("Plant your feet"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, -1, english), QStringLiteral("Plant your feet"));
    EXPECT_EQ(poseInstruction(ActionKind::drink, LLONG_MIN, english),
              QStringLiteral("Plant your feet"));
    // LLONG_MAX is 7 more than a multiple of 8.
    EXPECT_EQ(poseInstruction(ActionKind::drink, LLONG_MAX, english),
              QStringLiteral("Breathe naturally"));
    EXPECT_EQ(poseInstruction(ActionKind::taiChi, 2, AppLanguage::simplifiedChinese),
              QStringLiteral("左手画圆"));
    EXPECT_EQ(poseInstruction(ActionKind::yoga, 4, AppLanguage::korean),
              poseInstruction(ActionKind::yoga, 4 + 8 * 1000003LL, AppLanguage::korean));
}

TEST(PoseInstructions, FollowTheLanguageAndKind) {
    for (AppLanguage language : allLanguages) {
        const Texts& texts = Texts::forLanguage(language);
        for (ActionKind kind : allActionKinds) {
            const QStringList& lines = texts.poseInstructions.at(kind);
            for (long long step = 0; step < 16; ++step) {
                EXPECT_EQ(poseInstruction(kind, step, language), lines.at(step % 8));
            }
        }
    }
    EXPECT_EQ(poseInstruction(ActionKind::breathe, 3, AppLanguage::french),
              QStringLiteral("Relâchez poitrine"));
    EXPECT_EQ(poseInstruction(ActionKind::reach, 1, AppLanguage::japanese),
              QStringLiteral("指を組む"));
}

TEST(PoseInstructions, ActionsLineUpAcrossLanguages) {
    const auto& reference = actions(AppLanguage::simplifiedChinese);
    ASSERT_EQ(reference.size(), 12U);
    for (AppLanguage language : allLanguages) {
        const auto& list = actions(language);
        EXPECT_EQ(&list, &Texts::forLanguage(language).actions);
        ASSERT_EQ(list.size(), reference.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].kind, reference[i].kind) << languageCode(language).toStdString() << i;
        }
    }
    // The same position is the same activity in every language.
    EXPECT_EQ(actions(AppLanguage::english)[1].title, QStringLiteral("Walk Around"));
    EXPECT_EQ(actions(AppLanguage::german)[1].title, QStringLiteral("Kurz gehen"));
    EXPECT_EQ(actions(AppLanguage::english)[4].title, QStringLiteral("Reach Up"));
    EXPECT_EQ(actions(AppLanguage::spanish)[4].kind, ActionKind::reach);
}

} // namespace
} // namespace lumatide
