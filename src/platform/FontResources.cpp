#include "platform/FontResources.h"

#include "platform/XcbConnection.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <set>
#include <string_view>

namespace {

std::string home()
{
    const char* h = std::getenv("HOME");
    return h ? h : "";
}

std::string xdg(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return v && v[0] == '/' ? std::string(v) : home() + fallback;
}

} // namespace

std::vector<std::string> fontConfigurationPaths()
{
    std::set<std::string> paths;
    FcConfig* config = FcConfigGetCurrent();
    const auto add = [&](FcStrList* list, bool withFolder) {
        if (!list)
            return;
        while (const FcChar8* p = FcStrListNext(list)) {
            std::string path = reinterpret_cast<const char*>(p);
            if (path.starts_with("~/"))
                path = home() + path.substr(1);
            if (withFolder && path.find('/') != std::string::npos)
                paths.insert(path.substr(0, path.rfind('/')));
            paths.insert(std::move(path));
        }
        FcStrListDone(list);
    };
    add(FcConfigGetConfigFiles(config), true);
    add(FcConfigGetFontDirs(config), false);
    add(FcConfigGetCacheDirs(config), false);
    const std::string configHome = xdg("XDG_CONFIG_HOME", "/.config") + "/fontconfig";
    for (const std::string& p : {configHome, configHome + "/fonts.conf", configHome + "/conf.d",
                                 home() + "/.fonts.conf", home() + "/.fonts.conf.d",
                                 xdg("XDG_DATA_HOME", "/.local/share") + "/fonts", home() + "/.fonts"})
        paths.insert(p);
    paths.erase("");
    return {paths.begin(), paths.end()};
}


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
