// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/ControlState.h"

namespace lumatide {

// The commands other programs may give, each counted and refused exactly as its menu item
// would be. There is deliberately nothing that ends a rest, changes the passcode or quits.
class RemoteControl {
public:
    virtual ~RemoteControl() = default;

    virtual ControlState controlState() const = 0;
    virtual ControlAnswer startBreakRemotely() = 0;
    virtual ControlAnswer restartWorkTimerRemotely() = 0;
    virtual ControlAnswer setWorkMinutesRemotely(std::uint32_t minutes) = 0;

protected:
    RemoteControl() = default;
    RemoteControl(const RemoteControl&) = default;
    RemoteControl& operator=(const RemoteControl&) = default;
};

// Told after anything that may have changed the control state: once a second and after every
// command. It compares and publishes only what changed.
class ControlStateObserver {
public:
    virtual ~ControlStateObserver() = default;
    virtual void controlStateMayHaveChanged() = 0;

protected:
    ControlStateObserver() = default;
    ControlStateObserver(const ControlStateObserver&) = default;
    ControlStateObserver& operator=(const ControlStateObserver&) = default;
};

} // namespace lumatide
