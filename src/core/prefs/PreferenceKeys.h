// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumatide {

// The keys of the preference file. They are what users' files hold: never rename one.
inline const QString passcodeKey = QStringLiteral("Lumatide.passcode");
inline const QString languageKey = QStringLiteral("Lumatide.language");
inline const QString workMinutesKey = QStringLiteral("Lumatide.workMinutes");
inline const QString deferDayKey = QStringLiteral("Lumatide.lastBusyDeferDay");
inline const QString restartWorkDayKey = QStringLiteral("Lumatide.lastManualRestartWorkDay");
inline const QString temporaryQuitDayKey = QStringLiteral("Lumatide.lastTemporaryQuitDay");
inline const QString launchAtLoginPreferenceInitializedKey =
    QStringLiteral("Lumatide.launchAtLoginPreferenceInitialized");
inline const QString anonymousTelemetryEnabledKey =
    QStringLiteral("Lumatide.anonymousTelemetryEnabled");
inline const QString anonymousTelemetryInstallIdKey =
    QStringLiteral("Lumatide.anonymousTelemetryInstallId");

} // namespace lumatide
