// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

// Keeps a second copy of the program for the same user from running next to the first (for
// example the hourly relaunch while the user has already started it again by hand).
//
// The lock is an flock on a private file, held on an open descriptor for the whole run, so it
// goes away with the process however that ends. A file can be deleted under a running copy,
// so where there is a session bus the copy also owns the bus name, which cannot.
class SingleInstanceLock final {
public:
    enum class Result { acquired, heldByAnotherCopy, failed };

    // $XDG_RUNTIME_DIR/lumatide.lock when that folder exists and is the user's own; else
    // lumatide-<uid>.lock in the temporary folder.
    static QString standardPath();

    // An empty bus name leaves the session bus alone (tests).
    explicit SingleInstanceLock(QString path = standardPath(),
                                QString busName = QStringLiteral("com.vexilo.Lumatide"));
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // The file lock; taken before the program touches the display.
    Result tryAcquire();
    // The bus name, once the application object exists; heldByAnotherCopy when another copy
    // owns it. Without a session bus the file lock alone counts.
    Result claimBusName();
    // Why the lock could not be taken (after Result::failed).
    const QString& error() const { return error_; }

private:
    Result fail(const QString& message);

    QString path_;
    QString busName_;
    int descriptor_ = -1;
    QString error_;
};

} // namespace lumatide
