// SPDX-License-Identifier: GPL-3.0-or-later
// The self-test's own output is checked by self_test_binary.sh against the real program; this
// checks what the program cannot show: a damaged text table stops the run.

#include "selftest/SelfTest.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace lumatide;
using namespace Qt::StringLiterals;

TEST(SelfTest, ABrokenTextTableAbortsTheRun) {
    const std::pair<AppLanguage, std::function<void(Texts&)>> damages[] = {
        {AppLanguage::german, [](Texts& t) { t.menuLanguage.clear(); }},
        {AppLanguage::english, [](Texts& t) { t.unlock = u"Unlok"_s; }},
        {AppLanguage::french, [](Texts& t) { t.actions.pop_back(); }},
        {AppLanguage::simplifiedChinese, [](Texts& t) { t.actions[11].kind = ActionKind::taiChi; }},
    };
    for (const auto& [language, damage] : damages) {
        auto tables = std::make_shared<std::map<AppLanguage, Texts>>();
        for (AppLanguage each : allLanguages) {
            tables->emplace(each, Texts::forLanguage(each));
        }
        damage(tables->at(language));
        SelfTestSources sources;
        sources.texts = [tables](AppLanguage each) -> const Texts& { return tables->at(each); };
        EXPECT_EXIT(runSelfTest(sources), testing::KilledBySignal(SIGABRT), "")
            << languageCode(language).toStdString();
    }
}
