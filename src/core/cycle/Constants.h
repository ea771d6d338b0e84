#pragma once

// Program-wide constants: set once, never changed. Durations are seconds.

#include <QString>
#include <array>

namespace lumatide {

inline const QString defaultPasscode = QStringLiteral("482615");
inline const QString passcodeKey = QStringLiteral("Lumatide.passcode");
inline constexpr double deferSeconds = 300.0;
inline const QString deferDayKey = QStringLiteral("Lumatide.lastBusyDeferDay");
inline const QString restartWorkDayKey = QStringLiteral("Lumatide.lastManualRestartWorkDay");
inline const QString temporaryQuitDayKey = QStringLiteral("Lumatide.lastTemporaryQuitDay");
inline const QString desktopId = QStringLiteral("com.vexilo.lumatide");
inline const QString languageKey = QStringLiteral("Lumatide.language");
inline const QString workMinutesKey = QStringLiteral("Lumatide.workMinutes");
inline const QString launchAtLoginPreferenceInitializedKey =
    QStringLiteral("Lumatide.launchAtLoginPreferenceInitialized");
inline const QString anonymousTelemetryEnabledKey =
    QStringLiteral("Lumatide.anonymousTelemetryEnabled");
inline const QString anonymousTelemetryInstallIdKey =
    QStringLiteral("Lumatide.anonymousTelemetryInstallId");

// Fixed when the program is built; empty when usage events are switched off at build time.
extern const QString telemetryEndpointURLString;

inline constexpr double figureWidthRatio = 0.82;
inline constexpr double figureHeightRatio = 0.56;
inline constexpr double figureMaxWidth = 1600.0;
inline constexpr double figureMaxHeight = 900.0;
inline constexpr double figureAnimationFrameRate = 1.0 / 30.0; // interval, seconds
inline constexpr int motionStepCount = 4;
inline constexpr double motionStepDuration = 3.0;
inline constexpr int poseSheetCellCount = 8;
inline constexpr double backgroundAnimationFrameRate = 0.05; // interval, seconds
inline constexpr double backgroundBreathingCycle = 36.0;

inline constexpr int lockWarningSeconds = 30;
inline constexpr int shortWorkWarningSeconds = 5;
inline constexpr double idleResetThresholdSeconds = 600.0;
inline constexpr double temporaryQuitDelaySeconds = 3600.0;
inline constexpr std::array<int, 5> workMinuteOptions{30, 35, 40, 45, 50};

// Longest period the program accepts, so that every remaining time, title and minute count
// fits comfortably in 64-bit integers (about 31 years).
inline constexpr double maximumPeriodSeconds = 1.0e9;

} // namespace lumatide
