#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// The desktop's facility for starting the program at login (XDG autostart on Linux).
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    // Only an entry that will really start the program counts as enabled.
    virtual bool isEnabled() const = 0;
    // Registers the program; a readable description of the failure, or nothing on success.
    virtual std::optional<QString> registerItem() = 0;
    // Unregisters the program; a readable description of the failure, or nothing on success.
    virtual std::optional<QString> unregisterItem() = 0;

protected:
    LoginItemService() = default;
    LoginItemService(const LoginItemService&) = default;
    LoginItemService& operator=(const LoginItemService&) = default;
};

} // namespace lumatide
