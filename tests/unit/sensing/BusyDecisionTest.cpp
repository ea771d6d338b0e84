#include "sensing/BusyDecision.h"

#include "sensing/IdleRule.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

std::optional<BusyReason> reason(const char* report, QStringList apps, bool fullScreen = false) {
    const auto environment = detectBusyEnvironment(QString::fromUtf8(report), apps, fullScreen);
    return environment ? std::optional(environment->reason) : std::nullopt;
}

QStringList apps(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) {
        list.append(QString::fromUtf8(name));
    }
    return list;
}

} // namespace

TEST(BusyDecision, EachRuleOnItsOwn) {
    EXPECT_EQ(reason("PreventUserIdleDisplaySleep named: audio", {}), BusyReason::mediaPlayback);
    EXPECT_EQ(reason("", apps({"Zoom"})), BusyReason::meeting);
    EXPECT_EQ(reason("", apps({"Keynote"})), BusyReason::presentation);
    EXPECT_EQ(reason("", apps({"Finder"}), true), BusyReason::fullScreenApp);
    EXPECT_EQ(reason("", apps({"Steam"})), BusyReason::fullScreenApp);
    EXPECT_EQ(reason("", apps({"Minecraft Launcher"})), BusyReason::fullScreenApp);
    EXPECT_FALSE(reason("", apps({"Google Chrome"})).has_value());
    EXPECT_FALSE(reason("", apps({"Microsoft Edge"})).has_value());
    EXPECT_FALSE(reason("", {}).has_value());
}

TEST(BusyDecision, PriorityIsMediaMeetingPresentationFullScreenGame) {
    EXPECT_EQ(reason("", apps({"Keynote", "Zoom"})), BusyReason::meeting);
    EXPECT_EQ(reason("", apps({"Zoom", "Keynote"})), BusyReason::meeting);
    EXPECT_EQ(reason("VIDEO playing", apps({"zoom"})), BusyReason::mediaPlayback);
    EXPECT_EQ(reason("", apps({"steam", "powerpoint"})), BusyReason::presentation);
    EXPECT_EQ(reason("", apps({"Preview"}), true), BusyReason::presentation);
}

TEST(BusyDecision, NamesAreLowerCasedAndMatchedAnywhere) {
    EXPECT_EQ(reason("", apps({"PREVIEW"})), BusyReason::presentation);
    EXPECT_EQ(reason("", apps({"Microsoft Teams (work or school)"})), BusyReason::meeting);
    EXPECT_EQ(reason("", apps({"VooV Meeting"})), BusyReason::meeting);
    EXPECT_EQ(reason("", apps({"Battle.net"})), BusyReason::fullScreenApp);
    // Keywords are matched as given: "voov meeting" needs its space.
    EXPECT_FALSE(reason("", apps({"voovmeeting"})).has_value());
}

TEST(BusyDecision, MediaMarkersIgnoreCase) {
    EXPECT_TRUE(outputIndicatesMediaPlayback(QStringLiteral("preventuseridledisplaysleep")));
    EXPECT_TRUE(outputIndicatesMediaPlayback(QStringLiteral("audio playing: Music")));
    EXPECT_TRUE(outputIndicatesMediaPlayback(QStringLiteral("Video")));
    EXPECT_TRUE(outputIndicatesMediaPlayback(QStringLiteral("prevents DISPLAY SLEEP")));
    EXPECT_FALSE(outputIndicatesMediaPlayback(QStringLiteral("display-sleep")));
    EXPECT_FALSE(outputIndicatesMediaPlayback(QString()));
}

TEST(IdleRule, AtLeastTheThreshold) {
    EXPECT_TRUE(shouldResetWorkAfterIdle(600.0));
    EXPECT_TRUE(shouldResetWorkAfterIdle(601.0));
    EXPECT_FALSE(shouldResetWorkAfterIdle(599.9));
    EXPECT_FALSE(shouldResetWorkAfterIdle(0.0));
    EXPECT_FALSE(shouldResetWorkAfterIdle(std::nan("")));
    EXPECT_FALSE(shouldResetWorkAfterIdle(700.0, std::nan("")));
    EXPECT_TRUE(shouldResetWorkAfterIdle(5.0, 5.0));
}
