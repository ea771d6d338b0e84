// The application shell against fakes: the tray icon and its badge, the menu and its commands.

#include "content/Texts.h"
#include "fakes/FakeAutostartService.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryPreferenceStore.h"
#include "fakes/RecordingRestSurface.h"
#include "fakes/RecordingWarningSurface.h"
#include "prefs/DailyAllowances.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/WorkDuration.h"
#include "shell/AppDialogs.h"
#include "shell/LumatideApp.h"
#include "shell/TrayBadge.h"
#include "shell/TrayBadgeIconEngine.h"
#include "shell/TrayIcon.h"
#include "shell/TrayMenu.h"
#include "system/Relauncher.h"
#include "system/UsageEvents.h"
#include "widgets/WidgetTestSupport.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumatide::test {
namespace {

struct FakeRelauncher final : Relauncher {
    std::optional<QString> scheduleRelaunchAfterTemporaryQuit() override {
        ++requests;
        return failure;
    }
    std::optional<QString> failure;
    int requests = 0;
};

// Records each event as the real sender treats it: dropped while the user's switch is off.
struct GatedEvents final : UsageEvents {
    explicit GatedEvents(const PreferenceStore& store) : preferences(store) {}
    void send(const QString& event, const QJsonObject& properties) override {
        sent.append(anonymousTelemetryEnabled(preferences) ? event : event + s(" (dropped)"));
        last = properties;
    }
    const PreferenceStore& preferences;
    QStringList sent;
    QJsonObject last;
};

// Answers every dialog at once; records which were shown, in which language, with which text.
struct ScriptedDialogs final : AppDialogs {
    bool confirmTemporaryQuit(AppLanguage l) override {
        record("confirmQuit", l);
        return confirm;
    }
    void showTemporaryQuitLimit(AppLanguage l) override { record("quitLimit", l); }
    void showManualRestartLimit(AppLanguage l) override { record("restartLimit", l); }
    void showLaunchAtLoginError(const QString& e, AppLanguage l) override {
        record("loginError", l, e);
    }
    void showTemporaryQuitFailure(const QString& r, AppLanguage l) override {
        record("quitFailure", l, r);
    }
    void resetPasscode(PreferenceStore& store, AppLanguage l) override {
        record("resetPasscode", l);
        lastStore = &store;
    }
    void record(const char* name, AppLanguage l, const QString& text = {}) {
        shown.append(s(name));
        language = l;
        lastText = text;
    }
    bool confirm = false;
    QStringList shown;
    AppLanguage language = AppLanguage::english;
    QString lastText;
    PreferenceStore* lastStore = nullptr;
};

QAction* findAction(const QMenu* menu, const QString& title) {
    for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
        QAction* inner = findAction(action->menu(), title);
        if (action->text() == title || inner != nullptr) {
            return inner != nullptr ? inner : action;
        }
    }
    return nullptr;
}

// The application with fakes for every service (no idle or busy sensing), in English unless the
// test stores another language before launching it.
struct Rig {
    explicit Rig(const QStringList& arguments = {}, bool fromInstalledCopy = false)
        : options(parseLaunchOptions(QStringList{s("lumatide")} + arguments)),
          installed(fromInstalledCopy) {
        preferences.setString(languageKey, s("en"));
    }
    void launch() {
        app = std::make_unique<LumatideApp>(
            LumatideAppServices{preferences, clock, rest, warning, nullptr, nullptr, autostart,
                                relauncher, events, dialogs, installed},
            options);
        app->start();
    }
    void runSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1.0);
            app->tick();
        }
    }
    QString title() const { return app->trayIcon().toolTip(); }
    QAction* item(const QString& title) const { return findAction(app->trayMenu(), title); }
    QString checkedIn(const QString& submenu) const {
        QString checked;
        for (const QAction* choice : item(submenu)->menu()->actions()) {
            checked += choice->isChecked() ? choice->text() : QString();
        }
        return checked;
    }
    bool checked(const char* title) const { return item(s(title))->isChecked(); }
    void pick(const QString& title) {
        ASSERT_NE(item(title), nullptr) << title.toStdString();
        item(title)->trigger();
    }
    void pick(const char* title) { pick(s(title)); }

    LaunchOptions options;
    bool installed;
    MemoryPreferenceStore preferences;
    FakeClock clock;
    RecordingRestSurface rest;
    RecordingWarningSurface warning;
    FakeAutostartService autostart;
    FakeRelauncher relauncher;
    GatedEvents events{preferences};
    ScriptedDialogs dialogs;
    std::unique_ptr<LumatideApp> app;
};

QImage badge(TimerPhase phase, std::int64_t remaining, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTrayBadge(painter, QRectF(0, 0, size, size), phase, remaining);
    return image;
}

