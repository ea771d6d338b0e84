#include "AppRig.h"
#include "content/Texts.h"
#include "prefs/DailyAllowances.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/WorkDuration.h"
#include "shell/TrayIcon.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// An English rig, launched.
struct EnglishApp : AppRig {
    explicit EnglishApp(const QStringList& arguments = {QStringLiteral("lumatide")},
                        bool installed = false)
        : AppRig(arguments, installed) {
        preferences.setString(languageKey, QStringLiteral("en"));
        launch();
    }
    void pick(const char* title) {
        QAction* action = findAction(app->trayMenu(), s(title));
        ASSERT_NE(action, nullptr) << title;
        action->trigger();
    }
};

TEST(LumatideAppLaunch, DefaultMenuEventTickAndUnlockHandler) {
    EnglishApp rig({s("lumatide")}, /*installed=*/true);
    // Launch at login is switched on by default from an installed location, before the menu
    // is built, so the menu shows it checked.
    EXPECT_EQ(rig.autostart.enableCount, 1);
    EXPECT_TRUE(rig.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_TRUE(findAction(rig.app->trayMenu(), s("Launch at Login"))->isChecked());
    EXPECT_EQ(rig.usage.sent, QStringList({s("app_open")}));
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(rig.app->trayIcon().contextMenu(), rig.app->trayMenu());

    QTimer* tick = rig.app->tickTimer();
    ASSERT_NE(tick, nullptr);
    EXPECT_TRUE(tick->isActive());
    EXPECT_EQ(tick->interval(), 1000);
    EXPECT_EQ(tick->timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(tick->isSingleShot());
    EXPECT_EQ(rig.app->demoTimer(), nullptr);

    rig.runSeconds(1);
    EXPECT_EQ(rig.title(), s("W 29:59"));

    // The unlock handler ends the rest through the cycle.
    rig.pick("Start Break Now");
    EXPECT_TRUE(rig.rest.isShowing());
    EXPECT_EQ(rig.title(), s("B 05:00"));
    rig.rest.typeCorrectPasscode();
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.usage.sent.last(), s("break_completed"));
    EXPECT_EQ(rig.usage.lastProperties.value(s("reason")).toString(), s("unlock"));
    EXPECT_EQ(rig.title(), s("W 30:00"));

    // From a build tree nothing is registered.
    EnglishApp buildTree;
    EXPECT_EQ(buildTree.autostart.enableCount, 0);
    EXPECT_FALSE(buildTree.preferences.contains(launchAtLoginPreferenceInitializedKey));
}

TEST(LumatideAppCommands, StartBreakAndRestartWorkOncePerDay) {
    EnglishApp rig;
    rig.runSeconds(100);
    rig.pick("Start Break Now");
    EXPECT_EQ(rig.app->cycle().phase(), TimerPhase::rest);
    const BreakAction first = rig.rest.shows.back().action;
    // During a rest it starts the next activity with a full rest.
    rig.runSeconds(10);
    rig.pick("Start Break Now");
    EXPECT_EQ(rig.title(), s("B 05:00"));
    EXPECT_NE(rig.rest.shows.back().action.title, first.title);

    // Restart during the rest: work starts at once and the day is recorded.
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.app->cycle().phase(), TimerPhase::work);
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_FALSE(canManualRestartWorkToday(rig.clock.wallNow(), rig.preferences));
    EXPECT_TRUE(rig.dialogs.shown.isEmpty());

    // The second restart that day shows the limit alert and changes nothing.
    rig.runSeconds(60);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.dialogs.shown, QStringList({s("showManualRestartLimit")}));
    EXPECT_EQ(rig.dialogs.lastLanguage, AppLanguage::english);
    EXPECT_EQ(rig.title(), s("W 29:00"));

    // The next day it works again.
    rig.clock.advanceWallOnly(24 * 3600);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(rig.dialogs.shown.size(), 1);
    // Neither command sends a usage event of its own.
    EXPECT_EQ(rig.usage.sent.count(s("break_started")), 2);
    EXPECT_EQ(rig.usage.sent.size(), 3);
}

