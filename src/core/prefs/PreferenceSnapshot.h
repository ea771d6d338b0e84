// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "prefs/PreferenceStore.h"

#include <QJsonObject>
#include <QString>

namespace lumatide {

// The preference file as it is at one moment, read once and never written, moved or kept
// aside: for the command-line verbs, which may run next to the program that owns the file.
// An unusable file reads as empty. Changes are kept in memory only.
class PreferenceSnapshot final : public PreferenceStore {
public:
    explicit PreferenceSnapshot(const QString& filePath);

    std::optional<QJsonValue> value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

private:
    QJsonObject values_;
};

} // namespace lumatide
