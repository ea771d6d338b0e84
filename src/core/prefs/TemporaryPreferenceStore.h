// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/PreferenceStore.h"

#include <QString>
#include <memory>

class QTemporaryDir;

namespace lumatide {

// A throw-away preference file, "<prefix><UUID>.json" in a private temporary folder that is
// removed with the object. Lets the self-test and tests use the real file store without
// touching the user's settings.
class TemporaryPreferenceStore final : public PreferenceStore {
public:
    explicit TemporaryPreferenceStore(const QString& namePrefix);
    ~TemporaryPreferenceStore() override;
    TemporaryPreferenceStore(const TemporaryPreferenceStore&) = delete;
    TemporaryPreferenceStore& operator=(const TemporaryPreferenceStore&) = delete;

    // "<prefix><UUID>": the file's name without ".json".
    const QString& name() const { return name_; }
    const QString& filePath() const { return store_->filePath(); }
    // False when no temporary folder could be made: reads are then empty and writes fail.
    bool isValid() const;

    std::optional<QJsonValue> value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

private:
    // Declared first so that it outlives the store inside it.
    std::unique_ptr<QTemporaryDir> folder_;
    QString name_;
    std::unique_ptr<JsonFilePreferenceStore> store_;
};

} // namespace lumatide
