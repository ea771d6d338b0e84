// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/LumatideApp.h"

#include "common/MainScreen.h"
#include "content/Texts.h"
#include "cycle/BreakTiming.h"
#include "cycle/Clock.h"
#include "cycle/RestSurface.h"
#include "history/HistoryEvent.h"
#include "history/HistoryRecorder.h"
#include "prefs/DailyAllowances.h"
#include "prefs/LanguagePreference.h"
#include "prefs/LaunchAtLoginPreference.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceStore.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/WorkDuration.h"
#include "shell/AppDialogs.h"
#include "shell/DemoBackdropWindow.h"
#include "shell/TrayIcon.h"
#include "shell/TrayMenu.h"
#include "system/LaunchAtLogin.h"
#include "system/Relauncher.h"
#include "system/UsageEvents.h"

#include <QAction>
#include <QApplication>
#include <QJsonObject>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

namespace lumatide {

namespace {

constexpr int tickIntervalMs = 1000;
constexpr int demoDelayMs = 800;

} // namespace

LumatideApp::LumatideApp(LumatideAppServices services, const LaunchOptions& options,
                         QObject* parent)
    : QObject(parent), services_(services), forcedLanguage_(options.language),
      demoScenario_(options.demoScenario), trayIcon_(std::make_unique<TrayIcon>()) {
    BreakCycleServices cycleServices{services_.clock,     services_.preferences, services_.idleTime,
                                     services_.busyProbe, &services_.rest,       &services_.warning,
                                     trayIcon_.get(),     &services_.usage,      services_.history};
    cycle_ = std::make_unique<BreakCycle>(
        cycleServices, initialWorkSeconds(options, services_.preferences), options.restSeconds,
        options.demoWorkSeconds.has_value(), options.language);
}

LumatideApp::~LumatideApp() {
    trayIcon_->setMenu(nullptr);
}

void LumatideApp::start() {
    // No main window: the tray icon is the whole interface, and closing a dialog must not
    // end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    enableLaunchAtLoginByDefaultIfNeeded(services_.preferences, services_.autostart,
                                         services_.runningFromInstalledLocation);
    rebuildMenu();

    QPointer<LumatideApp> self(this);
    services_.rest.setUnlockHandler([self] {
        if (self != nullptr) {
            self->cycle_->completeRestByUnlock();
            self->controlStateMayHaveChanged();
        }
    });

    cycle_->launch(); // "app_open", then the first work period
    trayIcon_->show();

    tickTimer_ = new QTimer(this);
    tickTimer_->setTimerType(Qt::PreciseTimer);
    tickTimer_->setInterval(tickIntervalMs);
    connect(tickTimer_, &QTimer::timeout, this, &LumatideApp::tick);
    tickTimer_->start();

    runDemoScenarioIfNeeded();
}

void LumatideApp::reportUnusablePreferences(const QString& oldFile) {
    // Queued: the alert's modal loop must not hold up the start.
    QTimer::singleShot(0, this, [this, oldFile] {
        services_.dialogs.showPreferencesProblem(oldFile, language());
    });
}

void LumatideApp::tick() {
    cycle_->tick();
    controlStateMayHaveChanged();
}

void LumatideApp::startRestNow() {
    cycle_->startRestNow();
    controlStateMayHaveChanged();
}

void LumatideApp::manualRestartWork() {
    if (!canManualRestartWorkToday(services_.clock.wallNow(), services_.preferences)) {
        services_.dialogs.showManualRestartLimit(language());
        return;
    }
    restartWork();
}

void LumatideApp::restartWork() {
    recordManualRestartWork(services_.clock.wallNow(), services_.preferences);
    record(HistoryEventKind::restart);
    cycle_->startWork();
    controlStateMayHaveChanged();
}

void LumatideApp::changeWorkMinutes(const QAction* item) {
    if (item == nullptr || item->data().typeId() != QMetaType::Int) {
        return;
    }
    applyWorkMinutes(item->data().toInt());
}

void LumatideApp::applyWorkMinutes(int minutes) {
    setSavedWorkMinutes(minutes, services_.preferences);
    services_.usage.send(QStringLiteral("work_duration_changed"),
                         QJsonObject{{QStringLiteral("minutes"), minutes}});
    cycle_->changeWorkSeconds(minutes * 60.0);
    rebuildMenu();
}

