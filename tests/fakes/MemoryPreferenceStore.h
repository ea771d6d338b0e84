// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "prefs/PreferenceStore.h"

#include <QJsonObject>
#include <cmath>
#include <utility>

namespace lumatide {

// A store that lives only as long as the object, holding the same JSON values the file store
// would.
class MemoryPreferenceStore final : public PreferenceStore {
public:
    MemoryPreferenceStore() = default;
    explicit MemoryPreferenceStore(QJsonObject values) : values_(std::move(values)) {}

    std::optional<QJsonValue> value(const QString& key) const override {
        const auto found = values_.constFind(key);
        return found == values_.constEnd() ? std::nullopt : std::optional<QJsonValue>(*found);
    }
    // An undefined value or a number that is not finite removes the key, as in the file store.
    void setValue(const QString& key, const QJsonValue& value) override {
        if (value.isUndefined() || (value.isDouble() && !std::isfinite(value.toDouble()))) {
            values_.remove(key);
            return;
        }
        values_.insert(key, value);
    }
    void remove(const QString& key) override { values_.remove(key); }

    const QJsonObject& values() const { return values_; }

private:
    QJsonObject values_;
};

} // namespace lumatide
