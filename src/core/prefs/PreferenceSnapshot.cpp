// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/PreferenceSnapshot.h"

#include "prefs/PrivateFile.h"

#include <QJsonDocument>

namespace lumatide {

namespace {

constexpr std::int64_t maximumFileBytes = 1024 * 1024;

} // namespace

PreferenceSnapshot::PreferenceSnapshot(const QString& filePath) {
    const FileRead read = readBoundedFile(filePath, maximumFileBytes);
    if (read.state == FileRead::State::read) {
        values_ = QJsonDocument::fromJson(read.bytes).object();
    }
}

std::optional<QJsonValue> PreferenceSnapshot::value(const QString& key) const {
    const auto found = values_.constFind(key);
    if (found == values_.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void PreferenceSnapshot::setValue(const QString& key, const QJsonValue& value) {
    values_.insert(key, value);
}

void PreferenceSnapshot::remove(const QString& key) {
    values_.remove(key);
}

} // namespace lumatide
