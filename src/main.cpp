#include "app/BreakCycle.h"
#include "app/CommandLine.h"
#include "platform/linux/BootTimeClock.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "selftest/SelfTest.h"

#include <QCoreApplication>
#include <QTimer>

using namespace lumatide;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    setProcessArguments(arguments);

    // The self-test needs no application object, display or session bus.
    if (arguments.contains(QStringLiteral("--self-test"))) {
        runSelfTest();
        return 0;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumatide"));

    const double workMinutes = parseMinutes(QStringLiteral("--work-minutes"), 30.0);
    const double restMinutes = parseMinutes(QStringLiteral("--lock-minutes"), 5.0);
    const auto demoWorkSeconds = parseSeconds(QStringLiteral("--demo-work-seconds"));

    JsonFilePreferenceStore defaults(JsonFilePreferenceStore::standardPath());
    BootTimeClock clock;
    // The tray, the rest panels, the toast, idle time, busy probes and usage events are wired
    // in as they become available; until then the cycle runs without them.
    BreakCycle cycle(BreakCycleServices{clock, defaults},
                     configuredWorkSeconds(workMinutes, demoWorkSeconds, defaults),
                     configuredRestSeconds(restMinutes), demoWorkSeconds.has_value(), arguments);
    cycle.launch();

    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, &app, [&cycle] { cycle.tick(); });
    tick.start();
    return QCoreApplication::exec();
}
