// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/TemporaryPreferenceStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUuid>

namespace lumatide {

namespace {

QString temporaryFilePath(const QTemporaryDir& folder, const QString& name) {
    // Without a folder there is no file: an empty path makes every write fail instead of
    // landing somewhere that is never cleaned up.
    if (!folder.isValid()) {
        return {};
    }
    return folder.filePath(name + QStringLiteral(".json"));
}

} // namespace

TemporaryPreferenceStore::TemporaryPreferenceStore(const QString& namePrefix)
    : folder_(std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                              QStringLiteral("/lumatide-prefs-XXXXXX"))),
      name_(namePrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()),
      store_(std::make_unique<JsonFilePreferenceStore>(temporaryFilePath(*folder_, name_))) {
}

TemporaryPreferenceStore::~TemporaryPreferenceStore() = default;

bool TemporaryPreferenceStore::isValid() const {
    return folder_->isValid();
}

std::optional<QJsonValue> TemporaryPreferenceStore::value(const QString& key) const {
    return store_->value(key);
}

void TemporaryPreferenceStore::setValue(const QString& key, const QJsonValue& value) {
    store_->setValue(key, value);
}

void TemporaryPreferenceStore::remove(const QString& key) {
    store_->remove(key);
}

} // namespace lumatide
