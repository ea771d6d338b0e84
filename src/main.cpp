#include "app/CommandLine.h"
#include "app/LumatideApp.h"
#include "app/ModalAppDialogs.h"
#include "app/SingleInstanceLock.h"
#include "app/TerminationSignals.h"
#include "overlay/OverlayController.h"
#include "platform/linux/BootTimeClock.h"
#include "platform/linux/DetachedRelauncher.h"
#include "platform/linux/LinuxBusyProbe.h"
#include "platform/linux/LinuxIdleTimeSource.h"
#include "platform/linux/NetworkUsageEvents.h"
#include "platform/linux/ProgramLocation.h"
#include "platform/linux/XdgAutostart.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "selftest/SelfTest.h"
#include "warning/WarningController.h"

#include <QApplication>
#include <QObject>

using namespace lumatide;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    setProcessArguments(arguments);

    // The self-test needs no application object, display or session bus, and may run next to
    // the program.
    if (arguments.contains(QStringLiteral("--self-test"))) {
        runSelfTest();
        return 0;
    }

    // A second copy (say, the hourly relaunch while the user already started one) leaves at
    // once, before it touches the display.
    SingleInstanceLock instance;
    if (!instance.tryAcquire()) {
        return 0;
    }

    // Windows that must stay above everything need X11 (XWayland in a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumatide"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumatide"));
    QApplication::setDesktopFileName(QStringLiteral("com.vexilo.lumatide"));
    QApplication::setQuitOnLastWindowClosed(false);
    TerminationSignals terminationSignals;

    LumatideAppLengths lengths;
    lengths.workMinutes = parseMinutes(QStringLiteral("--work-minutes"), 30.0);
    lengths.restMinutes = parseMinutes(QStringLiteral("--lock-minutes"), 5.0);
    lengths.demoWorkSeconds = parseSeconds(QStringLiteral("--demo-work-seconds"));

    JsonFilePreferenceStore defaults(JsonFilePreferenceStore::standardPath());
    BootTimeClock clock;
    OverlayController overlay(defaults);
    WarningController warning;
    LinuxIdleTimeSource idleTime;
    LinuxBusyProbe busyProbe;
    XdgAutostart loginItems;
    DetachedRelauncher relauncher;
    NetworkUsageEvents usage(defaults);
    ModalAppDialogs dialogs;

    LumatideApp lumatide(LumatideAppServices{defaults, clock, overlay, warning, &idleTime,
                                             &busyProbe, loginItems, relauncher, usage, dialogs,
                                             runningFromInstalledLocation()},
                         lengths, arguments);
    // Queued: the quit command returns to the event loop before the loop ends. exit(), not
    // quit(): quit() first asks every window to close, and the rest panels refuse.
    QObject::connect(
        &lumatide, &LumatideApp::quitRequested, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    lumatide.applicationDidFinishLaunching();
    return QApplication::exec();
}