TEST(TrayIcon, TitleAndBadgeFollowTheCountdown) {
    Rig rig;
    rig.launch();
    const TrayIcon& tray = rig.app->trayIcon();
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(tray.badgeText(), s("30"));
    const qint64 at30 = tray.icon().cacheKey();
    rig.runSeconds(1);
    EXPECT_EQ(rig.title(), s("W 29:59"));
    EXPECT_EQ(tray.badgeText(), s("29"));
    const qint64 at29 = tray.icon().cacheKey();
    EXPECT_NE(at29, at30);
    // Within a minute the icon is not made again: the tray would repaint every second.
    rig.runSeconds(30);
    EXPECT_EQ(rig.title(), s("W 29:29"));
    EXPECT_EQ(tray.icon().cacheKey(), at29);
    rig.runSeconds(30 * 60 - 31 - 59);
    EXPECT_EQ(tray.badgeText(), s("59"));
    rig.app->startRestNow();
    EXPECT_EQ(rig.title(), s("B 05:00"));
    EXPECT_EQ(tray.badgeText(), s("5"));
}

TEST(TrayIcon, BadgeCountsMinutesThenSecondsAndIsDrawnAtEachSizeAskedFor) {
    const std::pair<std::int64_t, const char*> texts[] = {
        {1800, "30"}, {1799, "29"}, {60, "1"}, {59, "59"}, {0, "0"}, {-5, "0"}, {6000, "100"}};
    for (const auto& [seconds, text] : texts) {
        EXPECT_EQ(trayBadgeText(seconds), s(text)) << seconds;
    }
    // Same digits on a tile of the phase's colour; in the last minute the tile turns white so
    // that seconds are not read as minutes.
    EXPECT_NE(badge(TimerPhase::work, 1500, 32), badge(TimerPhase::rest, 1500, 32));
    EXPECT_NE(badge(TimerPhase::work, 1500, 32).pixelColor(16, 6), QColor(Qt::white));
    EXPECT_EQ(badge(TimerPhase::work, 42, 32).pixelColor(16, 6), QColor(Qt::white));

    auto* engine = new TrayBadgeIconEngine(TimerPhase::rest, 250);
    const QIcon icon(engine); // owns the engine
    EXPECT_EQ(engine->drawnCount(), 0);
    for (const int size : {22, 22, 30}) { // 30 is no size a tray lists: drawn for itself too
        EXPECT_EQ(icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32),
                  badge(TimerPhase::rest, 250, size));
    }
    EXPECT_EQ(engine->drawnCount(), 2);
    EXPECT_EQ(icon.pixmap(QSize(40, 24)).size(), QSize(24, 24));
    EXPECT_TRUE(icon.pixmap(QSize(0, 0)).isNull());
}

TEST(TrayMenu, CheckmarksAndTitlesInTheUsersLanguage) {
    Rig rig;
    rig.preferences.setDouble(workMinutesKey, 40);
    rig.launch();
    EXPECT_EQ(rig.checkedIn(s("Work Duration")), s("40 min"));
    EXPECT_EQ(rig.checkedIn(s("Language")), s("English"));
    EXPECT_FALSE(rig.checked("Launch at Login"));
    EXPECT_TRUE(rig.checked("Anonymous Usage Stats"));

    rig.pick("Reset Passcode");
    EXPECT_EQ(rig.dialogs.shown, QStringList(s("resetPasscode")));
    EXPECT_EQ(rig.dialogs.lastStore, &rig.preferences);
    // Picking German rebuilds the menu in German, keeps the checked length and is no event.
    rig.pick("Deutsch");
    const Texts& german = Texts::forLanguage(AppLanguage::german);
    EXPECT_EQ(rig.app->trayMenu()->actions().first()->text(), german.menuStartBreakNow);
    EXPECT_EQ(rig.checkedIn(german.menuLanguage), s("Deutsch"));
    EXPECT_EQ(rig.checkedIn(german.menuWorkDuration), s("40 Min."));
    EXPECT_EQ(rig.preferences.string(languageKey), s("de"));
    EXPECT_EQ(rig.events.sent, QStringList(s("app_open")));
}

