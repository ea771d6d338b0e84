// SPDX-License-Identifier: GPL-3.0-or-later
#include "sensing/BusyDecision.h"

#include <QLatin1StringView>
#include <algorithm>
#include <initializer_list>

namespace lumatide {

namespace {

bool anyNameContains(const QStringList& lowerNames, std::initializer_list<const char*> keywords) {
    return std::any_of(lowerNames.cbegin(), lowerNames.cend(), [&](const QString& name) {
        return std::any_of(keywords.begin(), keywords.end(), [&](const char* keyword) {
            return name.contains(QLatin1StringView(keyword));
        });
    });
}

} // namespace

bool outputIndicatesMediaPlayback(const QString& output) {
    for (const char* marker : {"PreventUserIdleDisplaySleep", "audio", "video", "display sleep"}) {
        if (output.contains(QLatin1StringView(marker), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

std::optional<BusyEnvironment> detectBusyEnvironment(const QString& powerAssertionReport,
                                                     const QStringList& runningApps,
                                                     bool activeWindowCoversScreen) {
    QStringList lowerNames;
    lowerNames.reserve(runningApps.size());
    for (const QString& name : runningApps) {
        lowerNames.append(name.toLower());
    }
    if (outputIndicatesMediaPlayback(powerAssertionReport)) {
        return BusyEnvironment{BusyReason::mediaPlayback};
    }
    if (anyNameContains(lowerNames,
                        {"zoom", "teams", "facetime", "webex", "tencentmeeting", "voov meeting"})) {
        return BusyEnvironment{BusyReason::meeting};
    }
    if (anyNameContains(lowerNames, {"keynote", "powerpoint", "microsoft powerpoint", "preview"})) {
        return BusyEnvironment{BusyReason::presentation};
    }
    if (activeWindowCoversScreen) {
        return BusyEnvironment{BusyReason::fullScreenApp};
    }
    // Game launchers count as full-screen use; there is no separate reason for them.
    if (anyNameContains(lowerNames, {"steam", "epic games", "battle.net", "riot client",
                                     "minecraft", "roblox"})) {
        return BusyEnvironment{BusyReason::fullScreenApp};
    }
    return std::nullopt;
}

} // namespace lumatide
