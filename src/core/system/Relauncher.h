// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// Starts, outside the program, the command that starts the program again an hour after a
// temporary quit.
class Relauncher {
public:
    virtual ~Relauncher() = default;

    // Nothing when the relaunch is scheduled; otherwise a readable reason why it is not, in
    // which case the program must not quit.
    virtual std::optional<QString> scheduleRelaunchAfterTemporaryQuit() = 0;

protected:
    Relauncher() = default;
    Relauncher(const Relauncher&) = default;
    Relauncher& operator=(const Relauncher&) = default;
};

} // namespace lumatide
