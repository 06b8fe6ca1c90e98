#include "platform/TaskbarEntry.h"
#include "platform/XcbConnection.h"

#include <QGuiApplication>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The three atoms the state is written with. An atom names the same thing for the whole
// life of the X connection, so they are asked for once, all three in one round trip,
// rather than at every show of every toolbar.
struct StateAtoms {
    xcb_atom_t netWmState = XCB_ATOM_NONE;
    std::array<xcb_atom_t, 2> skip{XCB_ATOM_NONE, XCB_ATOM_NONE};
    bool complete() const { return netWmState != XCB_ATOM_NONE && skip[0] != XCB_ATOM_NONE && skip[1] != XCB_ATOM_NONE; }
};

const StateAtoms& stateAtoms(xcb_connection_t* c)
{
    static xcb_connection_t* askedOn = nullptr;
    static StateAtoms atoms;
    if (askedOn == c && atoms.complete())
        return atoms;
    const char* const names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (std::size_t i = 0; i < cookies.size(); ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, 3> got{};
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        got[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    askedOn = c;
    atoms = StateAtoms{got[0], {got[1], got[2]}};
    return atoms;
}

// The atoms of the window's _NET_WM_STATE as it stands.
std::vector<xcb_atom_t> stateOf(xcb_connection_t* c, xcb_window_t window, xcb_atom_t netWmState)
{
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return {};
    const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return std::vector<xcb_atom_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

} // namespace

void keepOutOfTaskbar(QWidget& window)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window.isWindow())
        return;
    const xcb_window_t id = static_cast<xcb_window_t>(window.winId());
    const StateAtoms& atoms = stateAtoms(c);
    if (!atoms.complete())
        return;
    const xcb_atom_t netWmState = atoms.netWmState;
    const std::array<xcb_atom_t, 2> skip = atoms.skip;
    // In its showEvent a window counts as visible already, but is not yet on screen.
    if (!window.windowHandle() || !window.windowHandle()->isVisible()) {
        // Hidden: written on the window, merged with what is there; Qt adds its own
        // states to these when it maps the window.
        std::vector<xcb_atom_t> state = stateOf(c, id, netWmState);
        for (xcb_atom_t a : skip)
            if (std::find(state.begin(), state.end(), a) == state.end())
                state.push_back(a);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(state.size()), state.data());
        xcb_flush(c);
        // Qt may write the state afresh as it maps the window; once the window is on
        // screen, the window manager is asked as well.
        QTimer::singleShot(0, &window, [w = &window] {
            if (w->windowHandle() && w->windowHandle()->isVisible())
                keepOutOfTaskbar(*w);
        });
    } else {
        // On screen the state belongs to the window manager, which is asked.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = netWmState;
        event.data.data32[0] = 1; // _NET_WM_STATE_ADD
        event.data.data32[1] = skip[0];
        event.data.data32[2] = skip[1];
        event.data.data32[3] = 1; // a normal application
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}
