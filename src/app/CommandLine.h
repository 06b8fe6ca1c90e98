#pragma once

#include <string>
#include <vector>

// What the command line asks for. Read before Qt starts, so --help, --version and
// --autostart work without a display. Qt's own options (-platform, -style, ...) are
// let through: QApplication reads them from the same arguments.
struct CommandLine {
    enum class Action { Run, Help, Version, Autostart, Press, Toggle, List, Focus };

    Action action{Action::Run};
    // The folder given with --data-dir; empty: the usual choice.
    std::string dataDir;
    // For Action::Autostart: whether to start at login from now on.
    bool autostartOn{false};
    // For Press (toolbar, button), Toggle and Focus (toolbar): names or 1-based numbers,
    // as given.
    std::vector<std::string> names;
    // A Qt platform was named with -platform.
    bool platformChosen{false};
    // Why the arguments cannot be followed; empty when they can. The program then says
    // so and ends with status 2.
    std::string error;
};

// args: the arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// What --help prints; program: the name the program was started by.
std::string helpText(const std::string& program);
// What --version prints: the name and the build's version.
std::string versionLine();
