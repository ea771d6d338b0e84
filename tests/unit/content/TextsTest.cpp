#include "content/Texts.h"

#include "content/ResetPasscodeTexts.h"
#include "content/TextFormat.h"
#include "prefs/Passcode.h"
#include "unit/content/QStringPrinting.h"

#include <QRegularExpression>
#include <QSet>
#include <array>
#include <gtest/gtest.h>
#include <utility>

namespace lumatide {
namespace {

using Field = QString Texts::*;

// The 32 interface strings, with their names for failure messages.
const std::array<std::pair<const char*, Field>, 32> stringFields{{
    {"menuStartBreakNow", &Texts::menuStartBreakNow},
    {"menuRestartWork", &Texts::menuRestartWork},
    {"menuWorkDuration", &Texts::menuWorkDuration},
    {"menuWorkDurationMinutes", &Texts::menuWorkDurationMinutes},
    {"menuLanguage", &Texts::menuLanguage},
    {"menuLaunchAtLogin", &Texts::menuLaunchAtLogin},
    {"menuAnonymousUsageStats", &Texts::menuAnonymousUsageStats},
    {"menuQuit", &Texts::menuQuit},
    {"unlock", &Texts::unlock},
    {"passwordPlaceholder", &Texts::passwordPlaceholder},
    {"incorrectPassword", &Texts::incorrectPassword},
    {"warningStartsIn", &Texts::warningStartsIn},
    {"warningHint", &Texts::warningHint},
    {"sheetTitleWide", &Texts::sheetTitleWide},
    {"sheetTitleNarrow", &Texts::sheetTitleNarrow},
    {"poseNumber", &Texts::poseNumber},
    {"poseStepPrefix", &Texts::poseStepPrefix},
    {"busyTitle", &Texts::busyTitle},
    {"busyMessage", &Texts::busyMessage},
    {"busyDeferButton", &Texts::busyDeferButton},
    {"busyStartButton", &Texts::busyStartButton},
    {"restartLimitTitle", &Texts::restartLimitTitle},
    {"restartLimitMessage", &Texts::restartLimitMessage},
    {"quitConfirmTitle", &Texts::quitConfirmTitle},
    {"quitConfirmMessage", &Texts::quitConfirmMessage},
    {"quitConfirmButton", &Texts::quitConfirmButton},
    {"quitCancelButton", &Texts::quitCancelButton},
    {"quitLimitTitle", &Texts::quitLimitTitle},
    {"quitLimitMessage", &Texts::quitLimitMessage},
    {"breatheIn", &Texts::breatheIn},
    {"hold", &Texts::hold},
    {"breatheOut", &Texts::breatheOut},
}};

std::string where(AppLanguage language, const char* field) {
    return languageCode(language).toStdString() + " " + field;
}

// The placeholders of a text in order, e.g. "%d%@".
QString placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%."));
    QString found;
    for (const auto& match : placeholder.globalMatch(text)) {
        found += match.captured();
    }
    return found;
}

TEST(Texts, EveryLanguageHasACompleteTable) {
    const std::array<ActionKind, 12> kindOrder{
        ActionKind::drink,  ActionKind::drink,  ActionKind::stretch, ActionKind::stretch,
        ActionKind::reach,  ActionKind::reach,  ActionKind::breathe, ActionKind::breathe,
        ActionKind::taiChi, ActionKind::taiChi, ActionKind::yoga,    ActionKind::yoga};
    for (AppLanguage language : allLanguages) {
        const Texts& texts = Texts::forLanguage(language);
        for (const auto& [name, field] : stringFields) {
            const QString& text = texts.*field;
            EXPECT_FALSE(text.trimmed().isEmpty()) << where(language, name);
            EXPECT_EQ(text, text.trimmed()) << where(language, name);
        }
        ASSERT_EQ(texts.actions.size(), kindOrder.size()) << where(language, "actions");
        for (std::size_t i = 0; i < kindOrder.size(); ++i) {
            const BreakAction& action = texts.actions[i];
            EXPECT_EQ(action.kind, kindOrder[i]) << where(language, "actions") << " " << i;
            EXPECT_FALSE(action.title.isEmpty());
            EXPECT_FALSE(action.instruction.isEmpty());
            EXPECT_FALSE(action.caution.isEmpty());
        }
        EXPECT_EQ(texts.poseInstructions.size(), allActionKinds.size());
        for (ActionKind kind : allActionKinds) {
            ASSERT_EQ(texts.poseInstructions.count(kind), 1U);
            const QStringList& lines = texts.poseInstructions.at(kind);
            EXPECT_EQ(lines.size(), 8) << where(language, "poseInstructions");
            for (const QString& line : lines) {
                EXPECT_FALSE(line.isEmpty());
                EXPECT_FALSE(line.contains(u'\n'));
            }
        }
    }
}

TEST(Texts, PlaceholdersMatchTheEnglishTable) {
    // A transcription slip in a format text would show a raw "%d" or drop the number.
    const Texts& english = Texts::forLanguage(AppLanguage::english);
    EXPECT_EQ(placeholders(english.menuWorkDurationMinutes), QStringLiteral("%d"));
    EXPECT_EQ(placeholders(english.warningStartsIn), QStringLiteral("%d"));
    EXPECT_EQ(placeholders(english.poseNumber), QStringLiteral("%d"));
    EXPECT_EQ(placeholders(english.poseStepPrefix), QStringLiteral("%d%@"));
    for (AppLanguage language : allLanguages) {
        const Texts& texts = Texts::forLanguage(language);
        for (const auto& [name, field] : stringFields) {
            EXPECT_EQ(placeholders(texts.*field), placeholders(english.*field))
                << where(language, name);
        }
        for (const BreakAction& action : texts.actions) {
            EXPECT_FALSE(action.title.contains(u'%'));
            EXPECT_FALSE(action.instruction.contains(u'%'));
            EXPECT_FALSE(action.caution.contains(u'%'));
        }
    }
}

TEST(Texts, BusyMessageHasTwoParagraphs) {
    for (AppLanguage language : allLanguages) {
        const QString& message = Texts::forLanguage(language).busyMessage;
        const QStringList paragraphs = message.split(QStringLiteral("\n\n"));
        ASSERT_EQ(paragraphs.size(), 2) << where(language, "busyMessage");
        for (const QString& paragraph : paragraphs) {
            EXPECT_FALSE(paragraph.trimmed().isEmpty()) << where(language, "busyMessage");
            EXPECT_FALSE(paragraph.contains(u'\n')) << where(language, "busyMessage");
            EXPECT_EQ(paragraph, paragraph.trimmed()) << where(language, "busyMessage");
        }
    }
}

TEST(Texts, EachLanguageHasItsOwnWording) {
    // Only these cells coincide between languages; anything else equal means one language's
    // table was filled with another's texts.
    const QSet<QString> sharedCells{QStringLiteral("menuWorkDurationMinutes"),
                                    QStringLiteral("passwordPlaceholder"),
                                    QStringLiteral("busyDeferButton")};
    for (AppLanguage first : allLanguages) {
        for (AppLanguage second : allLanguages) {
            if (first == second) {
                continue;
            }
            const Texts& a = Texts::forLanguage(first);
            const Texts& b = Texts::forLanguage(second);
            for (const auto& [name, field] : stringFields) {
                if (!sharedCells.contains(QString::fromLatin1(name))) {
                    EXPECT_NE(a.*field, b.*field)
                        << where(first, name) << " vs " << languageCode(second).toStdString();
                }
            }
            for (std::size_t i = 0; i < a.actions.size() && i < b.actions.size(); ++i) {
                EXPECT_NE(a.actions[i].title, b.actions[i].title);
            }
            for (ActionKind kind : allActionKinds) {
                EXPECT_NE(a.poseInstructions.at(kind), b.poseInstructions.at(kind));
            }
        }
    }
}

TEST(Texts, RepeatedCellsAgreeWithinALanguage) {
    for (AppLanguage language : allLanguages) {
        const Texts& texts = Texts::forLanguage(language);
        EXPECT_EQ(texts.busyStartButton, texts.menuStartBreakNow) << where(language, "busy");
        // The quit dialog and the change-passcode form use the same cancel wording.
        EXPECT_EQ(texts.quitCancelButton, resetPasscodeText(QStringLiteral("cancel"), language))
            << where(language, "cancel");
    }
}

TEST(Texts, SampleCells) {
    const Texts& zh = Texts::forLanguage(AppLanguage::simplifiedChinese);
    const Texts& en = Texts::forLanguage(AppLanguage::english);
    const Texts& ja = Texts::forLanguage(AppLanguage::japanese);
    const Texts& ko = Texts::forLanguage(AppLanguage::korean);
    const Texts& es = Texts::forLanguage(AppLanguage::spanish);
    const Texts& fr = Texts::forLanguage(AppLanguage::french);
    const Texts& de = Texts::forLanguage(AppLanguage::german);

    EXPECT_EQ(zh.busyMessage,
              QStringLiteral("要将本次休息顺延 5 分钟吗？\n\n提示：顺延机会每天只有一次。"));
    EXPECT_EQ(zh.poseStepPrefix, QStringLiteral("第 %d 式：%@"));
    EXPECT_EQ(
        en.busyMessage,
        QStringLiteral("Postpone this break by 5 minutes?\n\nTip: you can postpone once per day."));
    EXPECT_EQ(en.warningStartsIn, QStringLiteral("Break starts in %d seconds"));
    EXPECT_EQ(formatText(en.menuWorkDurationMinutes, 35), QStringLiteral("35 min"));
    EXPECT_EQ(formatText(en.poseStepPrefix, 2, QStringLiteral("Relax chest")),
              QStringLiteral("Step 2: Relax chest"));
    EXPECT_EQ(ja.warningHint, QStringLiteral("作業を区切り、ゆっくり呼吸しましょう。"));
    EXPECT_EQ(ko.incorrectPassword, QStringLiteral("암호가 틀렸습니다"));
    EXPECT_EQ(ko.poseStepPrefix, QStringLiteral("%d단계: %@"));
    EXPECT_EQ(es.busyDeferButton, QStringLiteral("Postpone 5 min"));
    EXPECT_EQ(es.quitConfirmTitle, QStringLiteral("¿Salir por 1 hora?"));
    EXPECT_EQ(fr.poseStepPrefix, QStringLiteral("Étape %d : %@"));
    EXPECT_EQ(fr.restartLimitTitle, QStringLiteral("Déjà redémarré aujourd'hui"));
    EXPECT_EQ(fr.passwordPlaceholder, QStringLiteral("Code"));
    EXPECT_EQ(de.passwordPlaceholder, QStringLiteral("Code"));
    EXPECT_EQ(de.warningHint, QStringLiteral("Schließe ruhig ab und atme tief durch."));
    EXPECT_EQ(de.menuWorkDurationMinutes, QStringLiteral("%d Min."));

    EXPECT_EQ(zh.actions[4].title, QStringLiteral("双手托天理三焦"));
    EXPECT_EQ(en.actions[1].title, QStringLiteral("Walk Around"));
    EXPECT_EQ(fr.actions[4].title, QStringLiteral("S'étirer vers le haut"));
    EXPECT_EQ(de.actions[11].title, QStringLiteral("Sonnengruß im Stehen"));
    EXPECT_EQ(es.actions[6].caution,
              QStringLiteral("No contengas la respiración. Detente si incomoda."));
    EXPECT_EQ(ja.poseInstructions.at(ActionKind::drink).size(), 8);
    EXPECT_EQ(de.poseInstructions.at(ActionKind::taiChi).at(2),
              QStringLiteral("Linke Hand kreist"));
}

TEST(Texts, SameLanguageGivesTheSameTable) {
    for (AppLanguage language : allLanguages) {
        const Texts& first = Texts::forLanguage(language);
        const Texts& second = Texts::forLanguage(language);
        // Callers keep the reference; it must name the one table of the language.
        EXPECT_EQ(&first, &second);
    }
}

} // namespace
} // namespace lumatide
