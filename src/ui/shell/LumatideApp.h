// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "cycle/BreakCycle.h"
#include "cycle/DemoScenario.h"
#include "cycle/LaunchOptions.h"
#include "cycle/RemoteControl.h"
#include "history/HistoryEvent.h"
#include "shell/TrayMenu.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace lumatide {

class AppDialogs;
class BusyProbe;
class Clock;
class DemoBackdropWindow;
class HistoryRecorder;
class IdleTimeSource;
class AutostartService;
class PreferenceStore;
class Relauncher;
class RestSurface;
class TrayIcon;
class UsageEvents;
class WarningSurface;
class WindowSystem;

// Everything the application talks to. Idle time and busy probes may be absent (null).
struct LumatideAppServices {
    PreferenceStore& preferences;
    Clock& clock;
    RestSurface& rest;
    WarningSurface& warning;
    IdleTimeSource* idleTime;
    BusyProbe* busyProbe;
    AutostartService& autostart;
    Relauncher& relauncher;
    UsageEvents& usage;
    AppDialogs& dialogs;
    // The window manager's services for the demo backdrop; null where there are none.
    WindowSystem* windowSystem = nullptr;
    // Whether the program runs from an installed location, where launch at login is switched
    // on by default at first start.
    bool runningFromInstalledLocation = false;
    // The local record of rests; null keeps none.
    HistoryRecorder* history = nullptr;
};

// The application: owns the tray icon and its menu, the break cycle and the one-second tick,
// carries out the menu commands and the demo scenarios, and answers other programs' commands.
class LumatideApp final : public QObject, public RemoteControl {
    Q_OBJECT

public:
    LumatideApp(LumatideAppServices services, const LaunchOptions& options,
                QObject* parent = nullptr);
    ~LumatideApp() override;
    LumatideApp(const LumatideApp&) = delete;
    LumatideApp& operator=(const LumatideApp&) = delete;

    // Launch: launch-at-login default, the menu, "app_open", the unlock handler, the first
    // work period, the tick and the demo scenario if one was asked for.
    void start();

    // Tells the user, once the program runs, that the preference file could not be used and
    // where the old one is.
    void reportUnusablePreferences(const QString& oldFile);

    // Menu commands.
    void startRestNow();
    void manualRestartWork();
    void changeWorkMinutes(const QAction* item);
    void changeLanguage(const QAction* item);
    void toggleLaunchAtLogin();
    void toggleAnonymousTelemetry();
    void resetPasscode();
    void quit();

    void rebuildMenu();
    void tick();

    // Commands from other programs.
    ControlState controlState() const override;
    ControlAnswer startBreakRemotely() override;
    ControlAnswer restartWorkTimerRemotely() override;
    ControlAnswer setWorkMinutesRemotely(std::uint32_t minutes) override;
    // Told whenever the control state may have changed; null for none.
    void setControlStateObserver(ControlStateObserver* observer) { observer_ = observer; }

    // Schedules the demo scenario of the launch options, if any, 0.8 s from now.
    void runDemoScenarioIfNeeded();
    // What the demo timer does: the backdrop, then the scenario's dialog.
    void performDemoScenario(DemoScenario scenario);
    // Covers the main screen with the dark backdrop; once per process, and only in a demo.
    void showDemoBackdrop();

    BreakCycle& cycle() { return *cycle_; }
    TrayIcon& trayIcon() { return *trayIcon_; }
    QMenu* trayMenu() const { return menu_.get(); }
    QWidget* demoBackdropWindow() const;

Q_SIGNALS:
    // The user confirmed the temporary quit and its relaunch is scheduled: the program ends.
    void quitRequested();

private:
    AppLanguage language() const;
    void applyWorkMinutes(int minutes);
    void restartWork();
    void record(HistoryEventKind kind);
    void controlStateMayHaveChanged();

    LumatideAppServices services_;
    std::optional<AppLanguage> forcedLanguage_;
    std::optional<DemoScenario> demoScenario_;
    std::unique_ptr<TrayIcon> trayIcon_;
    std::unique_ptr<BreakCycle> cycle_;
    std::unique_ptr<QMenu> menu_;
    QTimer* tickTimer_ = nullptr;
    QTimer* demoTimer_ = nullptr;
    std::unique_ptr<DemoBackdropWindow> demoBackdropWindow_;
    ControlStateObserver* observer_ = nullptr;
    // The settings as the menu last showed them, for the control state: read from the store
    // once per menu, not once a second. Every change of them rebuilds the menu.
    TrayMenuModel shownSettings_;
};

} // namespace lumatide
