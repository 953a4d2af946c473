#include "platform/qt/compositing.h"

#include <QGuiApplication>
#include <QString>
#include <QtGui/qguiapplication_platform.h>

#ifdef KELVANTO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The X screen of DISPLAY (":0.1" is screen 1); screen 0 without a screen part.
int x_screen_number() {
    const char* display = std::getenv("DISPLAY");
    const std::string d = display != nullptr ? display : "";
    const std::size_t colon = d.rfind(':');
    const std::size_t dot = d.find('.', colon == std::string::npos ? 0 : colon);
    return dot == std::string::npos ? 0 : std::atoi(d.c_str() + dot + 1);
}

// A compositing manager owns the selection _NET_WM_CM_S<screen> while it runs.
bool x11_composites(xcb_connection_t* connection) {
    const std::string name = "_NET_WM_CM_S" + std::to_string(x_screen_number());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    if (atom == nullptr) return true;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    std::free(atom);
    const bool owned = owner != nullptr && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
}

}  // namespace
#endif

bool desktop_composites() {
#ifdef KELVANTO_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 != nullptr && x11->connection() != nullptr) return x11_composites(x11->connection());
    }
#endif
    return true;
}
