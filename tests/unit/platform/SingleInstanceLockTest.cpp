#include "linux/SingleInstanceLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace lumatide {
namespace {

TEST(SingleInstanceLock, OneHolderAtATimeHoweverLongItRuns) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("lumatide.lock"));

    auto first = std::make_unique<SingleInstanceLock>(path);
    ASSERT_TRUE(first->tryAcquire());
    SingleInstanceLock second(path);
    EXPECT_FALSE(second.tryAcquire());

    // A program that has run for hours still holds its lock.
    QFile lockFile(path);
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-6 * 3600),
                                     QFileDevice::FileModificationTime));
    lockFile.close();
    EXPECT_FALSE(second.tryAcquire());

    // When the holder ends, the next start gets it.
    first.reset();
    EXPECT_TRUE(second.tryAcquire());
}

TEST(SingleInstanceLock, LivesInTheRuntimeFolderElseTheTemporaryOne) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(SingleInstanceLock::standardPath(),
              QDir(runtime.path()).filePath(QStringLiteral("lumatide.lock")));
    qputenv("XDG_RUNTIME_DIR", QByteArray("/nonexistent/runtime"));
    EXPECT_EQ(SingleInstanceLock::standardPath(),
              QDir(QDir::tempPath()).filePath(QStringLiteral("lumatide.lock")));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceLock::standardPath(),
              QDir(QDir::tempPath()).filePath(QStringLiteral("lumatide.lock")));
    if (!saved.isNull()) {
        qputenv("XDG_RUNTIME_DIR", saved);
    }
}

} // namespace
} // namespace lumatide