TEST(TrayMenu, CheckmarksFollowTheLaunchOptionsAndTheSwitches) {
    // A forced language wins over the stored one; 37 minutes is no option.
    Rig odd({s("--demo-language"), s("fr"), s("--work-minutes"), s("37")});
    odd.preferences.setString(languageKey, s("de"));
    odd.preferences.setBool(anonymousTelemetryEnabledKey, false);
    odd.autostart.enabled = true;
    odd.launch();
    const Texts& french = Texts::forLanguage(AppLanguage::french);
    EXPECT_EQ(odd.checkedIn(french.menuWorkDuration), QString());
    EXPECT_EQ(odd.checkedIn(french.menuLanguage), s("Français"));
    EXPECT_TRUE(odd.item(french.menuLaunchAtLogin)->isChecked());
    EXPECT_FALSE(odd.item(french.menuAnonymousUsageStats)->isChecked());
    // Whole minutes, halves rounded away from zero.
    EXPECT_EQ(checkedWorkMinutes(39.5 * 60.0), 40);
    EXPECT_EQ(checkedWorkMinutes(std::nan("")), std::nullopt);
}

TEST(LumatideApp, LaunchTicksAndTheUnlockEndsTheRest) {
    Rig installed({}, /*fromInstalledCopy=*/true);
    installed.launch();
    // Launch at login is switched on from an installed location, before the menu is built.
    EXPECT_EQ(installed.autostart.enableCount, 1);
    EXPECT_TRUE(installed.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_TRUE(installed.checked("Launch at Login"));

    Rig rig;
    rig.launch();
    EXPECT_EQ(rig.autostart.enableCount, 0);
    EXPECT_FALSE(rig.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_TRUE(rig.app->tickTimer()->isActive());
    EXPECT_EQ(rig.app->trayIcon().contextMenu(), rig.app->trayMenu());
    rig.pick("Start Break Now");
    EXPECT_TRUE(rig.rest.isShowing());
    rig.rest.typeCorrectPasscode();
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.events.sent.last(), s("break_completed"));
    EXPECT_EQ(rig.events.last.value(s("reason")).toString(), s("unlock"));
    EXPECT_EQ(rig.title(), s("W 30:00"));
}

TEST(LumatideApp, RestartWorkOnceADay) {
    Rig rig;
    rig.launch();
    rig.pick("Start Break Now");
    rig.pick("Restart Work Timer");
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.title(), s("W 30:00"));
    // The second restart that day shows the limit and changes nothing; the next day it works.
    rig.runSeconds(60);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.dialogs.shown, QStringList(s("restartLimit")));
    EXPECT_EQ(rig.title(), s("W 29:00"));
    rig.clock.advanceWallOnly(24 * 3600);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(rig.dialogs.shown.size(), 1);
    EXPECT_EQ(rig.events.sent, QStringList({s("app_open"), s("break_started")}));
}

TEST(LumatideApp, QuitForAnHourOnceADayAndAFailedRelaunchGivesTheDayBack) {
    Rig rig;
    rig.launch();
    QSignalSpy quits(rig.app.get(), &LumatideApp::quitRequested);
    rig.pick("Quit"); // cancelled
    EXPECT_EQ(rig.dialogs.shown, QStringList(s("confirmQuit")));
    EXPECT_EQ(rig.relauncher.requests, 0);

    // The relaunch cannot be scheduled: no quit, the day stored before is back, the user is told.
    rig.dialogs.confirm = true;
    rig.relauncher.failure = s("systemd-run: not found");
    for (const std::optional<QString>& before :
         {std::optional(s("2025-12-31")), std::optional<QString>()}) {
        if (before.has_value()) {
            rig.preferences.setString(temporaryQuitDayKey, *before);
        }
        rig.pick("Quit");
        EXPECT_EQ(rig.preferences.string(temporaryQuitDayKey), before);
        EXPECT_EQ(rig.dialogs.shown.last(), s("quitFailure"));
        EXPECT_EQ(rig.dialogs.lastText, s("systemd-run: not found"));
        rig.preferences.remove(temporaryQuitDayKey);
    }
    EXPECT_EQ(quits.count(), 0);

    rig.relauncher.failure.reset();
    rig.pick("Quit");
    EXPECT_EQ(quits.count(), 1);
    EXPECT_FALSE(canTemporaryQuitToday(rig.clock.wallNow(), rig.preferences));
    // Once used, Quit only shows the limit, without asking.
    rig.dialogs.shown.clear();
    rig.pick("Quit");
    EXPECT_EQ(rig.dialogs.shown, QStringList(s("quitLimit")));
    EXPECT_EQ(rig.relauncher.requests, 3);
    EXPECT_EQ(quits.count(), 1);
}

