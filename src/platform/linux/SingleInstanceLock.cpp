#include "linux/SingleInstanceLock.h"

#include <QDir>
#include <QtGlobal>

namespace lumatide {

QString SingleInstanceLock::standardPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("lumatide.lock"));
}

SingleInstanceLock::SingleInstanceLock(const QString& path) : lock_(path) {
    // The lock is held for the whole run: without this, Qt would call it stale after 30 s and
    // let a second instance take it.
    lock_.setStaleLockTime(0);
}

bool SingleInstanceLock::tryAcquire() {
    return lock_.tryLock(0);
}

} // namespace lumatide
