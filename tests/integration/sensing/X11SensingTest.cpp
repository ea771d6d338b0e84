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
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString activeWindowName() {
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
}

void wmctrl(const QStringList& arguments) {
    run(QStringLiteral("wmctrl"), arguments);
}

// A small xlogo window with the given title, closed when the test ends.
class XlogoWindow {
public:
    explicit XlogoWindow(const QString& title) : title_(title) {
        process_.start(QStringLiteral("xlogo"),
                       {QStringLiteral("-geometry"), QStringLiteral("200x150+40+40"),
                        QStringLiteral("-title"), title});
    }
    ~XlogoWindow() {
        process_.terminate();
        if (!process_.waitForFinished(2000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    bool activate() {
        return waitFor([this] {
            wmctrl({QStringLiteral("-a"), title_});
            return activeWindowName() == title_;
        });
    }

private:
    QString title_;
    QProcess process_;
};

// A window made by this very process through its own X connection, marked with a process id.
class OwnWindow {
public:
    explicit OwnWindow(const char* title) {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            return;
        }
        window_ =
            XCreateSimpleWindow(display_, XDefaultRootWindow(display_), 60, 60, 300, 200, 0, 0, 0);
        XStoreName(display_, window_, title);
        setPid(static_cast<unsigned long>(getpid()));
        XMapWindow(display_, window_);
        XFlush(display_);
    }
    ~OwnWindow() {
        if (display_ != nullptr) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    void setPid(unsigned long pid) {
        const Atom wmPid = XInternAtom(display_, "_NET_WM_PID", False);
        XChangeProperty(display_, window_, wmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        // A round trip: the server has the new value before any other connection asks for it.
        XSync(display_, False);
    }
    QString id() const { return QStringLiteral("0x%1").arg(window_, 0, 16); }
    bool isOpen() const { return display_ != nullptr; }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

// An X server of its own without a window manager.
class BareXServer {
public:
    BareXServer() {
        process_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("800x600x24")});
        if (process_.waitForReadyRead(5000)) {
            display_ = ":" + process_.readLine().trimmed();
        }
    }
    ~BareXServer() {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    QByteArray display() const { return display_; }

private:
    QProcess process_;
    QByteArray display_;
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

    // A display that is not there, and an X server in a Wayland session: nothing, however
    // often asked.
    LinuxIdleTimeSource missing(IdleTimeBackend::x11ScreenSaver, noBus(), ":987");
    EXPECT_EQ(missing.systemIdleSeconds(), std::nullopt);
    EXPECT_EQ(missing.systemIdleSeconds(), std::nullopt);
    qputenv("XDG_SESSION_TYPE", "wayland");
    EXPECT_EQ(LinuxIdleTimeSource().systemIdleSeconds(), std::nullopt);
    qunsetenv("XDG_SESSION_TYPE");
    EXPECT_TRUE(LinuxIdleTimeSource().systemIdleSeconds().has_value());
}

TEST(X11WindowCoverage, FullScreenAndScreenSizedWindowsCount) {
    const auto coverage = X11WindowCoverage::open();
    ASSERT_NE(coverage, nullptr);
    EXPECT_EQ(coverage->screenSizes(), (QList<QSize>{QSize(1280, 720), QSize(1024, 768)}));

    XlogoWindow window(QStringLiteral("lumatide-probe-window"));
    ASSERT_TRUE(window.activate());
    EXPECT_FALSE(coverage->frontmostWindowCoversScreen());

    const QString title = QStringLiteral("lumatide-probe-window");
    wmctrl({QStringLiteral("-r"), title, QStringLiteral("-b"), QStringLiteral("add,fullscreen")});
    EXPECT_TRUE(waitFor([&] { return coverage->frontmostWindowCoversScreen(); }));

    QTemporaryDir noProcesses;
    LinuxBusyProbe probe(PowerAssertionReport(noBus(), noBus()), noProcesses.path(), getuid(),
                         X11WindowCoverage::open());
    const auto environment = probe.currentBusyEnvironment();
    ASSERT_TRUE(environment.has_value());
    EXPECT_EQ(environment->reason, BusyReason::fullScreenApp);
    // The session's own probe, which connects at its first question, sees it as well.
    LinuxBusyProbe session;
    EXPECT_TRUE(session.frontmostWindowCoversScreen());

    wmctrl(
        {QStringLiteral("-r"), title, QStringLiteral("-b"), QStringLiteral("remove,fullscreen")});
    EXPECT_TRUE(waitFor([&] { return !coverage->frontmostWindowCoversScreen(); }));
    EXPECT_EQ(probe.currentBusyEnvironment(), std::nullopt);
    EXPECT_FALSE(session.frontmostWindowCoversScreen());

    // A maximised window is not full screen, but its frame is the size of a monitor.
    wmctrl({QStringLiteral("-r"), title, QStringLiteral("-b"),
            QStringLiteral("add,maximized_vert,maximized_horz")});
    EXPECT_TRUE(waitFor([&] { return coverage->frontmostWindowCoversScreen(); }));
}

TEST(X11WindowCoverage, ThisProgramsOwnWindowsNeverCount) {
    const auto coverage = X11WindowCoverage::open();
    ASSERT_NE(coverage, nullptr);
    OwnWindow own("lumatide-own-window");
    ASSERT_TRUE(own.isOpen());
    const QString title = QStringLiteral("lumatide-own-window");
    ASSERT_TRUE(waitFor([&] {
        wmctrl({QStringLiteral("-a"), title});
        return activeWindowName() == title;
    }));
    wmctrl({QStringLiteral("-r"), title, QStringLiteral("-b"), QStringLiteral("add,fullscreen")});
    // Another process's window of the same state counts; wait until the state is in place.
    own.setPid(static_cast<unsigned long>(getpid()) + 1);
    ASSERT_TRUE(waitFor([&] { return coverage->frontmostWindowCoversScreen(); }));
    own.setPid(static_cast<unsigned long>(getpid()));
    EXPECT_FALSE(coverage->frontmostWindowCoversScreen());
}

TEST(X11WindowCoverage, NoWindowManagerOrNoDisplayMeansNoCoveringWindow) {
    EXPECT_EQ(X11WindowCoverage::open(":987"), nullptr);

    BareXServer server;
    ASSERT_FALSE(server.display().isEmpty());
    const auto coverage = X11WindowCoverage::open(server.display());
    ASSERT_NE(coverage, nullptr);
    EXPECT_FALSE(coverage->frontmostWindowCoversScreen());
    EXPECT_EQ(coverage->screenSizes(), QList<QSize>{QSize(800, 600)});
    EXPECT_TRUE(LinuxIdleTimeSource(IdleTimeBackend::x11ScreenSaver, noBus(), server.display())
                    .systemIdleSeconds()
                    .has_value());
}
