// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumatide {

// Whether the window the user is working in covers a screen, as a video, a game or a
// presentation does: one of the busy signs. Asked once per end of a work period.
class ActiveWindowCoverage {
public:
    virtual ~ActiveWindowCoverage() = default;
    virtual bool activeWindowCoversScreen() const = 0;

protected:
    ActiveWindowCoverage() = default;
    ActiveWindowCoverage(const ActiveWindowCoverage&) = default;
    ActiveWindowCoverage& operator=(const ActiveWindowCoverage&) = default;
};

} // namespace lumatide
