#include "launch/Launcher.h"

#include "support/FakeIconSource.h"
#include "support/FakePointer.h"
#include "support/FakePrompter.h"
#include "support/FakeShell.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest()
    {
        set.RedimTbrs(3);
        set.TbrLast = 3; // toolbars 0..3
        folder = QDir(tmp.path()).filePath("Programs").toLocal8Bit().toStdString();
        QDir().mkpath(QString::fromLocal8Bit(folder));
    }

    BtnRec& add(std::uint8_t t, std::string name, std::string exe, std::string params,
                std::uint8_t kind = KindFile)
    {
        TbrRec& tbr = set.Tbrs[t];
        BtnRec& b = tbr.Btns[++tbr.BtnCount];
        b.Name = std::move(name);
        b.Executable = std::move(exe);
        b.Parameters = std::move(params);
        b.Kind = kind;
        return b;
    }

    QTemporaryDir tmp;
    std::string folder;
    FakePrompter prompter;
    FakeShell shell;
    FakeIconSource icons;
    FakePointer pointer;
    ToolbarSet set;
    std::vector<std::pair<int, int>> toggled;
    std::function<void(std::uint8_t, int)> applyMode = [this](std::uint8_t t, int m) {
        toggled.emplace_back(t, m);
    };
    Launcher launcher{set, Services{prompter, shell, icons, pointer},
                      [this](std::uint8_t t, int m) { applyMode(t, m); }};
};

TEST_F(LauncherTest, ProgramStartsInItsOwnFolderWithItsParameters)
{
    add(1, "Editor", folder + "/edit", "-n \"a b\"");
    add(1, "Top", "top", "-d 1");
    add(1, "Site", "https://example.org/docs/", "");

    EXPECT_TRUE(launcher.ActivateBtn(1, 1));
    EXPECT_TRUE(launcher.ActivateBtn(1, 2));
    EXPECT_TRUE(launcher.ActivateBtn(1, 3));

    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[0].op, FakeShell::Op::Open);
    EXPECT_EQ(shell.calls[0].target, folder + "/edit");
    EXPECT_EQ(shell.calls[0].parameters, "-n \"a b\"");
    EXPECT_EQ(shell.calls[0].other, folder + "/");
    // A bare program name and a link have no folder: the folder step is skipped.
    EXPECT_EQ(shell.calls[1].other, "");
    EXPECT_EQ(shell.calls[2].other, "");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, TargetInMissingFolderFailsWithoutLaunching)
{
    add(0, "Gone", folder + "/nowhere/prog", "x");
    EXPECT_FALSE(launcher.ActivateBtn(0, 1));
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(LauncherTest, FailedLaunchAsksRetryOrCancelNamingTheButton)
{
    add(2, "My Tool", folder + "/tool", "--x 1");
    shell.failAll = true;

    launcher.TBar_ButtonClick(2, 1);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "My Tool");
    EXPECT_EQ(prompter.shown[0].text,
              QString::fromLocal8Bit("Unable to access: " + folder + "/tool --x 1"));
    EXPECT_EQ(prompter.shown[0].style, Prompter::RetryCancel);
    EXPECT_EQ(shell.calls.size(), 1u); // Cancel ends it
}

TEST_F(LauncherTest, RetryRunsTheWholeActivationAgainUntilItSucceeds)
{
    add(0, "Flaky", folder + "/flaky", "");
    shell.answer({false, false, true});
    prompter.answers = {Prompter::Retry, Prompter::Retry};

    launcher.TBar_ButtonClick(0, 1);

    EXPECT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(prompter.shown.size(), 2u);
    for (const FakeShell::Call& c : shell.calls)
        EXPECT_EQ(c.other, folder + "/"); // the folder step is redone each time
}

TEST_F(LauncherTest, ClickWithoutRecordButtonDoesNothing)
{
    add(0, "One", "one", "");
    launcher.TBar_ButtonClick(0, 0);  // the window's own buttons
    launcher.TBar_ButtonClick(0, 2);  // beyond the toolbar's buttons
    launcher.TBar_ButtonClick(9, 1);  // beyond TbrLast
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, RecallIndexIsTheRoundedLeadingNumber)
{
    struct Row {
        const char* parameters;
        int toolbar; // -1: the recall fails
    };
    const Row rows[] = {
        {"2", 2},      {"0.4", 0},  {"2.5", 2},    {"1.5", 2},  {"3.5", -1}, // 3.5 rounds to 4
        {"3", 3},      {"4", -1},   {"&H2", 2},    {" 1 ", 1},  {"1abc", 1},
        {"0", -1},     {"", -1},    {"-1", -1},    {"abc", -1}, {"1e9", -1},
        {"256", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameters);
        set.Tbrs[0].BtnCount = 0;
        toggled.clear();
        prompter.shown.clear();
        add(0, "Recall", RecallMarker, row.parameters);

        launcher.TBar_ButtonClick(0, 1);

        if (row.toolbar >= 0) {
            ASSERT_EQ(toggled.size(), 1u);
            EXPECT_EQ(toggled[0], std::make_pair(row.toolbar, int(Visible)));
            EXPECT_TRUE(prompter.shown.empty());
        } else {
            EXPECT_TRUE(toggled.empty());
            ASSERT_EQ(prompter.shown.size(), 1u);
            EXPECT_EQ(prompter.shown[0].text,
                      QString("Unable to access: !RecallTbr>>> ") + row.parameters);
        }
    }
    EXPECT_TRUE(shell.calls.empty()); // a recall never reaches the shell
}

