// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

namespace lumatide::test {
namespace {

// The dialogs, the relauncher and the usage events in one: dialogs are answered at once and
// recorded with their language and text; relaunches fail with the reason the test set; events
// are recorded as the real sender treats them, dropped while the user's switch is off.
struct Fakes final : AppDialogs, Relauncher, UsageEvents {
    explicit Fakes(const PreferenceStore& store) : preferences(store) {}
    bool confirmTemporaryQuit(AppLanguage l) override {
        note("confirmQuit", l);
        return confirm;
    }
    void showTemporaryQuitLimit(AppLanguage l) override { note("quitLimit", l); }
    void showManualRestartLimit(AppLanguage l) override { note("restartLimit", l); }
    void showLaunchAtLoginError(const QString& error, AppLanguage l) override {
        note("loginError", l, error);
    }
    void showTemporaryQuitFailure(const QString& reason, AppLanguage l) override {
        note("quitFailure", l, reason);
    }
    void showPreferencesProblem(const QString& oldFile, AppLanguage l) override {
        note("preferencesProblem", l, oldFile);
    }
    void resetPasscode(PreferenceStore& /*store*/, AppLanguage l) override {
        note("resetPasscode", l);
    }
    void note(const char* dialog, AppLanguage l, const QString& text = {}) {
        shown.append(text.isEmpty() ? s(dialog) : s(dialog) + s(": ") + text);
        language = l;
    }
    std::optional<QString> scheduleRelaunchAfterTemporaryQuit() override {
        ++relaunches;
        return relaunchFailure;
    }
    void send(const QString& event, const QJsonObject& properties) override {
        sent.append(anonymousTelemetryEnabled(preferences) ? event : event + s(" (dropped)"));
        last = properties;
    }

