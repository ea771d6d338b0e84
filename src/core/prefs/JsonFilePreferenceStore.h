#pragma once

#include "prefs/PreferenceStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace lumatide {

// The per-user preference file: one JSON object of keys to typed values.
//
// Every read sees the file's current content, so values written by another process (or another
// store object) show up at the next read. Every write is a read-modify-write of the file's
// current content under a lock file next to it, replacing the file atomically, so processes
// writing different keys never lose each other's values. The file is only ever readable by its
// owner (mode 0600, folder created 0700). A file that is not a JSON object reads as empty and is
// kept under a "<name>.corrupt-<UTC time>" name before the next write; it is never overwritten.
//
// Writes never throw. The PreferenceStore writes are fire-and-forget; trySetValue and tryRemove
// say whether the change reached the file and lastError() why not.
//
// One object is meant for one thread; use one object per thread or process.
class JsonFilePreferenceStore final : public PreferenceStore {
public:
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

    // Every stored value as the file holds them now; empty for a missing or unusable file.
    QJsonObject values() const;

    // The same writes, telling whether the file now holds the change. On failure the file is
    // left as it was and lastError() says why.
    bool trySetValue(const QString& key, const QJsonValue& value);
    bool tryRemove(const QString& key);
    // Why the last write failed; empty after one that succeeded.
    const QString& lastError() const { return lastError_; }

private:
    bool update(const QString& key, const std::optional<QJsonValue>& value);
    bool fail(const QString& message);

    QString filePath_;
    QString lastError_;
    // The last bytes read and their parse, so an unchanged file is not parsed again.
    mutable QByteArray cachedBytes_;
    mutable QJsonObject cachedValues_;
    mutable bool cacheValid_ = false;
};

} // namespace lumatide
