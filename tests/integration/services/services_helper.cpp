// SPDX-License-Identifier: GPL-3.0-or-later
// A small stand-in for the program in the relaunch tests, run as a child process:
//   services_helper <program path, or "-" for the service form>
// schedules the relaunch after one second, writes the failure, if any, to stderr, and exits at
// once.
#include "linux/DetachedRelauncher.h"

#include <QCoreApplication>
#include <cstdio>

using namespace lumatide;
using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: services_helper <program path>|-\n");
        return 2;
    }
    // The relaunched target checks, through this variable, that its parent is gone.
    qputenv("LUMATIDE_TEST_PARENT_PID", QByteArray::number(QCoreApplication::applicationPid()));
    const QString program = QString::fromLocal8Bit(argv[1]);
    DetachedRelauncher relauncher({1.0, program == "-"_L1 ? QString() : program});
    if (const std::optional<QString> failure = relauncher.scheduleRelaunchAfterTemporaryQuit()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(*failure));
        return 1;
    }
    return 0;
}
