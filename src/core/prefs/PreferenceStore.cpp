// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/PreferenceStore.h"

#include <cmath>

namespace lumatide {

std::optional<QString> PreferenceStore::string(const QString& key) const {
    const std::optional<QJsonValue> stored = value(key);
    if (!stored || !stored->isString()) {
        return std::nullopt;
    }
    return stored->toString();
}

std::optional<double> PreferenceStore::number(const QString& key) const {
    const std::optional<QJsonValue> stored = value(key);
    if (!stored || !stored->isDouble()) {
        return std::nullopt;
    }
    const double number = stored->toDouble();
    // JSON cannot hold NaN or infinity; should one reach us anyway it is no usable number.
    if (!std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

bool PreferenceStore::boolean(const QString& key) const {
    const std::optional<QJsonValue> stored = value(key);
    if (!stored) {
        return false;
    }
    if (stored->isBool()) {
        return stored->toBool();
    }
    if (stored->isDouble()) {
        const double number = stored->toDouble();
        return std::isfinite(number) && number != 0.0;
    }
    if (stored->isString()) {
        const QString text = stored->toString();
        return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
               text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
               text == QLatin1String("1");
    }
    return false;
}

} // namespace lumatide
