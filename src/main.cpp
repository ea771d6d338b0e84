// SPDX-License-Identifier: GPL-3.0-or-later
#include "cycle/LaunchOptions.h"
#include "history/HistoryFile.h"
#include "history/HistoryReport.h"
#include "linux/BootTimeClock.h"
#include "linux/ControlClient.h"
#include "linux/DBusControlService.h"
#include "linux/DesktopSession.h"
#include "linux/DetachedRelauncher.h"
#include "linux/DisplayCheck.h"
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"
#include "linux/NetworkUsageEvents.h"
#include "linux/ProgramLocation.h"
#include "linux/SingleInstanceLock.h"
#include "linux/TerminationSignals.h"
#include "linux/WaylandLayerShell.h"
#include "linux/WaylandPanelLayers.h"
#include "linux/WaylandScreenLayers.h"
#include "linux/X11WindowSystem.h"
#include "linux/XdgAutostart.h"
#include "overlay/OverlayController.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/LanguagePreference.h"
#include "prefs/PreferenceSnapshot.h"
#include "selftest/SelfTest.h"
#include "shell/LumatideApp.h"
#include "shell/ModalAppDialogs.h"
#include "system/DesktopId.h"
#include "warning/WarningController.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDate>
#include <QObject>
#include <QPixmapCache>
#include <QProcessEnvironment>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

using namespace lumatide;

namespace {

// Printed by --help; one line per option, as the man page lists them.
constexpr const char* usageText =
    "Usage: lumatide [option value]...\n"
    "       lumatide --status [--follow] [--json] | --start-break | --restart-work-timer\n"
    "       lumatide --history [--days DAYS] [--json]\n"
    "A break reminder: counts work periods down in the tray and covers every screen with a\n"
    "rest panel when a break is due.\n"
    "\n"
    "  --work-minutes MINUTES       work length while none is chosen in the menu (30 to 50)\n"
    "  --lock-minutes MINUTES       rest length (default 5)\n"
    "  --demo-work-seconds SECONDS  short work periods for demonstrations, never postponed\n"
    "  --demo-language CODE         interface language: zh-Hans, en, ja, ko, es, fr or de\n"
    "  --demo-scenario NAME         show a dialog: quit-confirm, quit-limit or restart-limit\n"
    "  --self-test                  check the built-in rules and texts, then exit\n"
    "  --help                       show this help and exit\n"
    "  --version                    show the version and exit\n"
    "\n"
    "Talking to the running program (exit status 3 when it is not running):\n"
    "  --status                     print the countdown, \"W 29:59\" or \"B 04:59\"\n"
    "  --follow                     with --status: a new line at each change, until it ends\n"
    "  --json                       with --status or --history: JSON for scripts\n"
    "  --start-break                start a rest now\n"
    "  --restart-work-timer         start a new work period (once a day, as in the menu)\n"
    "\n"
    "The record of rests, kept on this machine only:\n"
    "  --history                    a table per day of the last 7 days\n"
    "  --days DAYS                  with --history: that many days, 1 to 400\n"
    "\n"
    "An option and its value are separate arguments (--work-minutes 40); unreadable values\n"
    "of the start options are ignored.\n";

constexpr int pixmapCacheLimitKb = 1024;

constexpr const char* alreadyRunning = "lumatide: Lumatide is already running\n";

// --history: read with the language in effect, without touching the running program's files.
int printHistoryTable(const LaunchOptions& options) {
    const PreferenceSnapshot preferences(JsonFilePreferenceStore::standardPath());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return printHistory(HistoryFile::standardPath(), QDate::currentDate(), options.historyDays,
                        options.json, currentLanguage(preferences, options.language), out, err);
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const LaunchOptions options = parseLaunchOptions(arguments);

    // The self-test needs no application object, display or session bus, and may run next to
    // the program.
    if (options.selfTest) {
        runSelfTest();
        return 0;
    }

    // Answered before the instance lock, so they also work while the program is running.
    if (options.help) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("lumatide %s\n", LUMATIDE_VERSION);
        return 0;
    }
    if (!options.usageError.isEmpty()) {
        std::fprintf(stderr, "lumatide: %s\nTry 'lumatide --help'.\n",
                     qUtf8Printable(options.usageError));
        return controlExitUsage;
    }
    if (options.verb == CommandVerb::history) {
        return printHistoryTable(options);
    }
    if (options.verb.has_value()) {
        const QCoreApplication app(argc, argv);
        return runControlVerb(options, stdout, stderr);
    }

