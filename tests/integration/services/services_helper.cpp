// A small stand-in for the program in the integration tests, run as a child process:
//   services_helper relaunch <delay seconds> <program path, or "-" for the service form>
//     schedules the relaunch, prints "<pid> <process group> <session>" and exits at once;
//   services_helper autostart-register <program path>
//     registers an autostart entry for the current user and prints the error, if any.
#include "linux/DetachedRelauncher.h"
#include "linux/XdgAutostart.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <cstdio>
#include <unistd.h>

using namespace lumatide;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("relaunch")) {
        // The relaunched target checks, through this variable, that its parent is gone.
        qputenv("LUMATIDE_TEST_PARENT_PID", QByteArray::number(QCoreApplication::applicationPid()));
        DetachedRelauncher::Options options;
        options.delaySeconds = arguments.at(2).toDouble();
        options.programPath = arguments.at(3) == QLatin1String("-") ? QString() : arguments.at(3);
        DetachedRelauncher relauncher(options);
        const std::optional<QString> failure = relauncher.scheduleRelaunchAfterTemporaryQuit();
        std::printf("%d %d %d\n", static_cast<int>(::getpid()), static_cast<int>(::getpgrp()),
                    static_cast<int>(::getsid(0)));
        if (failure) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(*failure));
            return 1;
        }
        return 0;
    }
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("autostart-register")) {
        XdgAutostart autostart(QProcessEnvironment::systemEnvironment(), arguments.at(2));
        if (const std::optional<QString> failure = autostart.enable()) {
            std::printf("%s\n", qUtf8Printable(*failure));
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "usage: services_helper relaunch|autostart-register ...\n");
    return 2;
}
