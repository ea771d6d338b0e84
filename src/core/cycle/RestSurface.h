// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "content/BreakAction.h"

#include <cstdint>
#include <functional>

namespace lumatide {

// The rest panels that cover every screen during a rest.
class RestSurface {
public:
    virtual ~RestSurface() = default;

    // Replaces whatever is shown with panels guiding this activity in this language.
    virtual void show(const BreakAction& action, AppLanguage language) = 0;
    // Removes the panels; harmless when nothing is shown.
    virtual void hide() = 0;
    // The remaining whole seconds of the rest, once a second.
    virtual void update(std::int64_t remainingSeconds) = 0;
    // Called when the unlock passcode is typed into a panel. The panels may be torn down
    // from inside this call.
    virtual void setUnlockHandler(std::function<void()> handler) = 0;

protected:
    RestSurface() = default;
    RestSurface(const RestSurface&) = default;
    RestSurface& operator=(const RestSurface&) = default;
};

} // namespace lumatide
