#include "platform/WindowActivation.h"
#include "platform/XcbConnection.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// _NET_ACTIVE_WINDOW as a pager sends it: source 2 ("a pager or other tool acting for
// the user"), which window managers grant without weighing time stamps.
bool requestActive(xcb_connection_t* c, xcb_window_t window)
{
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    if (active == XCB_ATOM_NONE || window == XCB_WINDOW_NONE)
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = active;
    event.data.data32[0] = 2;                // source: pager, for the user
    event.data.data32[1] = XCB_CURRENT_TIME; // no event of ours to date it by
    event.data.data32[2] = XCB_WINDOW_NONE;  // the requester's active window: none
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    return true;
}

} // namespace

void activateForUser(QWidget& window)
{
    window.raise();
    window.activateWindow();
    xcb_connection_t* c = x11Connection();
    const QWindow* native = window.windowHandle();
    if (!c || !native || !native->isVisible())
        return;
    requestActive(c, static_cast<xcb_window_t>(native->winId()));
}

std::uint32_t desktopActiveWindow()
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return 0;
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    if (active == XCB_ATOM_NONE)
        return 0;
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, rootOf(c), active, XCB_ATOM_WINDOW, 0, 1);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

bool activateDesktopWindow(std::uint32_t window)
{
    xcb_connection_t* c = x11Connection();
    return c && requestActive(c, static_cast<xcb_window_t>(window));
}
