#include "platform/FontResources.h"

#include "platform/XcbConnection.h"

#include <string_view>

std::string fontResources()
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return {};
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
    if (!screen.rem)
        return {};
    // Resources are a few kilobytes at most; anything past this is not about fonts anyway.
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen.data->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16), nullptr));
    if (!reply || reply->format != 8)
        return {};
    const std::string_view all(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               std::size_t(xcb_get_property_value_length(reply.get())));
    std::string out;
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = all.find('\n', at);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = all.substr(at, end - at);
        if (line.starts_with("Xft.") || line.starts_with("*antialias") || line.starts_with("*hint")
            || line.starts_with("*rgba") || line.starts_with("*dpi")) {
            out += line;
            out += '\n';
        }
        at = end + 1;
    }
    return out;
}
