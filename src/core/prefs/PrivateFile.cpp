// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumatide {

namespace {

constexpr mode_t privateFolderMode = 0700;

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

FileStamp stampOf(const struct stat& status) {
    return {
        static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::int64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
        static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec};
}

FileRead unusable(const QString& error) {
    return {FileRead::State::unusable, {}, error, {}};
}

// Closes the descriptor however the function it guards returns.
class Descriptor final {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

std::optional<FileStamp> fileStamp(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return stampOf(status);
}

FileRead readBoundedFile(const QString& path, std::int64_t maxBytes) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || ::stat(native.constData(), &status) != 0) {
        return errno == ENOENT || path.isEmpty() ? FileRead{} : unusable(systemError(errno));
    }
    // Opening a pipe would wait for a writer; a device or a huge file would be read forever.
    if (!S_ISREG(status.st_mode)) {
        return unusable(QStringLiteral("it is not a regular file"));
    }
    if (status.st_size > maxBytes) {
        return unusable(QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    }
    // Non-blocking in case a pipe was put there since the check above.
    Descriptor file(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return errno == ENOENT ? FileRead{} : unusable(systemError(errno));
    }
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return unusable(QStringLiteral("it is not a regular file"));
    }
    QByteArray bytes(static_cast<qsizetype>(maxBytes) + 1, Qt::Uninitialized);
    qsizetype length = 0;
    while (length < bytes.size()) {
        const ssize_t got =
            ::read(file.get(), bytes.data() + length, static_cast<size_t>(bytes.size() - length));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return unusable(systemError(errno));
        }
        if (got == 0) {
            break;
        }
        length += got;
    }
    if (length > maxBytes) {
        return unusable(QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    }
    bytes.truncate(length);
    return {FileRead::State::read, bytes, {}, stampOf(status)};
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString& error) {
    // A link to the file (a managed dotfile) stays a link: its target is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    QByteArray temporary = QFile::encodeName(target) + ".XXXXXX";
    // mkostemp creates the new file readable and writable by the user only.
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        error =
            QStringLiteral("could not create a file beside %1: %2").arg(target, systemError(errno));
        return false;
    }
    const auto failed = [&](const char* what) {
        error = QStringLiteral("could not %1 %2: %3")
                    .arg(QString::fromLatin1(what), target, systemError(errno));
        ::unlink(temporary.constData());
        return false;
    };
    if (!writeAll(file.get(), bytes)) {
        return failed("write");
    }
    if (::fsync(file.get()) != 0) {
        return failed("flush to the disk");
    }
    if (!file.close()) {
        return failed("write");
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        return failed("replace");
    }
    // The rename itself reaches the disk with the folder; losing it in a crash only loses
    // this one change, so a failure here is not reported.
    const Descriptor folder(::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        static_cast<void>(::fsync(folder.get()));
    }
    return true;
}

bool makePrivateFolder(const QString& path, QString& error) {
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(folder).isDir()) {
        return true;
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !makePrivateFolder(parent, error)) {
        return false;
    }
    if (::mkdir(QFile::encodeName(folder).constData(), privateFolderMode) == 0) {
        return true;
    }
    const int code = errno;
    if (code == EEXIST && QFileInfo(folder).isDir()) {
        return true;
    }
    error = QStringLiteral("could not create the folder %1: %2").arg(folder, systemError(code));
    return false;
}

} // namespace lumatide
