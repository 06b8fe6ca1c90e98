#include "launch/Launcher.h"

#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"
#include "support/FakePointer.h"
#include "support/FakePrompter.h"
#include "support/FakeShell.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

class LauncherTest : public ::testing::Test {
protected:
    void add(std::uint8_t t, std::string name, std::string exe, std::string params, std::uint8_t kind = KindFile)
    {
        set.Tbrs[t].BtnsRead = true; // the buttons are the test's, no file's
        set.Tbrs[t].Btns[++set.Tbrs[t].BtnCount] = {std::move(name), std::move(exe), std::move(params), kind, {}, 0, 0};
    }
    // The messages shown, as title, text, style and details.
    using Shown = std::vector<std::tuple<std::string, std::string, Prompter::Style, std::string>>;
    Shown shown() const
    {
        Shown out;
        for (const FakePrompter::Shown& s : prompter.shown)
            out.emplace_back(s.title.toStdString(), s.text.toStdString(), s.style, s.details.toStdString());
        return out;
    }

    QTemporaryDir tmp;
    const std::string folder = tmp.path().toStdString();
    FakePrompter prompter;
    FakeShell shell;
    FakeIconSource icons;
    FakePointer pointer;
    FakeDialogBackend dialogs;
    ToolbarSet set{std::vector<TbrRec>(4), 3}; // toolbars 0..3
    std::vector<std::pair<int, int>> toggled;
    std::function<void(std::uint8_t, int)> applyMode = [this](std::uint8_t t, int m) { toggled.emplace_back(t, m); };
    Launcher launcher{set, Services{prompter, shell, icons, pointer, dialogs}, [this](std::uint8_t t, int m) { applyMode(t, m); }};
};

TEST_F(LauncherTest, TargetStartsInItsOwnFolderAndOnlyTheExactMarkerRecalls)
{
    add(1, "Editor", folder + "/edit", "-n \"a b\"");
    add(1, "Top", "top", "-d 1"); // a bare name and a link have no folder
    add(1, "Site", "https://example.org/docs/", "");
    add(1, "Longer", std::string(RecallMarker) + "2", "2");
    add(1, "Case", "!recalltbr>>>", "2");
    add(1, "Gone", folder + "/nowhere/prog", "x");
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(launcher.activate(1, k).ok()) << k;
    EXPECT_EQ(launcher.activate(1, 6).reason(), "the folder " + folder + "/nowhere/ does not exist");
    EXPECT_EQ(shell.calls, (Calls{"open " + folder + "/edit | -n \"a b\" | " + folder + "/", "open top | -d 1 | ",
                              "open https://example.org/docs/ |  | ", "open !RecallTbr>>>2 | 2 | ", "open !recalltbr>>> | 2 | "}));
    EXPECT_TRUE(toggled.empty());

    // A button of a toolbar whose file was never read: the file is read for it.
    std::ofstream(set.Tbrs[3].Path = folder + "/late.vtb") << msg::VtbHeader << "\r\nLate;top;;1;;0;\r\n";
    shell.calls.clear();
    EXPECT_TRUE(launcher.activate(3, 1).ok());
    EXPECT_EQ(shell.calls, Calls{"open top |  | "});
}

TEST_F(LauncherTest, FailedClickAsksRetryOrCancelAndRetryRunsTheWholeActivationAgainAndOtherClicksDoNothing)
{
    add(2, "My Tool", folder + "/tool", "--x 1");
    shell.results = {false, false, true, false};
    prompter.answers = {Prompter::Retry, Prompter::Retry};
    launcher.buttonClicked(2, 1); // fails twice, then starts
    prompter.shown.clear();
    launcher.buttonClicked(2, 1); // fails, and Cancel ends it
    launcher.buttonClicked(2, 0); // the window's own buttons
    launcher.buttonClicked(2, 2); // beyond the toolbar's buttons
    set.TbrLast = 1;
    launcher.buttonClicked(2, 1); // a record left beyond TbrLast
    EXPECT_EQ(shell.calls, Calls(4, "open " + folder + "/tool | --x 1 | " + folder + "/"));
    // The fixed first line, then why, in the box itself.
    EXPECT_EQ(shown(), (Shown{{"My Tool", "Unable to access: " + folder + "/tool --x 1\n\nScripted failure 4.",
                              Prompter::RetryCancel, ""}}));
}

TEST_F(LauncherTest, RecallShowsTheToolbarOfTheRoundedLeadingNumberOrFails)
{
    const std::pair<std::string, int> rows[] = { // -1: the recall fails
        {"2", 2},   {"0.4", 0},  {"2.5", 2}, {"1.5", 2}, {"3.5", -1}, {"3", 3},    {"4", -1},   {"&H2", 2},
        {" 1 ", 1}, {"1abc", 1}, {"0", -1},  {"", -1},   {"-1", -1},  {"abc", -1}, {"1e9", -1}, {"256", -1},
    };
    for (const auto& [parameters, toolbar] : rows) {
        toggled.clear();
        add(0, "Recall", RecallMarker, parameters);
        EXPECT_EQ(launcher.activate(0, set.Tbrs[0].BtnCount).reason(),
                  toolbar < 0 ? "\"" + parameters + "\" names no toolbar to recall" : "");
        // One toggle of Visible when the recall succeeds, none when it fails.
        EXPECT_EQ(toggled, (std::vector<std::pair<int, int>>(toolbar >= 0, {toolbar, Visible}))) << parameters;
    }
    EXPECT_TRUE(shell.calls.empty());
    // A throwing window is a bug: it reaches the event handler's boundary instead of
    // passing for a failed recall.
    applyMode = [](std::uint8_t, int) { throw std::runtime_error("window gone"); };
    EXPECT_THROW((void)launcher.activate(0, 1), std::runtime_error);
}

TEST_F(LauncherTest, DroppedFilesGoOneByOneUntilTheFirstFailureWhoseFileTheReasonNames)
{
    add(1, "Viewer", "/usr/bin/viewer", "-x");
    add(1, "Inbox", folder, "", KindFolder);
    add(1, "Recall", RecallMarker, "2");
    const std::string one = "start /usr/bin/viewer | -x | /f/1", two = "start /usr/bin/viewer | -x | /f;2";
    const struct { int k; std::vector<bool> results; Calls calls; std::string text; } rows[] = {
        {2, {}, {"copy /f/1 |  | " + folder, "copy /f;2 |  | " + folder}, ""},
        {1, {true, false}, {one, two}, "/usr/bin/viewer -x /f/1\n\n/f;2: scripted failure 2."}, // the drop's first file
        {1, {false}, {one}, "/usr/bin/viewer -x /f/1\n\nScripted failure 1."},
        {3, {}, {}, "!RecallTbr>>> 2 /f/1\n\nA recall button starts no program."},
        {4, {}, {}, ""}, // no such button
    };
    for (const auto& row : rows) {
        shell.calls.clear(), prompter.shown.clear();
        shell.results.assign(row.results.begin(), row.results.end());
        launcher.filesDropped(1, row.k, {"/f/1", "/f;2"});
        EXPECT_EQ(shell.calls, row.calls);
        EXPECT_EQ(shown(), (row.text.empty() ? Shown{}
                                             : Shown{{"Vyrelight Toolbar v2 Execution", "Unable to execute: " + row.text,
                                                      Prompter::Exclamation, ""}}));
    }
    EXPECT_TRUE(toggled.empty());
}

} // namespace
