// Idle time and full-screen detection against a real X server. Runs inside
// tests/e2e/with-x-session.sh: Xvfb with monitors LEFT 1280x720 and RIGHT 1024x768, openbox.
#include "linux/LinuxBusyProbe.h"
#include "linux/LinuxIdleTimeSource.h"
#include "linux/X11WindowCoverage.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace lumatide;

namespace {

// Polls until the condition holds or the limit passes; true when it held.
bool waitFor(const std::function<bool()>& condition, int limitMs = 4000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
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

// A window made through an X connection of this process, marked with a process id.
class TestWindow {
public:
    explicit TestWindow(const char* title) : title_(QString::fromLatin1(title)) {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            return;
        }
        window_ =
            XCreateSimpleWindow(display_, XDefaultRootWindow(display_), 60, 60, 300, 200, 0, 0, 0);
        XStoreName(display_, window_, title);
        XMapWindow(display_, window_);
    }
    ~TestWindow() {
        if (display_ != nullptr) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    void setPid(pid_t pid) {
        const unsigned long value = static_cast<unsigned long>(pid);
        const Atom wmPid = XInternAtom(display_, "_NET_WM_PID", False);
        XChangeProperty(display_, window_, wmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
        // A round trip: the server has the new value before any other connection asks for it.
        XSync(display_, False);
    }
    bool activate() const {
        return display_ != nullptr && waitFor([this] {
                   run(QStringLiteral("wmctrl"), {QStringLiteral("-a"), title_});
                   return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"),
                                                          QStringLiteral("getwindowname")}) ==
                          title_;
               });
    }
    void changeState(const char* change) const {
        run(QStringLiteral("wmctrl"),
            {QStringLiteral("-r"), title_, QStringLiteral("-b"), QString::fromLatin1(change)});
    }

private:
    QString title_;
    Display* display_ = nullptr;
    Window window_ = 0;
};

QDBusConnection noBus() {
    return QDBusConnection(QStringLiteral("no such bus"));
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

    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("321"), QStringLiteral("123")});
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

    TestWindow window("lumatide-probe-window");
    window.setPid(getpid() + 1); // another program's window
    ASSERT_TRUE(window.activate());
    EXPECT_FALSE(coverage->frontmostWindowCoversScreen());

    window.changeState("add,fullscreen");
    EXPECT_TRUE(waitFor([&] { return coverage->frontmostWindowCoversScreen(); }));
    QTemporaryDir noProcesses;
    LinuxBusyProbe probe(PowerAssertionReport(noBus(), noBus()), noProcesses.path(), getuid(),
                         X11WindowCoverage::open());
    EXPECT_EQ(probe.currentBusyEnvironment(), BusyEnvironment{BusyReason::fullScreenApp});
    // The session's own probe, which connects at its first question, sees it as well.
    EXPECT_TRUE(LinuxBusyProbe().frontmostWindowCoversScreen());

    // This program's own windows (the rest panels) never count.
    window.setPid(getpid());
    EXPECT_FALSE(coverage->frontmostWindowCoversScreen());
    window.setPid(getpid() + 1);

    window.changeState("remove,fullscreen");
    EXPECT_TRUE(waitFor([&] { return !coverage->frontmostWindowCoversScreen(); }));
    EXPECT_EQ(probe.currentBusyEnvironment(), std::nullopt);

    // A maximised window is not full screen, but its frame is the size of a monitor.
    window.changeState("add,maximized_vert,maximized_horz");
    EXPECT_TRUE(waitFor([&] { return coverage->frontmostWindowCoversScreen(); }));
}

TEST(X11WindowCoverage, NoWindowManagerOrNoDisplayMeansNoCoveringWindow) {
    EXPECT_EQ(X11WindowCoverage::open(":987"), nullptr);

    // An X server of its own without a window manager.
    QProcess server;
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("800x600x24")});
    ASSERT_TRUE(server.waitForReadyRead(5000));
    const QByteArray display = ":" + server.readLine().trimmed();
    {
        const auto coverage = X11WindowCoverage::open(display);
        ASSERT_NE(coverage, nullptr);
        EXPECT_FALSE(coverage->frontmostWindowCoversScreen());
        EXPECT_EQ(coverage->screenSizes(), QList<QSize>{QSize(800, 600)});
        EXPECT_TRUE(LinuxIdleTimeSource(IdleTimeBackend::x11ScreenSaver, noBus(), display)
                        .systemIdleSeconds()
                        .has_value());
    }
    server.terminate();
    server.waitForFinished(3000);
}
