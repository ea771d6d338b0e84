// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <cstdint>

namespace lumatide {

// The countdown toast shown shortly before a work period ends.
class WarningSurface {
public:
    virtual ~WarningSurface() = default;

    // Shows the toast counting down from the remaining whole seconds; it removes itself.
    virtual void show(std::int64_t remainingSeconds, AppLanguage language) = 0;
    // Removes the toast; harmless when nothing is shown.
    virtual void hide() = 0;

protected:
    WarningSurface() = default;
    WarningSurface(const WarningSurface&) = default;
    WarningSurface& operator=(const WarningSurface&) = default;
};

} // namespace lumatide
