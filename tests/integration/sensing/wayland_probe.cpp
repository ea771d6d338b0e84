// SPDX-License-Identifier: GPL-3.0-or-later
// What the Wayland sensing sees, for the test scripts:
//   wayland_probe idle SECONDS   the idle protocol, then "<seconds since start> <idle seconds>"
//                                four times a second for that long (exit 2 without a monitor)
//   wayland_probe fullscreen     "covers" or "does not cover" (exit 2 without a window list)
#include "linux/WaylandIdleMonitor.h"
#include "linux/WaylandToplevelCoverage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>

using namespace lumatide;

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "fullscreen") == 0) {
        const WaylandToplevelCoverage windows;
        if (!windows.available()) {
            return 2;
        }
        std::puts(windows.activeWindowCoversScreen() ? "covers" : "does not cover");
        return 0;
    }
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;
    const std::unique_ptr<WaylandIdleMonitor> monitor = WaylandIdleMonitor::connect();
    if (monitor == nullptr) {
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
