#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <optional>
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

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    bool help = false, version = false, autostart = false;
    // --press, --toggle, --focus or --list: only one of them, and not beside --autostart.
    std::optional<CommandLine::Action> command;
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
        } else if (name == "--press" || name == "--toggle" || name == "--focus" || name == "--list") {
            const std::size_t wanted = name == "--press" ? 2 : name == "--list" ? 0 : 1;
            if (command)
                fail("only one of '--press', '--toggle', '--focus' and '--list' can be given");
            else if (hasValue)
                fail("option '" + name + "' takes its names as separate arguments");
            else if (args.size() - i - 1 < wanted)
                fail(name == "--press" ? "option '--press' needs a toolbar and a button"
                                       : "option '" + name + "' needs a toolbar");
            command = name == "--press" ? CommandLine::Action::Press
                : name == "--toggle"    ? CommandLine::Action::Toggle
                : name == "--focus"     ? CommandLine::Action::Focus
                                        : CommandLine::Action::List;
            // Taken as they stand: a name may begin with a dash.
            for (std::size_t k = 0; k < wanted && i + 1 < args.size(); ++k)
                line.names.push_back(args[++i]);
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
    else if (autostart && command)
        fail("'--autostart' cannot be given with '--press', '--toggle', '--focus' or '--list'");
    else if (autostart)
        line.action = CommandLine::Action::Autostart;
    else if (command)
        line.action = *command;
    if (help || version)
        line.error.clear();
    return line;
}

std::string helpText(const std::string& program)
{
    return "Usage: " + program + " [OPTION]...\n"
           "Small floating toolbars that start programs and open documents and folders.\n"
           "\n"
           "  --data-dir DIR       keep the toolbars in DIR (made when missing)\n"
           "  --autostart on|off   start, or no longer start, at login; then end\n"
           "  --press TOOLBAR BUTTON\n"
           "                       start a button of the running launcher, as a click does\n"
           "  --toggle TOOLBAR     show or hide a toolbar, as a recall button does\n"
           "  --focus TOOLBAR      bring a toolbar forward, unfolded, to work it from the\n"
           "                       keyboard (shown first if it was hidden)\n"
           "  --list               list the toolbars and their buttons\n"
           "  --help               show this help and end\n"
           "  --version            show the version and end\n"
           "\n"
           "Without --data-dir the toolbars are kept in $XDG_CONFIG_HOME/vyrelight\n"
           "(~/.config/vyrelight), or beside the program when it runs from a build folder.\n"
           "Starting it again while it runs opens the running one's configuration window.\n"
           "Qt's own options, such as -platform and -style, are passed on to Qt.\n"
           "\n"
           "TOOLBAR and BUTTON are names (the exact name first, then the one name that\n"
           "matches regardless of case) or numbers counted from 1, as --list shows them.\n"
           "When no launcher runs for the data folder, this start becomes the launcher\n"
           "and then carries out the command. --list writes one record a line, fields\n"
           "separated by tabs (a tab, line end or backslash in a field as \\t, \\n, \\\\):\n"
           "  T <number> shown|hidden <name>             a toolbar\n"
           "      B <number> <name> <target>             each of its buttons, after a tab\n"
           "\n"
           "\n"
           "On a toolbar brought forward with --focus: the arrows along the bar move\n"
           "between its buttons, Home and End go to the first and the last, Enter or\n"
           "Space starts the marked button and 1 to 9 the first nine; the Menu key or\n"
           "Shift+F10 opens the toolbar's menu; Escape gives the focus back.\n"
           "\n"
           "Exit status: 0 when done; 1 when the toolbar or button does not exist or\n"
           "the start failed (the reason on standard error); 2 for a usage error.\n"
           "\n"
           "Example: in the desktop's keyboard shortcut settings (GNOME: Settings >\n"
           "Keyboard > Custom Shortcuts), bind a key to the command\n"
           "  vyrelight --press Tools Terminal\n"
           "and another to\n"
           "  vyrelight --focus Tools\n";
}

std::string versionLine()
{
    return std::string("Vyrelight Toolbar ") + VYRE_VERSION + "\n";
}
