// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// Starting the program at login: the autostart entry of the user's session.
class AutostartService {
public:
    virtual ~AutostartService() = default;

    // Only an entry that will really start the program counts as enabled.
    virtual bool isEnabled() const = 0;
    // Writes the entry; a readable description of the failure, or nothing on success.
    virtual std::optional<QString> enable() = 0;
    // Removes or hides the entry; a readable description of the failure, or nothing on success.
    virtual std::optional<QString> disable() = 0;

protected:
    AutostartService() = default;
    AutostartService(const AutostartService&) = default;
    AutostartService& operator=(const AutostartService&) = default;
};

} // namespace lumatide
