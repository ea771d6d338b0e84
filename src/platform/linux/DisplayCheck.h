// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <optional>

namespace lumatide {

// Why the program could not show anything in this environment, in one line; nothing when the
// display it would use answers. Qt would abort on a missing X display with advice to reinstall,
// so the X display the program is going to use is tried first. Other window systems (Wayland,
// the off-screen platform of the tests) are left to Qt.
std::optional<QString>
displayProblem(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// What the user loses in this environment, in one line; nothing when the rest panels can cover
// everything. A Wayland session without an X server (no XWayland) runs the program as a native
// Wayland client, whose windows can be neither kept above others nor placed on an output: there
// only the compositor's layers keep the rest panels on top; `compositorLayers` is asked then only.
std::optional<QString> displayLimitation(
    const std::function<bool()>& compositorLayers,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace lumatide
