// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace lumatide {

// How long the user has not touched keyboard or mouse.
class IdleTimeSource {
public:
    virtual ~IdleTimeSource() = default;

    // Seconds since the last user input event; nothing when the system does not tell.
    // Cheap enough to be asked once a second.
    virtual std::optional<double> systemIdleSeconds() = 0;

protected:
    IdleTimeSource() = default;
    IdleTimeSource(const IdleTimeSource&) = default;
    IdleTimeSource& operator=(const IdleTimeSource&) = default;
};

} // namespace lumatide
