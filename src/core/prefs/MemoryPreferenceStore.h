#pragma once

#include "prefs/PreferenceStore.h"

#include <QJsonObject>

namespace lumatide {

// A store that lives only as long as the object: for tests and for callers that must not
// touch the user's settings. Holds the same JSON values the file store would.
class MemoryPreferenceStore final : public PreferenceStore {
public:
    MemoryPreferenceStore() = default;
    explicit MemoryPreferenceStore(QJsonObject values);

    std::optional<QJsonValue> value(const QString& key) const override;
    // An undefined value or a number that is not finite removes the key, as in the file store.
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

    const QJsonObject& values() const { return values_; }

private:
    QJsonObject values_;
};

} // namespace lumatide