ControlState LumatideApp::controlState() const {
    ControlState state;
    state.phase = cycle_->phase();
    state.phaseEndsAtMs = services_.clock.wallNow().toMSecsSinceEpoch() +
                          std::llround(std::max(cycle_->secondsLeft(), 0.0) * 1000.0);
    state.title = formatSeconds(cycle_->remainingSeconds(), state.phase);
    state.activity = cycle_->currentActivity().title;
    state.workSeconds = static_cast<std::uint32_t>(std::lround(cycle_->workSeconds()));
    state.language = languageCode(shownSettings_.language);
    state.launchAtLogin = shownSettings_.launchAtLoginEnabled;
    state.usageEvents = shownSettings_.anonymousTelemetryEnabled;
    return state;
}

ControlAnswer LumatideApp::startBreakRemotely() {
    // A second start during a rest would replace its activity and its time.
    if (cycle_->phase() == TimerPhase::rest) {
        return {ControlOutcome::resting, QStringLiteral("a rest is under way")};
    }
    startRestNow();
    return {};
}

ControlAnswer LumatideApp::restartWorkTimerRemotely() {
    // The menu cannot be reached through the rest panels, and a restart would end the rest.
    if (cycle_->phase() == TimerPhase::rest) {
        return {ControlOutcome::resting, QStringLiteral("a rest is under way")};
    }
    if (!canManualRestartWorkToday(services_.clock.wallNow(), services_.preferences)) {
        return {ControlOutcome::dailyLimitReached,
                Texts::forLanguage(language()).restartLimitMessage};
    }
    restartWork();
    return {};
}

ControlAnswer LumatideApp::setWorkMinutesRemotely(std::uint32_t minutes) {
    if (std::find(workMinuteOptions.begin(), workMinuteOptions.end(), minutes) ==
        workMinuteOptions.end()) {
        return {ControlOutcome::invalidWorkLength,
                QStringLiteral("the work length is 30, 35, 40, 45 or 50 minutes")};
    }
    applyWorkMinutes(static_cast<int>(minutes));
    return {};
}

void LumatideApp::controlStateMayHaveChanged() {
    if (observer_ != nullptr) {
        observer_->controlStateMayHaveChanged();
    }
}

void LumatideApp::record(HistoryEventKind kind) {
    if (services_.history != nullptr) {
        HistoryEvent event;
        event.kind = kind;
        event.at = services_.clock.wallNow();
        services_.history->record(event);
    }
}

void LumatideApp::changeLanguage(const QAction* item) {
    if (item == nullptr || item->data().typeId() != QMetaType::QString) {
        return;
    }
    const std::optional<AppLanguage> picked = languageFromCode(item->data().toString());
    if (!picked.has_value()) {
        return;
    }
    setCurrentLanguage(*picked, services_.preferences);
    rebuildMenu();
    cycle_->refreshVisibleLanguage();
}

void LumatideApp::toggleLaunchAtLogin() {
    const bool enabled = launchAtLoginIsEnabled(services_.autostart);
    const std::optional<QString> failure = setLaunchAtLoginEnabled(!enabled, services_.autostart);
    if (failure.has_value()) {
        services_.dialogs.showLaunchAtLoginError(*failure, language());
    } else {
        markLaunchAtLoginPreferenceInitialized(services_.preferences);
    }
    rebuildMenu();
}

void LumatideApp::toggleAnonymousTelemetry() {
    // The sender drops events while the switch is off, so the opt-out is sent before it is
    // stored and the opt-in after: both reach the endpoint once.
    if (anonymousTelemetryEnabled(services_.preferences)) {
        services_.usage.send(QStringLiteral("anonymous_usage_stats_disabled"), QJsonObject());
        setAnonymousTelemetryEnabled(false, services_.preferences);
    } else {
        setAnonymousTelemetryEnabled(true, services_.preferences);
        services_.usage.send(QStringLiteral("anonymous_usage_stats_enabled"), QJsonObject());
    }
    rebuildMenu();
}

void LumatideApp::resetPasscode() {
    services_.dialogs.resetPasscode(services_.preferences, language());
}

