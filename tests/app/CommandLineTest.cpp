// What the command line asks for, and what it refuses.
#include "app/CommandLine.h"
#include "app/RemoteCommand.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
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
    std::vector<std::string> names{}; // the toolbar and button named to a running launcher
};

TEST(CommandLine, ActionsFoldersAndRefusals)
{
    const std::vector<Row> rows{
        {{}, Action::Run, "", false, false, false},
        {{"-h"}, Action::Help, "", false, false, false},
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
        {{"stray"}, Action::Run, "", false, false, true},
        // Qt's own options go through, with their values, and never count as ours.
        {{"-platform", "offscreen"}, Action::Run, "", false, true, false},
        {{"--platform", "xcb", "-reverse"}, Action::Run, "", false, true, false},
        {{"-style", "Fusion", "--data-dir", "/d"}, Action::Run, "/d", false, false, false},
        {{"-style"}, Action::Run, "", false, false, true},
        // As Qt reads it: the next argument is the value, whatever it looks like.
        {{"-style", "--help"}, Action::Run, "", false, false, false},
        // Commands for the launcher already running.
        {{"--list"}, Action::List, "", false, false, false},
        {{"--press", "My tools", "-odd name"}, Action::Press, "", false, false, false, {"My tools", "-odd name"}},
        {{"--data-dir", "/d", "--toggle", "2"}, Action::Toggle, "/d", false, false, false, {"2"}},
        {{"--focus", "My tools"}, Action::Focus, "", false, false, false, {"My tools"}},
        {{"--focus"}, Action::Run, "", false, false, true},
        {{"--focus", "1", "--toggle", "2"}, Action::Run, "", false, false, true, {"1", "2"}},
        {{"--press", "Tools"}, Action::Run, "", false, false, true, {"Tools"}},
        {{"--toggle=Tools"}, Action::Run, "", false, false, true},
        {{"--list", "extra"}, Action::Run, "", false, false, true},
        {{"--autostart", "on", "--list"}, Action::Run, "", true, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const CommandLine line = parseCommandLine(row.args);
        EXPECT_TRUE(row.refused || line.action == row.action); // a refused line is never acted on
        EXPECT_EQ(std::tuple(line.dataDir, line.autostartOn, line.platformChosen, !line.error.empty(), line.names),
                  std::tuple(row.dataDir, row.autostartOn, row.platformChosen, row.refused, row.names)) << line.error;
    }
    // A refusal names the offending argument.
    EXPECT_NE(parseCommandLine({"--frobnicate"}).error.find("'--frobnicate'"), std::string::npos);
    EXPECT_NE(parseCommandLine({"--autostart", "maybe"}).error.find("'maybe'"), std::string::npos);
}

TEST(CommandLine, VersionAndHelpComeFromTheBuild)
{
    EXPECT_EQ(versionLine(), std::string("Vyrelight Toolbar ") + VYRE_VERSION + "\n");
    const std::string help = helpText("vyrelight");
    for (const char* option : {"--data-dir DIR", "--autostart on|off", "--help", "--version", "--press TOOLBAR BUTTON",
                               "--toggle TOOLBAR", "--focus TOOLBAR", "--list", "Exit status", "Shortcut", "Escape"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

// Toolbars and buttons named to a running launcher.
struct PickRow {
    std::vector<std::string> names;
    std::string wanted;
    std::optional<std::size_t> index;
    std::string errorHas; // part of the refusal, when there is no index
};

} // namespace

TEST(RemoteCommand, PicksByNameThenCaseThenNumber)
{
    const std::string eAcute = "\xc3\xa9"; // é as UTF-8
    const std::vector<PickRow> rows{
        // Exact first, even beside another that differs only in case.
        {{"games", "Games"}, "Games", 1, ""},
        {{"Tools", "Games"}, "gAMES", 1, ""},
        {{"games", "GAMES"}, "Games", std::nullopt, "more than one"},
        {{"Tools", "Tools"}, "Tools", std::nullopt, "more than one"},
        {{"Tools", "Games"}, "2", 1, ""},
        {{"Tools", "Games"}, "3", std::nullopt, "no toolbar number 3"},
        {{"Tools", "Games"}, "0", std::nullopt, "no toolbar named '0'"},
        {{"Tools", "Games"}, "02", std::nullopt, "named"},
        // A name that looks like a number is still a name first.
        {{"Tools", "1"}, "1", 1, ""},
        {{"My tools", "a/b c"}, "a/b c", 1, ""},
        {{"My tools"}, " My tools", std::nullopt, "named"},
        // Only ASCII letters fold; other bytes match only themselves.
        {{"Caf" + eAcute}, "CAF" + eAcute, 0, ""},
        {{"Caf" + eAcute}, "CAF\xc3\x89", std::nullopt, "named"},
        {{"x\xff\x01y"}, "X\xff\x01Y", 0, ""},
        {{"Tools"}, "", std::nullopt, "named ''"},
    };
    for (const PickRow& row : rows) {
        const NamePick pick = pickByName(row.names, row.wanted, "toolbar");
        EXPECT_EQ(pick.index, row.index) << row.wanted;
        // A refusal says why; a pick is no refusal.
        EXPECT_TRUE(row.index ? pick.error.empty() : pick.error.find(row.errorHas) != std::string::npos) << row.wanted << ": " << pick.error;
    }
}

TEST(RemoteCommand, FramesCarryAnyBytesAndRefuseGarbage)
{
    const std::vector<std::string> words{"press", "a b/c", std::string("x\0:9\n", 5), "", "1"};
    const std::string frame = encodeWords(words);
    EXPECT_EQ(encodeWords({"press", "a b"}), "2:5:press3:a b");
    const DecodedWords whole = decodeWords(frame + "tail");
    ASSERT_EQ(whole.state, DecodedWords::State::Done);
    EXPECT_EQ(whole.words, words);
    EXPECT_EQ(whole.used, frame.size());
    // Every cut short of the end asks for more.
    for (std::size_t cut = 0; cut < frame.size(); ++cut)
        EXPECT_EQ(decodeWords(frame.substr(0, cut)).state, DecodedWords::State::More) << cut;
    for (const std::string bad : {"x", ":", "2:a", "1:-1:", "1:99999999:", "1:2000000:"})
        EXPECT_EQ(decodeWords(bad).state, DecodedWords::State::Bad) << bad;
}

TEST(RemoteCommand, ListLinesAreOneRecordEach)
{
    EXPECT_EQ(listToolbarLine(2, false, "My tools"), "T\t2\thidden\tMy tools\n");
    EXPECT_EQ(listButtonLine(1, "a\tb", "/bin/x\ny\\"), "\tB\t1\ta\\tb\t/bin/x\\ny\\\\\n");
}
