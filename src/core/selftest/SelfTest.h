// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "content/Texts.h"

#include <functional>

namespace lumatide {

// Where the self-test takes its text tables from. The program always uses the compiled-in
// tables; tests hand in a damaged table to prove that a broken text stops the run.
struct SelfTestSources {
    std::function<const Texts&(AppLanguage)> texts = &Texts::forLanguage;
};

// The built-in contract check of `lumatide --self-test`. Runs every check in order against
// throw-away stores, then prints the eleven "... ok" lines. The first failed check aborts the
// process at once, without printing anything, in every build type.
void runSelfTest(const SelfTestSources& sources = {});

} // namespace lumatide