void LumatideApp::quit() {
    if (!canTemporaryQuitToday(services_.clock.wallNow(), services_.preferences)) {
        services_.dialogs.showTemporaryQuitLimit(language());
        return;
    }
    if (!services_.dialogs.confirmTemporaryQuit(language())) {
        return;
    }
    // Remember what was stored, so that a quit that cannot happen gives the day back.
    const std::optional<QJsonValue> previous = services_.preferences.value(temporaryQuitDayKey);
    recordTemporaryQuit(services_.clock.wallNow(), services_.preferences);
    if (const std::optional<QString> failure =
            services_.relauncher.scheduleRelaunchAfterTemporaryQuit()) {
        // Quitting without a scheduled relaunch would switch the reminder off for good.
        if (previous.has_value()) {
            services_.preferences.setValue(temporaryQuitDayKey, *previous);
        } else {
            services_.preferences.remove(temporaryQuitDayKey);
        }
        services_.dialogs.showTemporaryQuitFailure(*failure, language());
        return;
    }
    record(HistoryEventKind::temporaryQuit);
    Q_EMIT quitRequested();
}

void LumatideApp::rebuildMenu() {
    TrayMenuModel model;
    model.language = language();
    model.workSeconds = cycle_->workSeconds();
    model.launchAtLoginEnabled = launchAtLoginIsEnabled(services_.autostart);
    shownSettings_ = model;
    model.anonymousTelemetryEnabled = anonymousTelemetryEnabled(services_.preferences);

    QPointer<LumatideApp> self(this);
    auto call = [self](void (LumatideApp::*command)()) {
        return [self, command] {
            if (self != nullptr) {
                (self.data()->*command)();
            }
        };
    };
    auto pick = [self](void (LumatideApp::*command)(const QAction*)) {
        return [self, command](const QAction* item) {
            if (self != nullptr) {
                (self.data()->*command)(item);
            }
        };
    };
    TrayMenuCommands commands;
    commands.startRestNow = call(&LumatideApp::startRestNow);
    commands.manualRestartWork = call(&LumatideApp::manualRestartWork);
    commands.changeWorkMinutes = pick(&LumatideApp::changeWorkMinutes);
    commands.changeLanguage = pick(&LumatideApp::changeLanguage);
    commands.toggleLaunchAtLogin = call(&LumatideApp::toggleLaunchAtLogin);
    commands.toggleAnonymousTelemetry = call(&LumatideApp::toggleAnonymousTelemetry);
    commands.resetPasscode = call(&LumatideApp::resetPasscode);
    commands.quit = call(&LumatideApp::quit);

    std::unique_ptr<QMenu> menu = buildTrayMenu(model, commands);
    trayIcon_->setMenu(menu.get());
    // The old menu may be the one whose item is being handled right now: let it finish first.
    if (menu_ != nullptr) {
        menu_.release()->deleteLater();
    }
    menu_ = std::move(menu);
    controlStateMayHaveChanged();
}

void LumatideApp::runDemoScenarioIfNeeded() {
    const std::optional<DemoScenario> scenario = demoScenario_;
    if (!scenario.has_value() || demoTimer_ != nullptr) {
        return;
    }
    demoTimer_ = new QTimer(this);
    demoTimer_->setSingleShot(true);
    demoTimer_->setInterval(demoDelayMs);
    const DemoScenario which = *scenario;
    connect(demoTimer_, &QTimer::timeout, this, [this, which] { performDemoScenario(which); });
    demoTimer_->start();
}

void LumatideApp::performDemoScenario(DemoScenario scenario) {
    showDemoBackdrop();
    switch (scenario) {
    case DemoScenario::quitConfirm:
        // Only a demonstration of the dialog: the answer changes nothing.
        static_cast<void>(services_.dialogs.confirmTemporaryQuit(language()));
        break;
    case DemoScenario::quitLimit:
        services_.dialogs.showTemporaryQuitLimit(language());
        break;
    case DemoScenario::restartLimit:
        recordManualRestartWork(services_.clock.wallNow(), services_.preferences);
        services_.dialogs.showManualRestartLimit(language());
        break;
    }
}

void LumatideApp::showDemoBackdrop() {
    if (!demoScenario_.has_value() || demoBackdropWindow_ != nullptr) {
        return;
    }
    QScreen* screen = mainScreen();
    if (screen == nullptr) {
        return;
    }
    demoBackdropWindow_ = std::make_unique<DemoBackdropWindow>(*screen, services_.windowSystem);
    demoBackdropWindow_->present();
}

QWidget* LumatideApp::demoBackdropWindow() const {
    return demoBackdropWindow_.get();
}

AppLanguage LumatideApp::language() const {
    return currentLanguage(services_.preferences, forcedLanguage_);
}

} // namespace lumatide
