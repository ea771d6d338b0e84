// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/JsonFilePreferenceStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <cmath>
#include <initializer_list>
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

// The values of a preference file; nothing when the bytes are not a JSON object. An empty
// file is no object either: the program never writes one, so it is what a failed write of an
// older version left behind.
std::optional<QJsonObject> parseValues(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

// The file's values, or why it cannot be used.
struct Parsed {
    FileRead::State state = FileRead::State::missing;
    QJsonObject values;
    QString error;
};

Parsed readValues(const QString& path) {
    const FileRead content = readBoundedFile(path, JsonFilePreferenceStore::maxFileBytes);
    if (content.state != FileRead::State::read) {
        return {content.state, {}, content.error};
    }
    if (std::optional<QJsonObject> values = parseValues(content.bytes)) {
        return {FileRead::State::read, std::move(*values), {}};
    }
    return {FileRead::State::unusable, {}, QStringLiteral("it is not a JSON object")};
}

// JSON has no NaN or infinity, and an undefined value is no value: both mean "remove".
std::optional<QJsonValue> storableValue(const QJsonValue& value) {
    if (value.isUndefined() || (value.isDouble() && !std::isfinite(value.toDouble()))) {
        return std::nullopt;
    }
    return value;
}

void logLine(const QString& line) {
    qWarning("%s", qUtf8Printable(line));
}

// Polls with a short interval: QLockFile's own waiting doubles its sleep from 100 ms, which
// makes a writer that lost one race wait far longer than the holder needs.
bool acquire(QLockFile& lock, QString& error) {
    lock.setStaleLockTime(staleLockMilliseconds);
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

// Moves an unusable file out of the way under a free "corrupt-" name, so that no write
// destroys what the user may want back. The name it got, or nothing.
std::optional<QString> keepAside(const QString& path, QString& error) {
    // A name taken between the choice and the rename is simply retried; rename never replaces.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString target =
            JsonFilePreferenceStore::corruptFilePath(path, QDateTime::currentDateTimeUtc());
        QFile file(path);
        if (file.rename(target)) {
            return target;
        }
        if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) {
            error = QStringLiteral("could not keep the unusable preference file as %1: %2")
                        .arg(target, file.errorString());
            return std::nullopt;
        }
    }
    error = QStringLiteral("could not find a free name to keep the unusable preference file");
    return std::nullopt;
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

void JsonFilePreferenceStore::refresh() const {
    const std::optional<FileStamp> now = fileStamp(filePath_);
    if (read_ && now == stamp_) {
        return;
    }
    const bool first = !read_;
    read_ = true;
    stamp_ = now;
    Parsed parsed = readValues(filePath_);
    if (parsed.state != FileRead::State::unusable) {
        fileValues_ = std::move(parsed.values);
        return;
    }
    if (!first) {
        // The values read before stay in effect; the file is kept aside at the next write.
        logLine(QStringLiteral("Lumatide cannot use its preference file %1 (%2); the settings "
                               "read before stay in effect")
                    .arg(filePath_, parsed.error));
        return;
    }
    fileValues_ = {};
    Problem problem{parsed.error, {}};
    QString error;
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    if (acquire(lock, error) && fileStamp(filePath_) == now) {
        problem.keptAs = keepAside(filePath_, error).value_or(QString());
        stamp_ = fileStamp(filePath_);
    }
    logLine(QStringLiteral("Lumatide cannot use its preference file %1 (%2); %3")
                .arg(filePath_, parsed.error,
                     problem.keptAs.isEmpty()
                         ? QStringLiteral("it stays where it is")
                         : QStringLiteral("it was kept as ") + problem.keptAs));
    firstReadProblem_ = problem;
}

QJsonObject JsonFilePreferenceStore::withUnsavedChanges(QJsonObject values) const {
    for (auto it = unsavedValues_.constBegin(); it != unsavedValues_.constEnd(); ++it) {
        values.insert(it.key(), it.value());
    }
    for (const QString& key : unsavedRemovals_) {
        values.remove(key);
    }
    return values;
}

std::optional<QJsonValue> JsonFilePreferenceStore::value(const QString& key) const {
    refresh();
    if (unsavedRemovals_.contains(key)) {
        return std::nullopt;
    }
    for (const QJsonObject* values :
         std::initializer_list<const QJsonObject*>{&unsavedValues_, &fileValues_}) {
        const auto found = values->constFind(key);
        if (found != values->constEnd()) {
            return *found;
        }
    }
    return std::nullopt;
}

QJsonObject JsonFilePreferenceStore::values() const {
    refresh();
    return withUnsavedChanges(fileValues_);
}

const std::optional<JsonFilePreferenceStore::Problem>&
JsonFilePreferenceStore::firstReadProblem() const {
    refresh();
    return firstReadProblem_;
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
    logLine(QStringLiteral("Lumatide could not save its preferences, the change holds until it "
                           "quits: ") +
            message);
    return false;
}

bool JsonFilePreferenceStore::update(const QString& key, const std::optional<QJsonValue>& value) {
    lastError_.clear();
    refresh();
    // Until it reaches the file, the change lives in memory.
    if (value) {
        unsavedValues_.insert(key, *value);
        unsavedRemovals_.remove(key);
    } else {
        unsavedValues_.remove(key);
        unsavedRemovals_.insert(key);
    }
    if (filePath_.isEmpty()) {
        return fail(QStringLiteral("no preference file"));
    }
    QString error;
    if (!makePrivateFolder(QFileInfo(filePath_).absolutePath(), error)) {
        return fail(error);
    }
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    if (!acquire(lock, error)) {
        return fail(error);
    }

    // Inside the lock the file's current content is the truth: start from it, so that other
    // writers' keys survive. An unusable file is kept aside first, and the values read before
    // it broke are the best there are.
    const Parsed current = readValues(filePath_);
    QJsonObject before = current.values;
    if (current.state == FileRead::State::unusable) {
        if (fileStamp(filePath_) && !keepAside(filePath_, error)) {
            return fail(error);
        }
        before = fileValues_;
    }
    const QJsonObject after = withUnsavedChanges(before);
    if (current.state == FileRead::State::unusable || after != before) {
        if (!writeFileAtomically(filePath_, QJsonDocument(after).toJson(QJsonDocument::Indented),
                                 error)) {
            return fail(error);
        }
    }
    fileValues_ = after;
    stamp_ = fileStamp(filePath_);
    unsavedValues_ = {};
    unsavedRemovals_.clear();
    return true;
}

} // namespace lumatide
