// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumatide {

class PreferenceStore;

// First entry of the system's preferred interface languages ("en-GB", "fr-CA", ...), from
// the locale environment; "C" and "POSIX" count as "en"; empty when there is none.
QString systemPreferredLanguage();

// The language whose code r equals the entry or begins it as r + "-", in menu order.
std::optional<AppLanguage> languageMatchingSystemEntry(const QString& entry);

// The language in effect: the forced one (the command line's), else the stored choice, else
// the first system language, else simplified Chinese. Never writes.
AppLanguage currentLanguage(const PreferenceStore& preferences, std::optional<AppLanguage> forced,
                            const QString& systemLanguage = systemPreferredLanguage());

void setCurrentLanguage(AppLanguage language, PreferenceStore& preferences);

} // namespace lumatide
