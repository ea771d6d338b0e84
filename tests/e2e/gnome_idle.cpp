// SPDX-License-Identifier: GPL-3.0-or-later
// The idle time as the program reads it, for the GNOME test: the source is chosen from the
// environment as at start (Mutter's idle monitor on GNOME Wayland) and asked four times a
// second; each answer is printed as "<seconds since start> <idle seconds>", -1 for none.
//
// Usage: gnome_idle <seconds>
#include "linux/LinuxIdleTimeSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const qint64 limit = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() * 1000 : 5000;
    lumatide::LinuxIdleTimeSource idle;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        std::printf("%.2f %.2f\n", static_cast<double>(clock.elapsed()) / 1000.0,
                    idle.systemIdleSeconds().value_or(-1.0));
        std::fflush(stdout);
        if (clock.elapsed() >= limit) {
            QCoreApplication::quit();
        }
    });
    timer.start(250);
    return QCoreApplication::exec();
}