TEST(LumatideApp, WorkLengthAndLanguageReachTheCycleTheMenuAndTheDialogs) {
    Rig rig;
    rig.launch();
    rig.runSeconds(30);
    rig.pick("35 min");
    EXPECT_EQ(rig.title(), s("W 35:00"));
    EXPECT_EQ(savedWorkMinutes(30, rig.preferences), 35.0);
    EXPECT_EQ(rig.events.last.value(s("minutes")).toInt(), 35);
    EXPECT_EQ(rig.checkedIn(s("Work Duration")), s("35 min"));

    // A language picked during a rest shows the same activity in it.
    rig.pick("Start Break Now");
    rig.pick("Start Break Now");
    rig.pick("日本語");
    ASSERT_EQ(rig.rest.shows.size(), 3U);
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::japanese);
    EXPECT_EQ(rig.rest.shows.back().action.title,
              Texts::forLanguage(AppLanguage::japanese).actions[1].title);
    rig.pick(Texts::forLanguage(AppLanguage::japanese).menuQuit);
    EXPECT_EQ(rig.dialogs.language, AppLanguage::japanese);
}

TEST(LumatideApp, SwitchesForUsageStatsAndLaunchAtLogin) {
    Rig rig;
    rig.launch();
    // The opt-out is the last event that gets through, the opt-in the first.
    rig.pick("Anonymous Usage Stats");
    EXPECT_FALSE(rig.preferences.boolean(anonymousTelemetryEnabledKey));
    EXPECT_FALSE(rig.checked("Anonymous Usage Stats"));
    rig.pick("Start Break Now");
    rig.pick("Anonymous Usage Stats");
    EXPECT_TRUE(rig.checked("Anonymous Usage Stats"));
    EXPECT_EQ(rig.events.sent,
              QStringList({s("app_open"), s("anonymous_usage_stats_disabled"),
                           s("break_started (dropped)"), s("anonymous_usage_stats_enabled")}));

    rig.pick("Launch at Login");
    EXPECT_TRUE(rig.autostart.enabled);
    EXPECT_TRUE(rig.checked("Launch at Login"));
    EXPECT_TRUE(rig.preferences.boolean(launchAtLoginPreferenceInitializedKey));
    rig.pick("Launch at Login");
    EXPECT_FALSE(rig.autostart.enabled);
    EXPECT_FALSE(rig.checked("Launch at Login"));
    EXPECT_TRUE(rig.dialogs.shown.isEmpty());

    // A failure is shown with its reason; the checkmark keeps the real state, the marker unset.
    Rig failing;
    failing.autostart.failure = s("Permission denied");
    failing.launch();
    failing.pick("Launch at Login");
    EXPECT_EQ(failing.dialogs.shown, QStringList(s("loginError")));
    EXPECT_EQ(failing.dialogs.lastText, s("Permission denied"));
    EXPECT_FALSE(failing.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_FALSE(failing.checked("Launch at Login"));
}

TEST(DemoScenarios, OnlyWhenAskedOverOneBackdropAndOnlyTheRestartLimitUsesTheDay) {
    Rig plain;
    plain.launch();
    EXPECT_EQ(plain.app->demoTimer(), nullptr);
    plain.app->showDemoBackdrop();
    EXPECT_EQ(plain.app->demoBackdropWindow(), nullptr);

    Rig demo({s("--demo-scenario"), s("quit-confirm")});
    demo.dialogs.confirm = true;
    demo.launch();
    ASSERT_NE(demo.app->demoTimer(), nullptr);
    EXPECT_TRUE(demo.app->demoTimer()->isActive());
    EXPECT_TRUE(demo.dialogs.shown.isEmpty()); // not before the timer fires
    QSignalSpy quits(demo.app.get(), &LumatideApp::quitRequested);
    demo.app->performDemoScenario(DemoScenario::quitConfirm);
    QWidget* backdrop = demo.app->demoBackdropWindow();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_TRUE(backdrop->isVisible());
    EXPECT_EQ(backdrop->geometry(), QGuiApplication::primaryScreen()->geometry());
    demo.app->performDemoScenario(DemoScenario::quitLimit);
    EXPECT_EQ(demo.app->demoBackdropWindow(), backdrop);
    // A confirmed quit is only shown: nothing is recorded, scheduled or quit.
    EXPECT_EQ(demo.dialogs.shown, QStringList({s("confirmQuit"), s("quitLimit")}));
    EXPECT_TRUE(canTemporaryQuitToday(demo.clock.wallNow(), demo.preferences));
    EXPECT_EQ(demo.relauncher.requests + quits.count(), 0);

    Rig restart({s("--demo-scenario"), s("restart-limit")});
    restart.preferences.setString(languageKey, s("ko"));
    restart.launch();
    restart.app->performDemoScenario(DemoScenario::restartLimit);
    EXPECT_EQ(restart.dialogs.language, AppLanguage::korean);
    restart.runSeconds(5);
    restart.app->manualRestartWork();
    EXPECT_EQ(restart.dialogs.shown, QStringList({s("restartLimit"), s("restartLimit")}));
    EXPECT_EQ(restart.title(), s("W 29:55"));
}

} // namespace
} // namespace lumatide::test
