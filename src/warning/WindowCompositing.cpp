#include "warning/WindowCompositing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace lumatide {

namespace {

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

bool x11CompositorIsRunning(xcb_connection_t* connection) {
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(x11ScreenNumber());
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.constData());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false;
    }
    const xcb_get_selection_owner_cookie_t ownerCookie =
        xcb_get_selection_owner(connection, atom->atom);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace

bool compositorIsRunning() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) {
        return true;
    }
    if (platform != QLatin1String("xcb")) {
        return false;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    return x11CompositorIsRunning(x11->connection());
}

} // namespace lumatide