    // Windows that must stay above everything need X11 (XWayland in a Wayland session), also
    // where Qt is told to prefer Wayland, as Wayland desktops are often set up: Qt's own Wayland
    // windows cannot be kept above others or choose their output.
    if (const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        (platform.isEmpty() || platform.startsWith("wayland")) &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Before the lock: a start that cannot show anything leaves nothing behind.
    if (const std::optional<QString> problem = displayProblem()) {
        std::fprintf(stderr, "lumatide: %s\n", qUtf8Printable(*problem));
        return 1;
    }

    // A second copy (say, the hourly relaunch while the user already started one) leaves at
    // once, before it opens a window.
    SingleInstanceLock instance;
    switch (instance.tryAcquire()) {
    case SingleInstanceLock::Result::acquired:
        break;
    case SingleInstanceLock::Result::heldByAnotherCopy:
        std::fputs(alreadyRunning, stderr);
        return 0;
    case SingleInstanceLock::Result::failed:
        std::fprintf(stderr, "lumatide: %s\n", qUtf8Printable(instance.error()));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumatide"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumatide"));
    QApplication::setDesktopFileName(desktopId);
    QApplication::setQuitOnLastWindowClosed(false);
    // Images the style and the icons keep for reuse. The tray icon is a new picture every
    // second and each one left an entry; Qt's default limit of 10 MB would let those grow the
    // program by that much over a day. A small program needs a small cache.
    QPixmapCache::setCacheLimit(pixmapCacheLimitKb);
    TerminationSignals terminationSignals;

    JsonFilePreferenceStore preferences(JsonFilePreferenceStore::standardPath());
    BootTimeClock clock;
    X11WindowSystem windowSystem;
    // The rest panels and the toast go above every window, full-screen ones included, through
    // the compositor's layers where a Wayland desktop offers them.
    WaylandLayerShell layerShell;
    WaylandPanelLayers panelLayers(layerShell);
    OverlayController overlay(preferences, &windowSystem, &panelLayers);
    overlay.setManagedWindows(isWaylandSession(QProcessEnvironment::systemEnvironment()));
    // Started anyway: the countdown, the toast and the rest still help, if less firmly. Only a
    // native Wayland start asks the compositor now; elsewhere the layers wait for the first rest.
    if (const std::optional<QString> limitation =
            displayLimitation([&panelLayers] { return panelLayers.available(); })) {
        std::fprintf(stderr, "lumatide: %s\n", qUtf8Printable(*limitation));
    }
    WaylandScreenLayers layers(layerShell);
    WarningController warning(&windowSystem, &layers);
    LinuxIdleTimeSource idleTime;
    LinuxBusyProbe busyProbe;
    XdgAutostart autostart;
    DetachedRelauncher relauncher;
    NetworkUsageEvents usage(preferences, options.language);
    ModalAppDialogs dialogs;
    HistoryFile history(HistoryFile::standardPath());

    LumatideApp lumatide(LumatideAppServices{preferences, clock, overlay, warning, &idleTime,
                                             &busyProbe, autostart, relauncher, usage, dialogs,
                                             &windowSystem, runningFromInstalledLocation(),
                                             &history},
                         options);
    // The control object goes on the bus before the name, so that whoever sees the name finds
    // it. Without a session bus the program runs on, only without it.
    DBusControlService control(lumatide);
    if (const QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected()) {
        if (const std::optional<QString> problem = control.registerOn(bus)) {
            std::fprintf(stderr, "lumatide: no control on the session bus: %s\n",
                         qUtf8Printable(*problem));
        }
    }
    // A copy whose lock file was deleted under it still owns the bus name.
    if (instance.claimBusName() == SingleInstanceLock::Result::heldByAnotherCopy) {
        std::fputs(alreadyRunning, stderr);
        return 0;
    }
    lumatide.setControlStateObserver(&control);
    // Queued: the quit command returns to the event loop before the loop ends. exit(), not
    // quit(): quit() first asks every window to close, and the rest panels refuse.
    QObject::connect(
        &lumatide, &LumatideApp::quitRequested, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    if (const auto& problem = preferences.firstReadProblem()) {
        // Fail closed: the lost file may have said no to usage events.
        usage.switchOffForThisRun();
        lumatide.reportUnusablePreferences(problem->keptAs.isEmpty() ? preferences.filePath()
                                                                     : problem->keptAs);
    }
    lumatide.start();
    // Once the tray icon is up: a year of history takes some 50 ms to read. Nothing else
    // writes the file meanwhile, as everything runs on this one thread.
    QTimer::singleShot(0, &app, [&history] { history.compact(QDate::currentDate()); });
    return QApplication::exec();
}
