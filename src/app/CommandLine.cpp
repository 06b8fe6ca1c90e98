#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

#ifndef VYRE_VERSION
#error "VYRE_VERSION comes from the build: the project's version"
#endif

namespace {

// Qt's own options, with one dash or two: those followed by a value, then the others.
constexpr std::array<std::string_view, 11> QtValueOptions{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "style", "stylesheet", "display"};
constexpr std::array<std::string_view, 5> QtFlagOptions{"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// "-x" or "--x" gives "x"; anything else gives nothing.
std::string_view bareName(std::string_view arg)
{
    if (arg.size() > 2 && arg.substr(0, 2) == "--")
        return arg.substr(2);
    if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-')
        return arg.substr(1);
    return {};
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    bool help = false, version = false, autostart = false;
    const auto fail = [&line](std::string why) {
        if (line.error.empty())
            line.error = std::move(why);
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "--name=value" or "--name value".
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                hasValue = true;
            }
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 < args.size()) {
                value = args[++i];
                return true;
            }
            fail("option '" + name + "' needs a value");
            return false;
        };

        if (name == "--help" || name == "-h") {
            help = true;
        } else if (name == "--version") {
            version = true;
        } else if (name == "--data-dir") {
            if (takeValue()) {
                if (value.empty())
                    fail("option '--data-dir' needs a folder");
                line.dataDir = value;
            }
        } else if (name == "--autostart") {
            if (takeValue()) {
                if (value == "on" || value == "off") {
                    autostart = true;
                    line.autostartOn = value == "on";
                } else {
                    fail("option '--autostart' takes 'on' or 'off', not '" + value + "'");
                }
            }
        } else if (const std::string_view bare = bareName(arg); among(QtValueOptions, bare)) {
            if (i + 1 < args.size()) {
                ++i;
                line.platformChosen = line.platformChosen || bare == "platform";
            } else {
                fail("option '" + arg + "' needs a value");
            }
        } else if (among(QtFlagOptions, bare)) {
            // Qt's; nothing to do here.
        } else if (!arg.empty() && arg[0] == '-') {
            fail("unknown option '" + arg + "'");
        } else {
            fail("unexpected argument '" + arg + "'");
        }
    }

    // Asking for help or the version is answered even beside a mistake: it is what the
    // user needs to find the mistake.
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (autostart)
        line.action = CommandLine::Action::Autostart;
    if (help || version)
        line.error.clear();
    return line;
}

std::string HelpText(const std::string& program)
{
    return "Usage: " + program + " [OPTION]...\n"
           "Small floating toolbars that start programs and open documents and folders.\n"
           "\n"
           "  --data-dir DIR       keep the toolbars in DIR (made when missing)\n"
           "  --autostart on|off   start, or no longer start, at login; then end\n"
           "  --help               show this help and end\n"
           "  --version            show the version and end\n"
           "\n"
           "Without --data-dir the toolbars are kept in $XDG_CONFIG_HOME/vyrelight\n"
           "(~/.config/vyrelight), or beside the program when it runs from a build folder.\n"
           "Starting it again while it runs opens the running one's configuration window.\n"
           "Qt's own options, such as -platform and -style, are passed on to Qt.\n";
}

std::string VersionLine()
{
    return std::string("Vyrelight Toolbar ") + VYRE_VERSION + "\n";
}
