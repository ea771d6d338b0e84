#include "prefs/JsonFilePreferenceStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumatide {

namespace {

// A write holds the lock for a few milliseconds; waiting longer than this means another
// process is stuck, and the write is given up rather than freezing the caller.
constexpr int lockWaitMilliseconds = 5000;
constexpr unsigned long lockPollMilliseconds = 5;
// A writer killed between creating the lock file and writing its process id into it leaves an
// empty lock file that names no process; QLockFile would only call that stale after 30 s, so
// every write in between would fail. A live holder keeps an flock on the file, which stops its
// removal however old it is, so a short limit is safe.
constexpr int staleLockMilliseconds = 2000;
constexpr mode_t privateFileMode = 0600;
constexpr mode_t privateFolderMode = 0700;

enum class FileState { missing, read, unreadable };

struct FileContent {
    FileState state = FileState::missing;
    QByteArray bytes;
    QString error;
};

FileContent readFile(const QString& path) {
    if (path.isEmpty()) {
        return {FileState::missing, {}, {}};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path)) {
            return {FileState::missing, {}, {}};
        }
        return {FileState::unreadable, {}, file.errorString()};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {FileState::unreadable, {}, file.errorString()};
    }
    return {FileState::read, std::move(bytes), {}};
}

// The values of a preference file; nothing when the bytes are not a JSON object. An empty file
// (which a first write briefly leaves) holds no values and nothing worth keeping.
std::optional<QJsonObject> parseValues(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return QJsonObject();
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

// JSON has no NaN or infinity, and an undefined value is no value: both mean "remove".
std::optional<QJsonValue> storableValue(const QJsonValue& value) {
    if (value.isUndefined() || (value.isDouble() && !std::isfinite(value.toDouble()))) {
        return std::nullopt;
    }
    return value;
}

QString systemError(int code) {
    return qt_error_string(code);
}

// Creates the folder and any missing parents, readable only by the user.
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

// Polls with a short interval: QLockFile's own waiting doubles its sleep from 100 ms, which
// makes a writer that lost one race wait far longer than the holder needs.
bool acquire(QLockFile& lock, QString& error) {
    const QDeadlineTimer deadline(lockWaitMilliseconds);
    while (!lock.tryLock(0)) {
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            if (deadline.hasExpired()) {
                error = QStringLiteral("the preference file stayed locked by another process");
                return false;
            }
            QThread::msleep(lockPollMilliseconds);
            break;
        case QLockFile::PermissionError:
            error = QStringLiteral("no permission to create the lock file %1").arg(lock.fileName());
            return false;
        case QLockFile::NoError:
        case QLockFile::UnknownError:
            error = QStringLiteral("could not create the lock file %1").arg(lock.fileName());
            return false;
        }
    }
    return true;
}

// Moves an unusable file out of the way under a free "corrupt-" name, so that the next write
// does not destroy what the user may want back.
bool keepCorruptFile(const QString& path, QString& error) {
    // A name taken between the choice and the rename is simply retried; rename never replaces.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString target =
            JsonFilePreferenceStore::corruptFilePath(path, QDateTime::currentDateTimeUtc());
        QFile file(path);
        if (file.rename(target)) {
            return true;
        }
        if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) {
            error = QStringLiteral("could not keep the unreadable preference file as %1: %2")
                        .arg(target, file.errorString());
            return false;
        }
    }
    error = QStringLiteral("could not find a free name to keep the unreadable preference file");
    return false;
}

