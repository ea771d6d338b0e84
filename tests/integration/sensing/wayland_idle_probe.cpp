// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the protocol the idle monitor speaks, then "<seconds since start> <idle seconds>" four
// times a second for the given number of seconds; exits 2 when no monitor can be had.
#include "linux/WaylandIdleMonitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

using namespace lumatide;

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    const std::unique_ptr<WaylandIdleMonitor> monitor = WaylandIdleMonitor::connect();
    if (monitor == nullptr) {
        std::fputs("no idle monitor\n", stderr);
        return 2;
    }
    std::printf("protocol %s\n", qUtf8Printable(monitor->protocol()));
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const std::optional<double> idle = monitor->systemIdleSeconds();
        std::printf("%.2f %.2f\n", static_cast<double>(clock.elapsed()) / 1000.0,
                    idle.value_or(-1.0));
        std::fflush(stdout);
        if (clock.elapsed() >= seconds * 1000) {
            QCoreApplication::quit();
        }
    });
    timer.start(250);
    return QCoreApplication::exec();
}
