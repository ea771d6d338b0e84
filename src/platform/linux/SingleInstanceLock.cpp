// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/SingleInstanceLock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumatide {

namespace {

constexpr mode_t privateFileMode = 0600;

bool isOwnFolder(const QString& path) {
    struct stat status {};
    return !path.isEmpty() && QDir::isAbsolutePath(path) &&
           ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid();
}

} // namespace

QString SingleInstanceLock::standardPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isOwnFolder(runtime)) {
        return QDir(runtime).filePath(QStringLiteral("lumatide.lock"));
    }
    // The temporary folder is shared: the name carries the user, and the file must be ours.
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("lumatide-%1.lock").arg(static_cast<qulonglong>(::getuid())));
}

SingleInstanceLock::SingleInstanceLock(QString path, QString busName)
    : path_(std::move(path)), busName_(std::move(busName)) {
}

SingleInstanceLock::~SingleInstanceLock() {
    // Never removed: another copy may already have opened this file, and removing it would let
    // a third copy lock a new one.
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

SingleInstanceLock::Result SingleInstanceLock::fail(const QString& message) {
    error_ = message;
    return Result::failed;
}

SingleInstanceLock::Result SingleInstanceLock::tryAcquire() {
    if (descriptor_ >= 0) {
        return Result::acquired;
    }
    const QByteArray native = QFile::encodeName(path_);
    const int fd =
        ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, privateFileMode);
    if (fd < 0) {
        return fail(QStringLiteral("cannot open the lock file %1: %2")
                        .arg(path_, QString::fromLocal8Bit(::strerror(errno))));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::getuid()) {
        ::close(fd);
        return fail(QStringLiteral("the lock file %1 is not a file of this user").arg(path_));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK) {
            return Result::heldByAnotherCopy;
        }
        return fail(QStringLiteral("cannot lock %1: %2")
                        .arg(path_, QString::fromLocal8Bit(::strerror(code))));
    }
    descriptor_ = fd;
    return Result::acquired;
}

SingleInstanceLock::Result SingleInstanceLock::claimBusName() {
    if (busName_.isEmpty()) {
        return Result::acquired;
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return Result::acquired;
    }
    const auto reply =
        bus.interface()->registerService(busName_, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceNotRegistered) {
        return Result::heldByAnotherCopy;
    }
    return Result::acquired;
}

} // namespace lumatide