TEST(LumatideAppCommands, TemporaryQuitLimitCancelConfirmAndRelaunchFailure) {
    EnglishApp rig;
    QSignalSpy quits(rig.app.get(), &LumatideApp::quitRequested);

    // Cancel: nothing recorded, nothing scheduled, still running.
    rig.dialogs.confirmAnswer = false;
    rig.pick("Quit");
    EXPECT_EQ(rig.dialogs.shown, QStringList({s("confirmTemporaryQuit")}));
    EXPECT_TRUE(canTemporaryQuitToday(rig.clock.wallNow(), rig.preferences));
    EXPECT_EQ(rig.relauncher.requestCount, 0);
    EXPECT_EQ(quits.count(), 0);

    // The relaunch cannot be started: no quit, the day is given back exactly as it was
    // stored before, and the user is told why.
    rig.preferences.setString(temporaryQuitDayKey, QStringLiteral("2025-12-31"));
    rig.dialogs.confirmAnswer = true;
    rig.relauncher.failure = s("systemd-run: not found");
    rig.pick("Quit");
    EXPECT_EQ(rig.relauncher.requestCount, 1);
    EXPECT_EQ(quits.count(), 0);
    EXPECT_EQ(rig.preferences.string(temporaryQuitDayKey), s("2025-12-31"));
    EXPECT_EQ(rig.dialogs.shown.last(), s("showTemporaryQuitFailure"));
    EXPECT_EQ(rig.dialogs.lastText, s("systemd-run: not found"));
    // With nothing stored before, nothing is stored after.
    rig.preferences.remove(temporaryQuitDayKey);
    rig.pick("Quit");
    EXPECT_FALSE(rig.preferences.contains(temporaryQuitDayKey));
    EXPECT_EQ(quits.count(), 0);

    // Confirm with a working relaunch: the day is recorded, the relaunch scheduled, the app ends.
    rig.relauncher.failure.reset();
    rig.pick("Quit");
    EXPECT_EQ(rig.relauncher.scheduledCount, 1);
    EXPECT_FALSE(canTemporaryQuitToday(rig.clock.wallNow(), rig.preferences));
    EXPECT_EQ(quits.count(), 1);

    // Once used, Quit only shows the limit, without asking.
    rig.dialogs.shown.clear();
    rig.pick("Quit");
    EXPECT_EQ(rig.dialogs.shown, QStringList({s("showTemporaryQuitLimit")}));
    EXPECT_EQ(rig.relauncher.requestCount, 3);
    EXPECT_EQ(quits.count(), 1);
    EXPECT_FALSE(rig.usage.sent.contains(s("quit")));
}

TEST(LumatideAppCommands, WorkLengthDuringWorkAndDuringRest) {
    EnglishApp rig;
    rig.runSeconds(30);
    rig.pick("35 min");
    EXPECT_EQ(rig.title(), s("W 35:00"));
    EXPECT_EQ(savedWorkMinutes(30, rig.preferences), 35.0);
    EXPECT_EQ(rig.usage.sent.last(), s("work_duration_changed"));
    EXPECT_EQ(rig.usage.lastProperties.value(s("minutes")).toInt(), 35);
    EXPECT_EQ(checkedTitles(submenu(rig.app->trayMenu(), s("Work Duration"))),
              QStringList({s("35 min")}));

    // During a rest the rest goes on; the next work period has the new length.
    rig.pick("Start Break Now");
    rig.runSeconds(20);
    rig.pick("50 min");
    EXPECT_EQ(rig.app->cycle().phase(), TimerPhase::rest);
    EXPECT_EQ(rig.title(), s("B 04:40"));
    rig.runSeconds(280);
    EXPECT_EQ(rig.title(), s("W 50:00"));

    // An item without a whole number is ignored.
    QAction stray(s("x"));
    stray.setData(s("40"));
    rig.app->changeWorkMinutes(&stray);
    EXPECT_EQ(savedWorkMinutes(30, rig.preferences), 50.0);
}

