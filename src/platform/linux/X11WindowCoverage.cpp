// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/X11WindowCoverage.h"

#include "linux/ScreenCoverage.h"
#include "linux/X11Display.h"

#include <unistd.h>
#include <vector>

// Xlib last: its macros clash with Qt's names.
#include "linux/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

namespace lumatide {

struct X11WindowCoverage::Atoms {
    Atom activeWindow;
    Atom wmPid;
    Atom wmState;
    Atom fullScreen;
    Atom frameExtents;
    Atom windowType;
    Atom desktopType;
    Atom dockType;
};

namespace {

// The 32-bit items of a window property (Xlib hands them over as longs), at most maxItems.
std::optional<std::vector<unsigned long>> longProperty(Display* display, Window window, Atom name,
                                                       Atom type, long maxItems) {
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, name, 0, maxItems, False, type,
                                          &actualType, &actualFormat, &count, &bytesAfter, &data);
    if (status != Success || data == nullptr) {
        return std::nullopt;
    }
    std::optional<std::vector<unsigned long>> items;
    if (actualType == type && actualFormat == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.emplace(values, values + count);
    }
    XFree(data);
    return items;
}

} // namespace

std::unique_ptr<X11WindowCoverage> X11WindowCoverage::open(const QByteArray& displayName) {
    auto display = X11Display::open(displayName);
    if (!display) {
        return nullptr;
    }
    Display* x = display->get();
    auto atoms = std::make_unique<Atoms>();
    atoms->activeWindow = XInternAtom(x, "_NET_ACTIVE_WINDOW", False);
    atoms->wmPid = XInternAtom(x, "_NET_WM_PID", False);
    atoms->wmState = XInternAtom(x, "_NET_WM_STATE", False);
    atoms->fullScreen = XInternAtom(x, "_NET_WM_STATE_FULLSCREEN", False);
    atoms->frameExtents = XInternAtom(x, "_NET_FRAME_EXTENTS", False);
    atoms->windowType = XInternAtom(x, "_NET_WM_WINDOW_TYPE", False);
    atoms->desktopType = XInternAtom(x, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    atoms->dockType = XInternAtom(x, "_NET_WM_WINDOW_TYPE_DOCK", False);
    return std::unique_ptr<X11WindowCoverage>(
        new X11WindowCoverage(std::move(display), std::move(atoms)));
}

X11WindowCoverage::X11WindowCoverage(std::unique_ptr<X11Display> display,
                                     std::unique_ptr<Atoms> atoms)
    : display_(std::move(display)), atoms_(std::move(atoms)) {
}

X11WindowCoverage::~X11WindowCoverage() = default;

std::optional<unsigned long> X11WindowCoverage::activeWindow() const {
    Display* x = display_->get();
    // The window manager keeps this on the root window; without one it is missing.
    const auto items = longProperty(x, XDefaultRootWindow(x), atoms_->activeWindow, XA_WINDOW, 1);
    if (!items || items->empty() || items->front() == 0) {
        return std::nullopt;
    }
    return items->front();
}

std::optional<unsigned long> X11WindowCoverage::cardinalProperty(unsigned long window,
                                                                 unsigned long atom) const {
    const auto items = longProperty(display_->get(), window, atom, XA_CARDINAL, 1);
    if (!items || items->empty()) {
        return std::nullopt;
    }
    return items->front();
}

bool X11WindowCoverage::isDesktopOrDock(unsigned long window) const {
    const auto types = longProperty(display_->get(), window, atoms_->windowType, XA_ATOM, 16);
    if (!types) {
        return false;
    }
    for (unsigned long type : *types) {
        if (type == atoms_->desktopType || type == atoms_->dockType) {
            return true;
        }
    }
    return false;
}

bool X11WindowCoverage::hasFullScreenState(unsigned long window) const {
    const auto states = longProperty(display_->get(), window, atoms_->wmState, XA_ATOM, 64);
    if (!states) {
        return false;
    }
    for (unsigned long state : *states) {
        if (state == atoms_->fullScreen) {
            return true;
        }
    }
    return false;
}

std::optional<QSize> X11WindowCoverage::frameSize(unsigned long window) const {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_->get(), window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return std::nullopt;
    }
    int width = attributes.width + 2 * attributes.border_width;
    int height = attributes.height + 2 * attributes.border_width;
    // The decorations the window manager adds: left, right, top, bottom.
    const auto extents =
        longProperty(display_->get(), window, atoms_->frameExtents, XA_CARDINAL, 4);
    if (extents && extents->size() == 4) {
        width += static_cast<int>((*extents)[0] + (*extents)[1]);
        height += static_cast<int>((*extents)[2] + (*extents)[3]);
    }
    return QSize(width, height);
}

QList<QSize> X11WindowCoverage::screenSizes() const {
    Display* x = display_->get();
    const Window root = XDefaultRootWindow(x);
    QList<QSize> sizes;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XRRQueryExtension(x, &eventBase, &errorBase) != 0 &&
        XRRQueryVersion(x, &major, &minor) != 0 && (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(x, root, True, &count);
        for (int i = 0; monitors != nullptr && i < count; ++i) {
            sizes.append(QSize(monitors[i].width, monitors[i].height));
        }
        if (monitors != nullptr) {
            XRRFreeMonitors(monitors);
        }
    }
    if (sizes.isEmpty()) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x, root, &attributes) != 0) {
            sizes.append(QSize(attributes.width, attributes.height));
        }
    }
    return sizes;
}

bool X11WindowCoverage::activeWindowCoversScreen() const {
    const X11ErrorTrap trap;
    const auto window = activeWindow();
    if (!window) {
        return false;
    }
    const auto pid = cardinalProperty(*window, atoms_->wmPid);
    if (pid && *pid == static_cast<unsigned long>(getpid())) {
        return false;
    }
    // The desktop itself (clicked, it becomes the active window) and panels cover a screen
    // without anyone watching anything.
    if (isDesktopOrDock(*window)) {
        return false;
    }
    bool covers = hasFullScreenState(*window);
    if (!covers) {
        const auto frame = frameSize(*window);
        covers = frame && windowCoversAnyScreen(*frame, screenSizes());
    }
    // A window that vanished half-way through gives errors and counts as nothing.
    return covers && !trap.caughtError();
}

} // namespace lumatide