// Replaces the file atomically. The file, and the temporary file that replaces it, are private
// before the first byte is written.
bool writePrivateFile(const QString& path, const QByteArray& bytes, QString& error) {
    const QByteArray nativePath = QFile::encodeName(path);
    bool createdPlaceholder = false;
    // QSaveFile prepares its replacement with the mode of the existing file (and 0666 minus the
    // umask when there is none), so make sure a private file is already there.
    const int fd =
        ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateFileMode);
    if (fd >= 0) {
        ::close(fd);
        createdPlaceholder = true;
    } else if (errno == EEXIST) {
        struct stat status {};
        if (::stat(nativePath.constData(), &status) == 0 &&
            (status.st_mode & 07777) != privateFileMode) {
            // Best effort: should it fail, the replacement is still made private below.
            static_cast<void>(::chmod(nativePath.constData(), privateFileMode));
        }
    } else {
        error = QStringLiteral("could not create %1: %2").arg(path, systemError(errno));
        return false;
    }

    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        error = QStringLiteral("could not write %1: %2").arg(path, file.errorString());
        if (createdPlaceholder) {
            QFile::remove(path);
        }
        return false;
    }
    return true;
}

} // namespace

JsonFilePreferenceStore::JsonFilePreferenceStore(QString filePath)
    : filePath_(std::move(filePath)) {
}

QString JsonFilePreferenceStore::standardPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath() + QStringLiteral("/.config");
    }
    return folder + QStringLiteral("/lumatide/preferences.json");
}

QString JsonFilePreferenceStore::corruptFilePath(const QString& filePath,
                                                 const QDateTime& utcTime) {
    const QString base = filePath + QStringLiteral(".corrupt-") +
                         utcTime.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString candidate = base;
    for (int suffix = 1;; ++suffix) {
        const QFileInfo info(candidate);
        if (!info.exists() && !info.isSymLink()) {
            return candidate;
        }
        candidate = base + QLatin1Char('-') + QString::number(suffix);
    }
}

std::optional<QJsonValue> JsonFilePreferenceStore::value(const QString& key) const {
    const QJsonObject stored = values();
    const auto found = stored.constFind(key);
    if (found == stored.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

QJsonObject JsonFilePreferenceStore::values() const {
    const FileContent content = readFile(filePath_);
    if (content.state != FileState::read) {
        return {};
    }
    // The bytes are compared, not the file's size and time: two writes within one tick of the
    // file system's clock can leave both equal.
    if (!cacheValid_ || content.bytes != cachedBytes_) {
        cachedValues_ = parseValues(content.bytes).value_or(QJsonObject());
        cachedBytes_ = content.bytes;
        cacheValid_ = true;
    }
    return cachedValues_;
}

void JsonFilePreferenceStore::setValue(const QString& key, const QJsonValue& value) {
    trySetValue(key, value);
}

void JsonFilePreferenceStore::remove(const QString& key) {
    tryRemove(key);
}

bool JsonFilePreferenceStore::trySetValue(const QString& key, const QJsonValue& value) {
    return update(key, storableValue(value));
}

bool JsonFilePreferenceStore::tryRemove(const QString& key) {
    return update(key, std::nullopt);
}

bool JsonFilePreferenceStore::fail(const QString& message) {
    lastError_ = message;
    return false;
}

bool JsonFilePreferenceStore::update(const QString& key, const std::optional<QJsonValue>& value) {
    lastError_.clear();
    if (filePath_.isEmpty()) {
        return fail(QStringLiteral("no preference file"));
    }
    QString error;
    if (!makePrivateFolder(QFileInfo(filePath_).absolutePath(), error)) {
        return fail(error);
    }
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(staleLockMilliseconds);
    if (!acquire(lock, error)) {
        return fail(error);
    }

    // Inside the lock the file's current content is the truth: start from it, not from
    // anything read earlier, so that other writers' keys survive.
    const FileContent current = readFile(filePath_);
    if (current.state == FileState::unreadable) {
        return fail(QStringLiteral("could not read %1: %2").arg(filePath_, current.error));
    }
    std::optional<QJsonObject> before = parseValues(current.bytes);
    if (!before) {
        if (!keepCorruptFile(filePath_, error)) {
            return fail(error);
        }
        before = QJsonObject();
    }

    QJsonObject after = *before;
    if (value) {
        after.insert(key, *value);
    } else {
        after.remove(key);
    }
    if (after == *before) {
        return true;
    }
    if (!writePrivateFile(filePath_, QJsonDocument(after).toJson(QJsonDocument::Indented), error)) {
        return fail(error);
    }
    return true;
}

} // namespace lumatide
