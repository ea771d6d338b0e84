// SPDX-License-Identifier: GPL-3.0-or-later
#include "sensing/BusyDecision.h"

#include "sensing/IdleRule.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace lumatide;
using namespace Qt::StringLiterals;

TEST(BusyDecision, RulesInPriorityOrder) {
    const auto media = BusyReason::mediaPlayback, meeting = BusyReason::meeting,
               presentation = BusyReason::presentation, fullScreen = BusyReason::fullScreenApp;
    const struct {
        const char* report;
        std::initializer_list<const char*> apps;
        bool fullScreen;
        std::optional<BusyReason> reason;
    } cases[] = {
        {"", {"Keynote"}, false, presentation},
        {"", {"Steam"}, false, fullScreen},
        {"", {"Google Chrome", "Microsoft Edge"}, false, std::nullopt},
        // Media, then meeting, presentation, full screen and games last.
        {"VIDEO playing", {"zoom"}, false, media},
        {"", {"Keynote", "Zoom"}, false, meeting},
        {"", {"steam", "powerpoint"}, false, presentation},
        {"", {"Preview"}, true, presentation},
        // Names are lower-cased and matched anywhere; keywords as given, with their spaces.
        {"", {"Microsoft Teams (work or school)"}, false, meeting},
        {"", {"VooV Meeting"}, false, meeting},
        {"", {"voovmeeting"}, false, std::nullopt},
        {"", {"Battle.net"}, false, fullScreen},
    };
    for (const auto& c : cases) {
        QStringList apps;
        for (const char* name : c.apps) {
            apps.append(QString::fromUtf8(name));
        }
        const auto environment =
            detectBusyEnvironment(QString::fromUtf8(c.report), apps, c.fullScreen);
        EXPECT_EQ(environment ? std::optional(environment->reason) : std::nullopt, c.reason)
            << c.report << " " << apps.join(QLatin1Char(',')).toStdString();
    }
    // Media markers ignore case but not their spelling.
    EXPECT_TRUE(outputIndicatesMediaPlayback(u"prevents DISPLAY SLEEP"_s));
    EXPECT_FALSE(outputIndicatesMediaPlayback(u"display-sleep"_s));
}

TEST(IdleRule, AtLeastTheThreshold) {
    // 600 s against 599.9 s is in the break cycle's idle table.
    EXPECT_FALSE(shouldResetWorkAfterIdle(std::nan("")));
    EXPECT_FALSE(shouldResetWorkAfterIdle(700.0, std::nan("")));
    EXPECT_TRUE(shouldResetWorkAfterIdle(5.0, 5.0));
}
