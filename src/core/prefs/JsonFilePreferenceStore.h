// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "prefs/PreferenceStore.h"
#include "prefs/PrivateFile.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <optional>

namespace lumatide {

// The per-user preference file: one JSON object of keys to typed values.
//
// Reads come from memory. The file is read again only when its identity or time stamps change
// (one stat per read), so values written by another process show up at the next read, and
// reading never waits for the disk beyond that stat: anything but a regular file of at most
// maxFileBytes is unusable and never opened for long.
//
// Every write is a read-modify-write of the file's current content under a lock file next to
// it, so processes writing different keys never lose each other's values. The file is
// replaced atomically and only ever readable by its owner (mode 0600, folder created 0700). A
// write that fails (a full disk, a read-only folder) leaves the old file as it was, writes one
// line to the log, and keeps the change in memory for this run; the next write that succeeds
// saves it too.
//
// A file that cannot be used (not a JSON object, unreadable, not a regular file, too large) is
// never overwritten: it is kept under a "<name>.corrupt-<UTC time>" name, at the first read or
// before the next write. Its values count as absent at the first read; a file that breaks later
// leaves the values read before it in effect.
//
// One object is meant for one thread; use one object per thread or process.
class JsonFilePreferenceStore final : public PreferenceStore {
public:
    static constexpr std::int64_t maxFileBytes = std::int64_t{1024} * 1024;

    // What was wrong with the file at the first read, and where it was kept.
    struct Problem {
        QString reason;
        QString keptAs; // empty when it could not be moved aside
    };

    explicit JsonFilePreferenceStore(QString filePath);

    // $XDG_CONFIG_HOME/lumatide/preferences.json (~/.config/... when the variable is unset).
    static QString standardPath();
    // The first free name under which an unusable file at filePath is kept:
    // "<filePath>.corrupt-yyyyMMddTHHmmssZ", then with "-1", "-2", ... appended.
    static QString corruptFilePath(const QString& filePath, const QDateTime& utcTime);

    const QString& filePath() const { return filePath_; }

    std::optional<QJsonValue> value(const QString& key) const override;
    // An undefined value or a number that is not finite (JSON has no such numbers) removes
    // the key.
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

    // Every value in effect: the file's, with this run's unsaved changes on top.
    QJsonObject values() const;

    // The same writes, telling whether the file now holds the change. On failure the file is
    // left as it was, the change is kept in memory, and lastError() says why.
    bool trySetValue(const QString& key, const QJsonValue& value);
    bool tryRemove(const QString& key);

    // Why the last write failed; empty after one that succeeded.
    const QString& lastError() const { return lastError_; }
    // The file was there at the first read but could not be used. Reads the file if no read
    // happened yet.
    const std::optional<Problem>& firstReadProblem() const;

private:
    void refresh() const;
    bool update(const QString& key, const std::optional<QJsonValue>& value);
    bool fail(const QString& message);
    QJsonObject withUnsavedChanges(QJsonObject values) const;

    QString filePath_;
    QString lastError_;
    // The file's values as last read, and the version they were read from.
    mutable QJsonObject fileValues_;
    mutable std::optional<FileStamp> stamp_;
    mutable bool read_ = false;
    mutable std::optional<Problem> firstReadProblem_;
    // Changes that could not be written: values, and keys removed.
    QJsonObject unsavedValues_;
    QSet<QString> unsavedRemovals_;
};

} // namespace lumatide
