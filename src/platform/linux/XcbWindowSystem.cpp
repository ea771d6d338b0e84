#include "linux/XcbWindowSystem.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace lumatide {

namespace {

// Qt's own connection to the X server; null on any other platform.
xcb_connection_t* qtConnection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
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

} // namespace

bool XcbWindowSystem::compositorIsRunning() const {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return true;
    }
    xcb_connection_t* connection = qtConnection();
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

void XcbWindowSystem::remapWindow(quintptr nativeWindow) {
    xcb_connection_t* connection = qtConnection();
    if (connection == nullptr) {
        return;
    }
    xcb_map_window(connection, static_cast<xcb_window_t>(nativeWindow));
    xcb_flush(connection);
}

} // namespace lumatide
