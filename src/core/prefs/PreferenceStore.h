// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonValue>
#include <QString>
#include <optional>

namespace lumatide {

// The per-user key-value store of everything that outlives the process. Values keep their
// JSON types (string, number, Boolean). Every read sees the current content; every write
// goes through at once. Implementations: JsonFilePreferenceStore, TemporaryPreferenceStore.
class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;

    // The stored value, or nothing when the key is absent.
    virtual std::optional<QJsonValue> value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QJsonValue& value) = 0;
    virtual void remove(const QString& key) = 0;

    // Typed helpers on top of value()/setValue().
    // The string under the key; nothing when absent or not a string.
    std::optional<QString> string(const QString& key) const;
    // The number under the key; nothing when absent or not a number.
    std::optional<double> number(const QString& key) const;
    // A Boolean reading: true for true, a non-zero number or the texts "true"/"yes"/"1"
    // (any case); false for everything else, absence included.
    bool boolean(const QString& key) const;
    bool contains(const QString& key) const { return value(key).has_value(); }

    void setString(const QString& key, const QString& text) { setValue(key, QJsonValue(text)); }
    void setDouble(const QString& key, double number) { setValue(key, QJsonValue(number)); }
    void setBool(const QString& key, bool flag) { setValue(key, QJsonValue(flag)); }

protected:
    PreferenceStore() = default;
    PreferenceStore(const PreferenceStore&) = default;
    PreferenceStore& operator=(const PreferenceStore&) = default;
};

} // namespace lumatide
