// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"

#include <QString>

namespace lumatide {

// One guided break activity as the rest panel shows it.
struct BreakAction {
    QString title;
    QString instruction;
    QString caution;
    ActionKind kind = ActionKind::drink;

    friend bool operator==(const BreakAction&, const BreakAction&) = default;
};

} // namespace lumatide