    const PreferenceStore& preferences;
    bool confirm = false;
    QStringList shown;
    AppLanguage language = AppLanguage::english;
    std::optional<QString> relaunchFailure;
    int relaunches = 0;
    QStringList sent;
    QJsonObject last;
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
        app = std::make_unique<LumatideApp>(LumatideAppServices{preferences, clock, rest, warning,
                                                                nullptr, nullptr, autostart, fakes,
                                                                fakes, fakes, nullptr, installed},
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
    bool checked(const char* title) const { return item(s(title))->isChecked(); }
    QString checkedIn(const QString& submenu) const {
        QString checked;
        for (const QAction* choice : item(submenu)->menu()->actions()) {
            checked += choice->isChecked() ? choice->text() : QString();
        }
        return checked;
    }
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
    Fakes fakes{preferences};
    std::unique_ptr<LumatideApp> app;
};

QImage badge(TimerPhase phase, std::int64_t remaining, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTrayBadge(painter, QRectF(0, 0, size, size), phase, remaining);
    return image;
}

TEST(TrayIcon, TitleAndBadgeFollowTheCountdownMinutesThenSeconds) {
    Rig rig;
    rig.launch();
    const TrayIcon& tray = rig.app->trayIcon();
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(tray.badgeText(), s("30"));
    const qint64 at30 = tray.icon().cacheKey();
    QToolTip::showText(QPoint(20, 20), rig.title()); // the pointer rests on the icon
    rig.runSeconds(1);
    EXPECT_EQ(rig.title(), s("W 29:59"));
    EXPECT_EQ(QToolTip::text(), s("W 29:59"));
    QToolTip::hideText();
    EXPECT_EQ(tray.badgeText(), s("29"));
    const qint64 at29 = tray.icon().cacheKey();
    EXPECT_NE(at29, at30);
    // Within a minute the icon is not made again: the tray would repaint every second.
    rig.runSeconds(30);
    EXPECT_EQ(tray.icon().cacheKey(), at29);
    rig.runSeconds(29 * 60 - 31); // a minute left
    EXPECT_EQ(tray.badgeText(), s("1"));
    rig.runSeconds(1);
    EXPECT_EQ(tray.badgeText(), s("59"));
}

TEST(TrayIcon, BadgeTilesAreDrawnAtEachSizeAskedFor) {
    // Same digits on a tile of the phase's colour; in the last minute the tile turns white so
    // that seconds are not read as minutes.
    EXPECT_NE(badge(TimerPhase::work, 1500, 32), badge(TimerPhase::rest, 1500, 32));
    EXPECT_NE(badge(TimerPhase::work, 1500, 32).pixelColor(16, 6), QColor(Qt::white));
    EXPECT_EQ(badge(TimerPhase::work, 42, 32).pixelColor(16, 6), QColor(Qt::white));

    auto* engine = new TrayBadgeIconEngine(TimerPhase::rest, 250);
    const QIcon icon(engine);             // owns the engine
    for (const int size : {22, 22, 30}) { // 30 is no size a tray lists: drawn for itself too
        EXPECT_EQ(icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32),
                  badge(TimerPhase::rest, 250, size));
    }
    EXPECT_EQ(engine->drawnCount(), 2);
    EXPECT_EQ(icon.pixmap(QSize(40, 24)).size(), QSize(24, 24)); // square, in the smaller side
}

TEST(TrayMenu, CheckmarksAndTitlesFollowTheSettingsAndTheLaunchOptions) {
    Rig rig;
    rig.preferences.setDouble(workMinutesKey, 40);
    rig.launch();
    EXPECT_EQ(rig.checkedIn(s("Work Duration")), s("40 min"));
    EXPECT_EQ(rig.checkedIn(s("Language")), s("English"));
    EXPECT_FALSE(rig.checked("Launch at Login"));
    EXPECT_TRUE(rig.checked("Anonymous Usage Stats"));
    // Picking German rebuilds the menu in German, keeps the checked length and is no event.
    rig.pick("Deutsch");
    const Texts& german = Texts::forLanguage(AppLanguage::german);
    EXPECT_EQ(rig.app->trayMenu()->actions().first()->text(), german.menuStartBreakNow);
    EXPECT_EQ(rig.checkedIn(german.menuLanguage), s("Deutsch"));
    EXPECT_EQ(rig.checkedIn(german.menuWorkDuration), s("40 Min."));
    EXPECT_EQ(rig.fakes.sent, QStringList(s("app_open")));

    // A forced language wins over the stored one; 37 minutes is no option.
    Rig odd({s("--demo-language"), s("fr"), s("--work-minutes"), s("37")});
    odd.launch();
    const Texts& french = Texts::forLanguage(AppLanguage::french);
    EXPECT_EQ(odd.checkedIn(french.menuWorkDuration), QString());
    EXPECT_EQ(odd.checkedIn(french.menuLanguage), s("Français"));
    EXPECT_EQ(checkedWorkMinutes(39.5 * 60.0), 40); // a stored 39.5 is checked as 40
}

TEST(LumatideApp, LaunchTicksAndTheUnlockEndsTheRest) {
    Rig installed({}, /*fromInstalledCopy=*/true);
    installed.launch();
    // Launch at login is switched on from an installed location, before the menu is built.
    EXPECT_EQ(installed.autostart.enableCount, 1);
    EXPECT_TRUE(installed.checked("Launch at Login"));

    Rig rig;
    rig.launch();
    EXPECT_EQ(rig.autostart.enableCount, 0);
    EXPECT_EQ(rig.app->trayIcon().contextMenu(), rig.app->trayMenu());
    // The shortcut shown beside the item works while the menu is open, and closes it.
    rig.app->trayMenu()->popup(QPoint(0, 0));
    QTest::keyClick(rig.app->trayMenu(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(rig.rest.isShowing());
    EXPECT_FALSE(rig.app->trayMenu()->isVisible());
    rig.rest.typeCorrectPasscode();
    EXPECT_FALSE(rig.rest.isShowing());
    EXPECT_EQ(rig.title(), s("W 30:00"));
    rig.pick("Reset Passcode");
    EXPECT_EQ(rig.fakes.shown, QStringList(s("resetPasscode")));
    // An unusable preference file is reported once the program runs, with where it was kept.
    rig.app->reportUnusablePreferences(s("/config/preferences.json.corrupt-1"));
    EXPECT_EQ(rig.fakes.shown.size(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.fakes.shown.last(), s("preferencesProblem: /config/preferences.json.corrupt-1"));
}

TEST(LumatideApp, RestartWorkOnceADay) {
    Rig rig;
    rig.launch();
    rig.pick("Start Break Now");
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.title(), s("W 30:00"));
    // The second restart that day shows the limit and changes nothing; the next day it works.
    rig.runSeconds(60);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.fakes.shown, QStringList(s("restartLimit")));
    EXPECT_EQ(rig.title(), s("W 29:00"));
    rig.clock.advanceWallOnly(24 * 3600);
    rig.pick("Restart Work Timer");
    EXPECT_EQ(rig.title(), s("W 30:00"));
    EXPECT_EQ(rig.fakes.sent, QStringList({s("app_open"), s("break_started")}));
}

TEST(LumatideApp, QuitForAnHourOnceADayAndAFailedRelaunchGivesTheDayBack) {
    Rig rig;
    rig.launch();
    QSignalSpy quits(rig.app.get(), &LumatideApp::quitRequested);
    rig.pick("Quit"); // cancelled
    EXPECT_EQ(rig.fakes.shown, QStringList(s("confirmQuit")));

    // The relaunch cannot be scheduled: no quit, the day stored before is back, the user is told.
    rig.fakes.confirm = true;
    rig.fakes.relaunchFailure = s("systemd-run: not found");
    rig.preferences.setString(temporaryQuitDayKey, s("2025-12-31"));
    for (const std::optional<QString>& before :
         {std::optional(s("2025-12-31")), std::optional<QString>()}) {
        rig.pick("Quit");
        EXPECT_EQ(rig.preferences.string(temporaryQuitDayKey), before);
        EXPECT_EQ(rig.fakes.shown.last(), s("quitFailure: systemd-run: not found"));
        rig.preferences.remove(temporaryQuitDayKey);
    }
    EXPECT_EQ(quits.count(), 0);

    rig.fakes.relaunchFailure.reset();
    rig.pick("Quit");
    EXPECT_EQ(quits.count(), 1);
    EXPECT_FALSE(canTemporaryQuitToday(rig.clock.wallNow(), rig.preferences));
    // Once used, Quit only shows the limit, without asking.
    rig.fakes.shown.clear();
    rig.pick("Quit");
    EXPECT_EQ(rig.fakes.shown, QStringList(s("quitLimit")));
    EXPECT_EQ(rig.fakes.relaunches, 3);
    EXPECT_EQ(quits.count(), 1);
}

TEST(LumatideApp, WorkLengthAndLanguageReachTheCycleTheMenuAndTheDialogs) {
    Rig rig;
    rig.launch();
    rig.runSeconds(30);
    rig.pick("35 min");
    EXPECT_EQ(rig.title(), s("W 35:00"));
    EXPECT_EQ(savedWorkMinutes(30, rig.preferences), 35.0);
    EXPECT_EQ(rig.fakes.last.value(s("minutes")).toInt(), 35);
    EXPECT_EQ(rig.checkedIn(s("Work Duration")), s("35 min"));

    // A language picked during a rest reaches its panels at once (which activity they then
    // show is the break cycle's matter).
    rig.pick("Start Break Now");
    rig.pick("日本語");
    EXPECT_EQ(rig.rest.shows.back().language, AppLanguage::japanese);
    rig.pick(Texts::forLanguage(AppLanguage::japanese).menuQuit);
    EXPECT_EQ(rig.fakes.language, AppLanguage::japanese);
}

TEST(LumatideApp, SwitchesForUsageStatsAndLaunchAtLogin) {
    Rig rig;
    rig.launch();
    // The opt-out is the last event that gets through, the opt-in the first.
    rig.pick("Anonymous Usage Stats");
    rig.pick("Start Break Now");
    rig.pick("Anonymous Usage Stats");
    EXPECT_TRUE(rig.checked("Anonymous Usage Stats"));
    EXPECT_EQ(rig.fakes.sent,
              QStringList({s("app_open"), s("anonymous_usage_stats_disabled"),
                           s("break_started (dropped)"), s("anonymous_usage_stats_enabled")}));

    rig.pick("Launch at Login");
    EXPECT_TRUE(rig.autostart.enabled);
    EXPECT_TRUE(rig.checked("Launch at Login"));
    EXPECT_TRUE(rig.preferences.boolean(launchAtLoginPreferenceInitializedKey));
    rig.pick("Launch at Login");
    EXPECT_FALSE(rig.autostart.enabled);
    EXPECT_FALSE(rig.checked("Launch at Login"));

    // A failure is shown with its reason; the checkmark keeps the real state, the marker unset.
    Rig failing;
    failing.autostart.failure = s("Permission denied");
    failing.launch();
    failing.pick("Launch at Login");
    EXPECT_EQ(failing.fakes.shown, QStringList(s("loginError: Permission denied")));
    EXPECT_FALSE(failing.preferences.contains(launchAtLoginPreferenceInitializedKey));
    EXPECT_FALSE(failing.checked("Launch at Login"));
}

TEST(DemoScenarios, OnlyWhenAskedOverOneBackdropAndOnlyTheRestartLimitUsesTheDay) {
    Rig demo({s("--demo-scenario"), s("quit-confirm")});
    demo.fakes.confirm = true;
    demo.launch();
    QSignalSpy quits(demo.app.get(), &LumatideApp::quitRequested);
    demo.app->performDemoScenario(DemoScenario::quitConfirm);
    QWidget* backdrop = demo.app->demoBackdropWindow();
    ASSERT_NE(backdrop, nullptr);
    demo.app->performDemoScenario(DemoScenario::quitLimit);
    EXPECT_EQ(demo.app->demoBackdropWindow(), backdrop);
    // A confirmed quit is only shown: nothing is recorded, scheduled or quit.
    EXPECT_EQ(demo.fakes.shown, QStringList({s("confirmQuit"), s("quitLimit")}));
    EXPECT_TRUE(canTemporaryQuitToday(demo.clock.wallNow(), demo.preferences));
    EXPECT_EQ(demo.fakes.relaunches + quits.count(), 0);

    Rig restart({s("--demo-scenario"), s("restart-limit")});
    restart.preferences.setString(languageKey, s("ko"));
    restart.launch();
    restart.app->performDemoScenario(DemoScenario::restartLimit);
    EXPECT_EQ(restart.fakes.language, AppLanguage::korean);
    EXPECT_FALSE(canManualRestartWorkToday(restart.clock.wallNow(), restart.preferences));
}

} // namespace
} // namespace lumatide::test
