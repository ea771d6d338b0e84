// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/AutostartService.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace lumatide {

// Launch at login through XDG autostart: the user's entry
// $XDG_CONFIG_HOME/autostart/com.vexilo.lumatide.desktop, which overrides a system-wide entry
// of the same name in $XDG_CONFIG_DIRS/autostart.
class XdgAutostart final : public AutostartService {
public:
    // The current user's folders; the entry starts programPathToStart().
    XdgAutostart();
    // Folders read from `environment` (XDG_CONFIG_HOME, XDG_CONFIG_DIRS, HOME); the entry
    // starts `programPath`.
    XdgAutostart(const QProcessEnvironment& environment, QString programPath);

    // True when the entry in effect (the user's, else the first system-wide one) exists and
    // neither hides itself nor is switched off for GNOME.
    bool isEnabled() const override;
    // Writes the user's entry atomically.
    std::optional<QString> enable() override;
    // Removes the user's entry, or, when a system-wide entry would still start the program,
    // writes a user entry that hides it.
    std::optional<QString> disable() override;

    QString entryPath() const { return entryPath_; }

private:
    QString systemEntryPath() const;
    std::optional<QString> writeEntry(bool hidden) const;

    QString entryPath_;
    QStringList systemDirectories_;
    QString programPath_;
};

} // namespace lumatide
