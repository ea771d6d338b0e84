// SPDX-License-Identifier: GPL-3.0-or-later
// Idle time and full-screen detection against a real X server. Runs inside
// tests/e2e/with-x-session.sh: Xvfb with monitors LEFT 1280x720 and RIGHT 1024x768, openbox.
#include "integration/services/ServicesTestSupport.h"
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"
#include "linux/X11WindowCoverage.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumatide;
using namespace Qt::StringLiterals;

namespace {

// Polls until the condition holds or the limit passes; true when it held.
bool waitFor(const std::function<bool()>& condition) {
    return test::waitUntil(condition, 4000);
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QDBusConnection noBus() {
    return QDBusConnection(u"no such bus"_s);
}

} // namespace

TEST(X11IdleTime, GrowsWhileNothingHappensAndDropsOnInput) {
    LinuxIdleTimeSource source(IdleTimeBackend::x11ScreenSaver, noBus());
    const auto first = source.systemIdleSeconds();
    ASSERT_TRUE(first.has_value());

    double latest = *first;
    EXPECT_TRUE(waitFor([&] {
        latest = source.systemIdleSeconds().value_or(-1.0);
        return latest >= *first + 0.5;
    }));

    run(u"xdotool"_s, {u"mousemove"_s, u"321"_s, u"123"_s});
    double afterInput = latest;
    EXPECT_TRUE(waitFor([&] {
        afterInput = source.systemIdleSeconds().value_or(-1.0);
        return afterInput >= 0.0 && afterInput < latest - 0.3;
    }));
    EXPECT_LT(afterInput, 1.0);

    // The session's own source finds this display; a display that is not there gives nothing,
    // however often asked.
    EXPECT_TRUE(LinuxIdleTimeSource().systemIdleSeconds().has_value());
    LinuxIdleTimeSource missing(IdleTimeBackend::x11ScreenSaver, noBus(), ":987");
    EXPECT_EQ(missing.systemIdleSeconds(), std::nullopt);
    EXPECT_EQ(missing.systemIdleSeconds(), std::nullopt);
}

TEST(X11WindowCoverage, FullScreenOrMonitorSizedWindowsOfOtherProgramsCount) {
    const auto coverage = X11WindowCoverage::open();
    ASSERT_NE(coverage, nullptr);
    EXPECT_EQ(coverage->screenSizes(), (QList<QSize>{QSize(1280, 720), QSize(1024, 768)}));
    const auto covers = [&coverage] { return coverage->activeWindowCoversScreen(); };

    // Another program's window, smaller than either monitor and kept above others: not full
    // screen. Its state and properties are set as the window manager or that program would.
    const QString title = u"lumatide-probe-window"_s;
    QProcess window;
    window.start(u"xlogo"_s, {u"-geometry"_s, u"900x600+0+0"_s, u"-title"_s, title});
    const auto changeState = [&title](const QString& change) {
        run(u"wmctrl"_s, {u"-r"_s, title, u"-b"_s, change});
    };
    const auto setProperty = [&title](const QString& name, const QString& format,
                                      const QString& values) {
        run(u"xprop"_s, {u"-name"_s, title, u"-f"_s, name, format, u"-set"_s, name, values});
    };
    ASSERT_TRUE(waitFor([&] {
        run(u"wmctrl"_s, {u"-a"_s, title});
        return run(u"xdotool"_s, {u"getactivewindow"_s, u"getwindowname"_s}) == title;
    }));
    changeState(u"add,above"_s);
    EXPECT_FALSE(covers());

    changeState(u"add,fullscreen"_s);
    EXPECT_TRUE(waitFor(covers));
    QTemporaryDir noProcesses;
    LinuxBusyProbe probe(PowerAssertionReport(noBus(), noBus()), noProcesses.path(), getuid(),
                         X11WindowCoverage::open());
    EXPECT_EQ(probe.currentBusyEnvironment(), BusyEnvironment{BusyReason::fullScreenApp});
    // The session's own probe, which connects at its first question, sees it as well.
    EXPECT_TRUE(LinuxBusyProbe().activeWindowCoversScreen());
    // This program's own windows (the rest panels) never count.
    setProperty(u"_NET_WM_PID"_s, u"32c"_s, QString::number(getpid()));
    EXPECT_FALSE(covers());
    setProperty(u"_NET_WM_PID"_s, u"32c"_s, QString::number(getpid() + 1));

    changeState(u"remove,fullscreen"_s);
    EXPECT_TRUE(waitFor([&] { return !covers(); }));
    EXPECT_EQ(probe.currentBusyEnvironment(), std::nullopt);

    // The frame counts: wide decorations (left, right, top, bottom) make it as large as the
    // right monitor, and maximising makes it as large as the left one.
    setProperty(u"_NET_FRAME_EXTENTS"_s, u"32c"_s, u"50,50,50,50"_s);
    EXPECT_TRUE(covers());
    setProperty(u"_NET_FRAME_EXTENTS"_s, u"32c"_s, u"0,0,0,0"_s);
    EXPECT_FALSE(covers());
    changeState(u"add,maximized_vert,maximized_horz"_s);
    EXPECT_TRUE(waitFor(covers));
    // The desktop itself (clicked, it is the active window) and docks cover a screen without
    // anyone watching anything.
    for (const QString& type : {u"_NET_WM_WINDOW_TYPE_DESKTOP"_s, u"_NET_WM_WINDOW_TYPE_DOCK"_s}) {
        setProperty(u"_NET_WM_WINDOW_TYPE"_s, u"32a"_s, type);
        EXPECT_FALSE(covers()) << type.toStdString();
    }
    window.kill();
    window.waitForFinished();
}

TEST(X11WindowCoverage, NoWindowManagerOrNoDisplayMeansNoCoveringWindow) {
    EXPECT_EQ(X11WindowCoverage::open(":987"), nullptr);
    // An X server of its own without a window manager, so without an active window.
    QProcess server;
    server.start(u"Xvfb"_s, u"-displayfd 1 -nolisten tcp -screen 0 800x600x24"_s.split(u' '));
    ASSERT_TRUE(server.waitForReadyRead(5000));
    {
        const auto coverage = X11WindowCoverage::open(":" + server.readLine().trimmed());
        ASSERT_NE(coverage, nullptr);
        EXPECT_FALSE(coverage->activeWindowCoversScreen());
    }
    server.terminate();
    server.waitForFinished(3000);
}
