// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/RelaunchCommands.h"
#include "system/Relauncher.h"

#include <QString>
#include <optional>

namespace lumatide {

// Starts the relaunch command of a temporary quit as `/bin/sh -c <command>` outside the
// program's process group and session, so that it outlives the program: as a transient unit
// of the user's service manager when one answers (`systemd-run --user --collect`), else as a
// detached process in a session of its own.
class DetachedRelauncher final : public Relauncher {
public:
    struct Options {
        double delaySeconds = temporaryQuitDelaySeconds;
        // Nothing: the running program (the service form when it runs as the user unit
        // com.vexilo.lumatide.service, else $APPIMAGE or the executable). An empty text asks
        // for the service form.
        std::optional<QString> programPath;
    };

    DetachedRelauncher();
    explicit DetachedRelauncher(Options options);

    std::optional<QString> scheduleRelaunchAfterTemporaryQuit() override;

    // The shell command that will be started.
    QString command() const;

private:
    Options options_;
};

} // namespace lumatide