TEST(LumatideAppCommands, LanguageChangeDuringRestShowsSameActivityInNewLanguage) {
    EnglishApp rig;
    rig.pick("Start Break Now");
    rig.pick("Start Break Now"); // the second activity of the list
    const std::int64_t index = rig.app->cycle().currentActionIndex();
    ASSERT_EQ(index, 1);
    const std::size_t showsBefore = rig.rest.shows.size();
    rig.runSeconds(3);
    rig.pick("日本語");
    ASSERT_EQ(rig.rest.shows.size(), showsBefore + 1);
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::japanese);
    EXPECT_EQ(rig.rest.shows.back().action.title,
              Texts::forLanguage(AppLanguage::japanese).actions[1].title);
    EXPECT_EQ(rig.title(), s("B 04:57"));
    EXPECT_EQ(rig.app->trayMenu()->actions().first()->text(),
              Texts::forLanguage(AppLanguage::japanese).menuStartBreakNow);
    // The rotation goes on from where it was.
    EXPECT_EQ(rig.app->cycle().nextActionIndex(), 2);

    // During work only the title is refreshed.
    rig.rest.typeCorrectPasscode();
    const std::size_t showsInWork = rig.rest.shows.size();
    rig.pick("Español");
    EXPECT_EQ(rig.rest.shows.size(), showsInWork);
    EXPECT_EQ(rig.app->trayMenu()->actions().last()->text(),
              Texts::forLanguage(AppLanguage::spanish).menuQuit);
    // The dialogs speak the new language.
    rig.pick(Texts::forLanguage(AppLanguage::spanish).menuQuit.toUtf8().constData());
    EXPECT_EQ(rig.dialogs.lastLanguage, AppLanguage::spanish);
}

TEST(LumatideAppCommands, UsageStatisticsSwitchReachesTheEndpointBothWays) {
    EnglishApp rig;
    rig.usage.delivered.clear();
    rig.pick("Anonymous Usage Stats");
    EXPECT_FALSE(rig.preferences.boolean(anonymousTelemetryEnabledKey));
    EXPECT_TRUE(rig.preferences.contains(anonymousTelemetryEnabledKey));
    // The opt-out is the last event that gets through.
    EXPECT_EQ(rig.usage.delivered, QStringList({s("anonymous_usage_stats_disabled")}));
    EXPECT_FALSE(findAction(rig.app->trayMenu(), s("Anonymous Usage Stats"))->isChecked());
    rig.pick("Start Break Now");
    EXPECT_EQ(rig.usage.delivered.size(), 1);

    rig.pick("Anonymous Usage Stats");
    EXPECT_TRUE(rig.preferences.boolean(anonymousTelemetryEnabledKey));
    EXPECT_EQ(rig.usage.delivered.last(), s("anonymous_usage_stats_enabled"));
    EXPECT_EQ(rig.usage.delivered.size(), 2);
    EXPECT_TRUE(findAction(rig.app->trayMenu(), s("Anonymous Usage Stats"))->isChecked());
}

TEST(LumatideAppCommands, LaunchAtLoginToggleSuccessAndFailure) {
    EnglishApp rig;
    rig.pick("Launch at Login");
    EXPECT_TRUE(rig.autostart.enabled);
    EXPECT_TRUE(rig.preferences.boolean(launchAtLoginPreferenceInitializedKey));
    EXPECT_TRUE(findAction(rig.app->trayMenu(), s("Launch at Login"))->isChecked());

    rig.pick("Launch at Login");
    EXPECT_FALSE(rig.autostart.enabled);
    EXPECT_EQ(rig.autostart.disableCount, 1);
    EXPECT_FALSE(findAction(rig.app->trayMenu(), s("Launch at Login"))->isChecked());
    EXPECT_TRUE(rig.dialogs.shown.isEmpty());

    // A failure is shown with its reason; the checkmark keeps the real state and the marker
    // is left as it was.
    EnglishApp failing;
    failing.autostart.failure = s("Permission denied");
    failing.pick("Launch at Login");
    EXPECT_EQ(failing.dialogs.shown, QStringList({s("showLaunchAtLoginError")}));
    EXPECT_EQ(failing.dialogs.lastText, s("Permission denied"));
    EXPECT_FALSE(failing.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_FALSE(findAction(failing.app->trayMenu(), s("Launch at Login"))->isChecked());
}

TEST(LumatideAppCommands, ResetPasscodeOpensTheFormOnTheUsersStore) {
    EnglishApp rig;
    rig.pick("Reset Passcode");
    EXPECT_EQ(rig.dialogs.shown, QStringList({s("resetPasscode")}));
    EXPECT_EQ(rig.dialogs.lastStore, &rig.preferences);
    EXPECT_EQ(rig.app->cycle().phase(), TimerPhase::work);
}

} // namespace
} // namespace lumatide
