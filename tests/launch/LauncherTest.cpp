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

    // Every shell call as "operation target | parameters | other".
    std::vector<std::string> calls() const
    {
        std::vector<std::string> out;
        for (const FakeShell::Call& c : shell.calls) {
            const char* op[] = {"open", "start", "copy", "link"};
            out.push_back(std::string(op[int(c.op)]) + " " + c.target + " | " + c.parameters + " | " + c.other);
        }
        return out;
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

TEST_F(LauncherTest, ProgramStartsInItsOwnFolderWithItsParametersAndAMissingFolderFails)
{
    add(1, "Editor", folder + "/edit", "-n \"a b\"");
    add(1, "Top", "top", "-d 1");
    add(1, "Site", "https://example.org/docs/", "");
    add(1, "Gone", folder + "/nowhere/prog", "x");
    for (int k : {1, 2, 3})
        EXPECT_TRUE(launcher.activate(1, k).ok()) << k;
    EXPECT_EQ(launcher.activate(1, 4).reason(), "the folder " + folder + "/nowhere/ does not exist");
    // A bare program name and a link have no folder; nothing starts for the missing one.
    EXPECT_EQ(calls(), (std::vector<std::string>{"open " + folder + "/edit | -n \"a b\" | " + folder + "/",
                                                 "open top | -d 1 | ", "open https://example.org/docs/ |  | "}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, FailedLaunchAsksRetryOrCancelNamingTheButtonWithTheShellsReasonAndCancelEndsIt)
{
    add(2, "My Tool", folder + "/tool", "--x 1");
    shell.failAll = true;
    launcher.buttonClicked(2, 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "My Tool");
    EXPECT_EQ(prompter.shown[0].text, QString::fromLocal8Bit("Unable to access: " + folder + "/tool --x 1"));
    EXPECT_EQ(prompter.shown[0].style, Prompter::RetryCancel);
    EXPECT_EQ(prompter.shown[0].details, "scripted failure 1");
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(LauncherTest, RetryRunsTheWholeActivationAgainUntilItSucceeds)
{
    add(0, "Flaky", folder + "/flaky", "");
    shell.answer({false, false, true});
    prompter.answers = {Prompter::Retry, Prompter::Retry};
    launcher.buttonClicked(0, 1);
    EXPECT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(prompter.shown.size(), 2u);
    for (const FakeShell::Call& c : shell.calls)
        EXPECT_EQ(c.other, folder + "/"); // the folder step is redone each time
}

TEST_F(LauncherTest, ClicksAndDropsWithoutARecordButtonDoNothing)
{
    add(0, "One", "one", "");
    launcher.buttonClicked(0, 0); // the window's own buttons
    launcher.buttonClicked(0, 2); // beyond the toolbar's buttons
    launcher.buttonClicked(9, 1); // beyond TbrLast
    launcher.filesDropped(0, 1, {});
    launcher.filesDropped(0, 5, {"/f/1"});
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, RecallIndexIsTheRoundedLeadingNumberOfAnExistingToolbar)
{
    const struct {
        const char* parameters;
        int toolbar; // -1: the recall fails
    } rows[] = {
        {"2", 2},  {"0.4", 0}, {"2.5", 2}, {"1.5", 2},   {"3.5", -1}, // 3.5 rounds to 4
        {"3", 3},  {"4", -1},  {"&H2", 2}, {" 1 ", 1},   {"1abc", 1},
        {"0", -1}, {"", -1},   {"-1", -1}, {"abc", -1},  {"1e9", -1}, {"256", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.parameters);
        set.Tbrs[0].BtnCount = 0;
        toggled.clear();
        prompter.shown.clear();
        add(0, "Recall", RecallMarker, row.parameters);
        launcher.buttonClicked(0, 1);
        if (row.toolbar >= 0) {
            EXPECT_EQ(toggled, (std::vector<std::pair<int, int>>{{row.toolbar, Visible}}));
            EXPECT_TRUE(prompter.shown.empty());
        } else {
            EXPECT_TRUE(toggled.empty());
            ASSERT_EQ(prompter.shown.size(), 1u);
            EXPECT_EQ(prompter.shown[0].text, QString("Unable to access: !RecallTbr>>> ") + row.parameters);
            EXPECT_EQ(prompter.shown[0].details, QString("\"%1\" names no toolbar to recall").arg(row.parameters));
        }
    }
    EXPECT_TRUE(shell.calls.empty()); // a recall never reaches the shell
}

TEST_F(LauncherTest, OnlyTheExactMarkerRecallsAndAFaultInTheWindowsIsNotHidden)
{
    add(0, "Longer", std::string(RecallMarker) + "2", "2");
    add(0, "Case", "!recalltbr>>>", "2");
    add(0, "Recall", RecallMarker, "1");
    EXPECT_TRUE(launcher.activate(0, 1).ok());
    EXPECT_TRUE(launcher.activate(0, 2).ok());
    EXPECT_TRUE(toggled.empty());
    EXPECT_EQ(calls(), (std::vector<std::string>{"open !RecallTbr>>>2 | 2 | ", "open !recalltbr>>> | 2 | "}));
    // A throwing window is a bug: it reaches the event handler's boundary instead of
    // passing for a failed recall.
    applyMode = [](std::uint8_t, int) { throw std::runtime_error("window gone"); };
    EXPECT_THROW((void)launcher.activate(0, 3), std::runtime_error);
}

TEST_F(LauncherTest, DroppedFilesGoOneByOneToAProgramOrIntoAFolder)
{
    add(1, "Viewer", "/usr/bin/viewer", "--page 2");
    add(1, "Inbox", folder, "", KindFolder);
    launcher.filesDropped(1, 1, {"/home/u/a b.txt", "/home/u/x;rm -rf ~"});
    launcher.filesDropped(1, 2, {"/tmp/one.txt", "/tmp/two.txt"});
    EXPECT_EQ(calls(), (std::vector<std::string>{"start /usr/bin/viewer | --page 2 | /home/u/a b.txt",
                                                 "start /usr/bin/viewer | --page 2 | /home/u/x;rm -rf ~",
                                                 "copy /tmp/one.txt |  | " + folder,
                                                 "copy /tmp/two.txt |  | " + folder}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LauncherTest, FailedDropStopsAtTheFirstFailureAndItsDetailsNameTheFileThatFailed)
{
    add(1, "Viewer", "/usr/bin/viewer", "-x");
    const struct {
        std::vector<bool> answers;
        std::size_t calls;
        const char* details;
    } rows[] = {
        {{true, false, true}, 2, "/f/2: scripted failure 2"}, // the third file is never handed over
        {{false}, 1, "scripted failure 1"},                   // the text names the failing file
    };
    for (const auto& row : rows) {
        shell.calls.clear();
        prompter.shown.clear();
        shell.results.assign(row.answers.begin(), row.answers.end());
        launcher.filesDropped(1, 1, {"/f/1", "/f/2", "/f/3"});
        shell.results.clear();
        EXPECT_EQ(shell.calls.size(), row.calls);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].title, "Vyrelight Toolbar v2 Execution");
        EXPECT_EQ(prompter.shown[0].text, "Unable to execute: /usr/bin/viewer -x /f/1");
        EXPECT_EQ(prompter.shown[0].style, Prompter::Exclamation);
        EXPECT_EQ(prompter.shown[0].details, row.details);
    }
}

TEST_F(LauncherTest, DropOnARecallButtonStartsNothingAndFails)
{
    add(1, "Recall", RecallMarker, "2");
    launcher.filesDropped(1, 1, {"/f/1"});
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(toggled.empty());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Unable to execute: !RecallTbr>>> 2 /f/1");
    EXPECT_EQ(prompter.shown[0].details, "a recall button starts no program");
}

} // namespace
