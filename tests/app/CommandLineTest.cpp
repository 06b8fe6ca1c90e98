// What the command line asks for, and what it refuses.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

struct Row {
    std::vector<std::string> args;
    Action action;
    std::string dataDir;
    bool autostartOn;
    bool platformChosen;
    bool refused;
};

TEST(CommandLine, ActionsFoldersAndRefusals)
{
    const std::vector<Row> rows{
        {{}, Action::Run, "", false, false, false},
        {{"--help"}, Action::Help, "", false, false, false},
        {{"-h"}, Action::Help, "", false, false, false},
        {{"--version"}, Action::Version, "", false, false, false},
        // Help wins over everything, a mistake included: it is how to find the mistake.
        {{"--bogus", "--help"}, Action::Help, "", false, false, false},
        {{"--version", "--autostart", "on"}, Action::Version, "", true, false, false},
        {{"--data-dir", "/x y"}, Action::Run, "/x y", false, false, false},
        {{"--data-dir=rel/dir"}, Action::Run, "rel/dir", false, false, false},
        {{"--data-dir"}, Action::Run, "", false, false, true},
        {{"--data-dir="}, Action::Run, "", false, false, true},
        {{"--autostart", "on"}, Action::Autostart, "", true, false, false},
        {{"--autostart=off"}, Action::Autostart, "", false, false, false},
        {{"--autostart", "yes"}, Action::Run, "", false, false, true},
        {{"--autostart"}, Action::Run, "", false, false, true},
        {{"--autostart", "on", "--data-dir", "/d"}, Action::Autostart, "/d", true, false, false},
        {{"--bogus"}, Action::Run, "", false, false, true},
        {{"-x"}, Action::Run, "", false, false, true},
        {{"stray"}, Action::Run, "", false, false, true},
        // Qt's own options go through, with their values, and never count as ours.
        {{"-platform", "offscreen"}, Action::Run, "", false, true, false},
        {{"--platform", "xcb", "-reverse"}, Action::Run, "", false, true, false},
        {{"-style", "Fusion", "--data-dir", "/d"}, Action::Run, "/d", false, false, false},
        {{"-style"}, Action::Run, "", false, false, true},
        // As Qt reads it: the next argument is the value, whatever it looks like.
        {{"-style", "--help"}, Action::Run, "", false, false, false},
    };
    for (const Row& row : rows) {
        std::string shown;
        for (const std::string& a : row.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const CommandLine line = ParseCommandLine(row.args);
        EXPECT_EQ(line.action, row.action);
        EXPECT_EQ(line.dataDir, row.dataDir);
        EXPECT_EQ(line.autostartOn, row.autostartOn);
        EXPECT_EQ(line.platformChosen, row.platformChosen);
        EXPECT_EQ(!line.error.empty(), row.refused) << line.error;
    }
}

TEST(CommandLine, TheRefusalNamesTheOffendingArgument)
{
    EXPECT_NE(ParseCommandLine({"--frobnicate"}).error.find("'--frobnicate'"), std::string::npos);
    EXPECT_NE(ParseCommandLine({"--autostart", "maybe"}).error.find("'maybe'"), std::string::npos);
}

TEST(CommandLine, VersionAndHelpComeFromTheBuild)
{
    EXPECT_EQ(VersionLine(), std::string("Vyrelight Toolbar ") + VYRE_VERSION + "\n");
    const std::string help = HelpText("vyrelight");
    for (const char* option : {"--data-dir DIR", "--autostart on|off", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
