#include "prefs/MemoryPreferenceStore.h"

#include <cmath>
#include <utility>

namespace lumatide {

MemoryPreferenceStore::MemoryPreferenceStore(QJsonObject values) : values_(std::move(values)) {
}

std::optional<QJsonValue> MemoryPreferenceStore::value(const QString& key) const {
    const auto found = values_.constFind(key);
    if (found == values_.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void MemoryPreferenceStore::setValue(const QString& key, const QJsonValue& value) {
    if (value.isUndefined() || (value.isDouble() && !std::isfinite(value.toDouble()))) {
        values_.remove(key);
        return;
    }
    values_.insert(key, value);
}

void MemoryPreferenceStore::remove(const QString& key) {
    values_.remove(key);
}

} // namespace lumatide
