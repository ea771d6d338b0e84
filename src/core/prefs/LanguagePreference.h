#pragma once

#include "content/AppLanguage.h"
#include "cycle/CommandLine.h"

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

// The language in effect: the --demo-language override in the arguments, else the stored
// choice, else the first system language, else simplified Chinese. Never writes.
AppLanguage currentLanguage(const PreferenceStore& preferences,
                            const QStringList& arguments = processArguments(),
                            const QString& systemLanguage = systemPreferredLanguage());

void setCurrentLanguage(AppLanguage language, PreferenceStore& preferences);

} // namespace lumatide
