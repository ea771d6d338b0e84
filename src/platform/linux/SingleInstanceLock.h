#pragma once

#include <QLockFile>
#include <QString>

namespace lumatide {

// Keeps a second copy of the program from running next to the first (for example the hourly
// relaunch while the user has already started it again by hand).
class SingleInstanceLock final {
public:
    // $XDG_RUNTIME_DIR/lumatide.lock, else the same name in the temporary folder.
    static QString standardPath();

    explicit SingleInstanceLock(const QString& path = standardPath());
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock. A lock left by a process that no longer runs
    // is taken over; one held by a running process is never broken, however old.
    bool tryAcquire();

private:
    QLockFile lock_;
};

} // namespace lumatide