TEST_F(LauncherTest, RecallTogglesOnEveryClick)
{
    add(0, "Recall", RecallMarker, "2");
    launcher.TBar_ButtonClick(0, 1);
    launcher.TBar_ButtonClick(0, 1);
    EXPECT_EQ(toggled.size(), 2u);
}

TEST_F(LauncherTest, RecallThatCannotBeAppliedFails)
{
    add(0, "Recall", RecallMarker, "1");
    applyMode = [](std::uint8_t, int) { throw std::runtime_error("window gone"); };
    EXPECT_FALSE(launcher.ActivateBtn(0, 1));
}

TEST_F(LauncherTest, OnlyTheExactMarkerRecalls)
{
    add(0, "Longer", std::string(RecallMarker) + "2", "2");
    add(0, "Case", "!recalltbr>>>", "2");
    EXPECT_TRUE(launcher.ActivateBtn(0, 1));
    EXPECT_TRUE(launcher.ActivateBtn(0, 2));
    EXPECT_TRUE(toggled.empty());
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].target, "!RecallTbr>>>2");
    EXPECT_EQ(shell.calls[1].target, "!recalltbr>>>");
}

TEST_F(LauncherTest, DroppedFilesStartTheProgramOncePerFileInOrder)
{
    add(1, "Viewer", "/usr/bin/viewer", "--page 2");
    launcher.TBar_OLEDragDrop(1, 1, {"/home/u/a b.txt", "/home/u/x;rm -rf ~"});

    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].op, FakeShell::Op::StartWithFile);
    EXPECT_EQ(shell.calls[0].target, "/usr/bin/viewer");
    EXPECT_EQ(shell.calls[0].parameters, "--page 2");
    EXPECT_EQ(shell.calls[0].other, "/home/u/a b.txt"); // one argument, blanks and all
    EXPECT_EQ(shell.calls[1].other, "/home/u/x;rm -rf ~");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, DroppedFilesAreCopiedIntoAFolderButton)
{
    add(1, "Inbox", folder, "", KindFolder);
    launcher.TBar_OLEDragDrop(1, 1, {"/tmp/one.txt", "/tmp/two.txt"});

    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].op, FakeShell::Op::CopyInto);
    EXPECT_EQ(shell.calls[0].target, "/tmp/one.txt");
    EXPECT_EQ(shell.calls[0].other, folder);
    EXPECT_EQ(shell.calls[1].target, "/tmp/two.txt");
}

TEST_F(LauncherTest, FailedDropStopsAndNamesTheFirstFile)
{
    add(1, "Viewer", "/usr/bin/viewer", "-x");
    shell.answer({true, false, true});
    launcher.TBar_OLEDragDrop(1, 1, {"/f/1", "/f/2", "/f/3"});

    EXPECT_EQ(shell.calls.size(), 2u); // the third file is never handed over
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Vyrelight Toolbar v2 Execution");
    EXPECT_EQ(prompter.shown[0].text, "Unable to execute: /usr/bin/viewer -x /f/1");
    EXPECT_EQ(prompter.shown[0].style, Prompter::Exclamation);
}

TEST_F(LauncherTest, DropOnRecallButtonStartsNothingAndFails)
{
    add(1, "Recall", RecallMarker, "2");
    launcher.TBar_OLEDragDrop(1, 1, {"/f/1"});
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(toggled.empty());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Unable to execute: !RecallTbr>>> 2 /f/1");
}

TEST_F(LauncherTest, EmptyDropOrDropWithoutRecordDoesNothing)
{
    add(1, "Viewer", "/usr/bin/viewer", "");
    launcher.TBar_OLEDragDrop(1, 1, {});
    launcher.TBar_OLEDragDrop(1, 5, {"/f/1"});
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(prompter.shown.empty());
}

} // namespace
