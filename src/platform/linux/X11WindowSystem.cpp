// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/X11WindowSystem.h"

#include "linux/X11Display.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <xcb/xcb.h>

// Xlib last: its macros clash with Qt's names.
#include "linux/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

namespace lumatide {

namespace {

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The X screen number of the connection, from DISPLAY (":0.1" is screen 1); 0 by default.
int x11ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.indexOf('.', colon + 1);
    if (colon < 0 || dot < 0) {
        return 0;
    }
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// Whether the window's shape of this kind is anything but its plain rectangle.
bool isShaped(Display* x, Window window, int kind, int width, int height) {
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles = XShapeGetRectangles(x, window, kind, &count, &ordering);
    const bool plain = count == 1 && rectangles[0].x <= 0 && rectangles[0].y <= 0 &&
                       rectangles[0].x + rectangles[0].width >= width &&
                       rectangles[0].y + rectangles[0].height >= height;
    if (rectangles != nullptr) {
        XFree(rectangles);
    }
    return !plain;
}

} // namespace

X11WindowSystem::X11WindowSystem() = default;

X11WindowSystem::~X11WindowSystem() = default;

bool X11WindowSystem::compositorIsRunning() const {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return true;
    }
    const auto* x11 =
        onX11() ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return false;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(x11ScreenNumber());
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.constData());
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false;
    }
    const xcb_get_selection_owner_cookie_t ownerCookie =
        xcb_get_selection_owner(connection, atom->atom);
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

X11Display* X11WindowSystem::display() {
    if (!displayTried_) {
        displayTried_ = true;
        if (onX11()) {
            display_ = X11Display::open();
        }
        int eventBase = 0;
        int errorBase = 0;
        hasShape_ = display_ && XShapeQueryExtension(display_->get(), &eventBase, &errorBase);
    }
    return display_.get();
}

bool X11WindowSystem::restoreWindow(quintptr nativeWindow, const QRect& nativeGeometry) {
    X11Display* connection = display();
    if (connection == nullptr) {
        return true;
    }
    Display* x = connection->get();
    const auto window = static_cast<Window>(nativeWindow);
    bool exists = true;
    {
        const X11ErrorTrap trap;
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x, window, &attributes) == 0 || trap.caughtError()) {
            exists = false;
        } else {
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            const bool known = XQueryTree(x, window, &root, &parent, &children, &count) != 0;
            if (children != nullptr) {
                XFree(children);
            }
            const QRect now(attributes.x, attributes.y, attributes.width, attributes.height);
            if (known && parent != root) {
                XReparentWindow(x, window, root, nativeGeometry.x(), nativeGeometry.y());
            }
            if ((known && parent != root) || now != nativeGeometry) {
                XMoveResizeWindow(x, window, nativeGeometry.x(), nativeGeometry.y(),
                                  static_cast<unsigned>(nativeGeometry.width()),
                                  static_cast<unsigned>(nativeGeometry.height()));
            }
            // An empty or partial shape leaves the screen showing, and clicks going, beneath.
            for (const int kind : {ShapeBounding, ShapeInput}) {
                if (hasShape_ &&
                    isShaped(x, window, kind, nativeGeometry.width(), nativeGeometry.height())) {
                    XShapeCombineMask(x, window, kind, 0, 0, None, ShapeSet);
                }
            }
            if (attributes.map_state == IsUnmapped) {
                XMapWindow(x, window);
            }
            // Errors of the requests above (the window went away meanwhile) arrive here, within
            // the trap, rather than later at Xlib's default handler, which would end the program.
            XSync(x, False);
        }
    }
    // The round trip may have brought events of the watch with it.
    readEvents();
    return exists;
}

void X11WindowSystem::watchWindows(std::function<void(quintptr)> onChange) {
    onChange_ = std::move(onChange);
    X11Display* connection = display();
    if (connection == nullptr || notifier_ != nullptr) {
        return;
    }
    Display* x = connection->get();
    {
        const X11ErrorTrap trap;
        XSelectInput(x, XDefaultRootWindow(x), SubstructureNotifyMask);
        XSync(x, False);
    }
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(x), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readEvents(); });
}

void X11WindowSystem::stopWatchingWindows() {
    onChange_ = nullptr;
    if (notifier_ == nullptr) {
        return;
    }
    notifier_.reset();
    Display* x = display_->get();
    const X11ErrorTrap trap;
    XSelectInput(x, XDefaultRootWindow(x), NoEventMask);
    XSync(x, False);
    readEvents();
}

void X11WindowSystem::showOnEveryWorkspace(quintptr nativeWindow) {
    X11Display* own = display();
    if (own == nullptr || nativeWindow == 0) {
        return;
    }
    Display* x = own->get();
    const long everyDesktop = 0xFFFFFFFF; // 32-bit items travel as longs in Xlib
    const X11ErrorTrap trap;
    XChangeProperty(x, static_cast<Window>(nativeWindow), XInternAtom(x, "_NET_WM_DESKTOP", False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&everyDesktop), 1);
    // Done before the toolkit maps the window on its own connection.
    XSync(x, False);
}

void X11WindowSystem::activateWindow(quintptr nativeWindow) {
    X11Display* own = display();
    if (own == nullptr || nativeWindow == 0) {
        return;
    }
    Display* x = own->get();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(nativeWindow);
    event.xclient.message_type = XInternAtom(x, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // the request comes from a pager or task bar
    event.xclient.data.l[1] = CurrentTime;
    const X11ErrorTrap trap;
    XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(x);
}

void X11WindowSystem::readEvents() {
    if (display_ == nullptr) {
        return;
    }
    Display* x = display_->get();
    while (XPending(x) > 0) {
        XEvent event{};
        XNextEvent(x, &event);
        Window changed = 0;
        switch (event.type) {
        case ConfigureNotify:
            changed = event.xconfigure.window;
            break;
        case MapNotify:
            changed = event.xmap.window;
            break;
        case ReparentNotify:
            changed = event.xreparent.window;
            break;
        case DestroyNotify:
            changed = event.xdestroywindow.window;
            break;
        case CirculateNotify:
            changed = event.xcirculate.window;
            break;
        default:
            break;
        }
        // The callback may stop the watch; a copy keeps it alive while it runs.
        if (changed != 0 && onChange_) {
            const std::function<void(quintptr)> callback = onChange_;
            callback(static_cast<quintptr>(changed));
        }
    }
}

} // namespace lumatide
