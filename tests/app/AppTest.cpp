// Start-up and shutdown of the whole program on a temporary folder, with fake services:
// what lands on disk, which windows come up, and how the windows' requests are carried out.
#include "AppWorld.h"
#include "app/ProgramIcon.h"
#include "support/Descriptors.h"
#include "support/FakeClock.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class AppTest : public ::testing::Test, protected AppWorld {
protected:
    // Starts, on a configuration of these toolbar lines when there are.
    bool start(const std::string& lines = {}) { return launch(lines, clock); }
    // Toolbar t's window, built first if it was not yet (as anything needing it does).
    ToolbarWindow& window(int t) { return app->toolbars().ready(static_cast<std::uint8_t>(t)); }
    bool hasWindow(int t) const { return app->toolbars().find(static_cast<std::uint8_t>(t)) != nullptr; }

    Clock* clock = nullptr; // real time unless a test paces the folds
};

TEST_F(AppTest, FirstStartWritesTheDefaultFilesAndAWrongVersionEndsStartUpKeepingTheFile)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(std::pair(read("Toolbars.cfg"), read("Default.vtb")), std::pair(CfgHeader + "Default;1200;1200;;;0;0;0;-1;-1;0;0;\r\n", VtbHeader));
    EXPECT_EQ(std::pair(window(0).isVisible(), window(0).geometry()), std::pair(true, QRect(80, 80, 28, 28))); // 1200, 1200, 420, 420 twips

    const std::string old = "Quorrelind's Vyrelight Toolbars v1\r\nMine;1;2;;;0;0;0;-1;-1;0;0;\r\n";
    write("Toolbars.cfg", old);
    EXPECT_FALSE(start());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].style, Prompter::Exclamation);
    // Shutting down after the failed start must not overwrite the user's file.
    app->quit();
    EXPECT_EQ(read("Toolbars.cfg"), old);
}

// A recall button shows and hides its toolbar, and each time the set is saved.
TEST_F(AppTest, VisibleToolbarsAndToolbarZeroAreBuiltAndShownHiddenOnesWhenFirstNeededThenRecalled)
{
    const std::string buttons = VtbHeader + btnLine("A") + "\r\n" + btnLine("B") + btnLine("", true) + "C;/tmp;;3;;0;\r\n";
    for (const char* file : {"h.vtb", "s.vtb"})
        write(file, buttons);
    write("Default.vtb", VtbHeader + "Hidden;!RecallTbr>>>;1;1;;0;\r\n");
    ASSERT_TRUE(start("Zero;1500;1500;;;0;0;0;0;0;0;0;\r\n" // Visible off: shown all the same
                      "Hidden;3000;1500;" + path("h.vtb") + ";;0;0;0;0;0;0;0;\r\n"
                      + "Shown;4500;1500;" + path("s.vtb") + ";;0;-1;0;0;-1;0;0;\r\n"));
    EXPECT_EQ(std::tuple(hasWindow(1), app->set().Tbrs[1].BtnsRead), std::tuple(false, false)); // nor read
    for (int t : {0, 2})
        EXPECT_TRUE(hasWindow(t) && window(t).isVisible()) << t;
    // The handle picture for the configuration window builds the hidden one, hidden.
    app->handlePicture(1);
    ASSERT_TRUE(hasWindow(1));
    EXPECT_EQ(std::tuple(window(1).isVisible(), window(1).strip().buttonCount()), std::tuple(false, 2 + 4));
    for (const char* visible : {"-1", "0"}) {
        app->buttonClicked(0, 1);
        EXPECT_EQ(window(1).isVisible(), visible[0] == '-');
        EXPECT_NE(read("Toolbars.cfg").find("Hidden;3000;1500;" + path("h.vtb") + ";;0;0;0;0;" + visible + ";0;0;\r\n"), std::string::npos);
    }
}

// The end's save is what a logout keeps: it works with every other descriptor in use,
// and when it fails all the same the process must not report success.
TEST_F(AppTest, TerminateSavesLivePositionsOfMoveableToolbarsOnlyEndsOnceAndAFailedSaveIsNoSuccess)
{
    ASSERT_TRUE(start("Free;1500;1500;;;0;0;0;-1;-1;0;0;\r\n"
                      "Fixed;3000;3000;" + path("f.vtb") + ";;0;0;0;0;-1;0;-1;\r\n"));
    window(0).moveTwips(1800, 1650, window(0).widthTwips(), window(0).heightTwips());
    window(1).moveTwips(6000, 6000, window(1).widthTwips(), window(1).heightTwips());
    QSignalSpy ended(app.get(), &App::finished);
    {
        AllDescriptorsTaken flood;
        ASSERT_TRUE(flood.taken());
        app->quit();
        app->quit();
    }
    EXPECT_EQ(std::pair(ended.count(), app->endSaveFailed()), std::pair(qsizetype(1), false));
    EXPECT_EQ(read("Toolbars.cfg"), CfgHeader + "Free;1650;1800;;;0;0;0;-1;-1;0;0;\r\n" + "Fixed;3000;3000;"
                                        + path("f.vtb") + ";;0;0;0;0;-1;0;-1;\r\n");
    // Whatever still asks afterwards (a late event), no window comes back.
    app->handlePicture(0);
    app->applyMode(1, Visible);
    EXPECT_FALSE(hasWindow(0) || hasWindow(1));

    // A folder in the file's place: nothing can be written there.
    ASSERT_TRUE(start(DefaultLine));
    ASSERT_EQ(::unlink(path("Toolbars.cfg").c_str()), 0);
    ASSERT_EQ(::mkdir(path("Toolbars.cfg").c_str(), 0700), 0);
    app->quit();
    EXPECT_TRUE(app->endSaveFailed());
    ::rmdir(path("Toolbars.cfg").c_str());
}

// Ending arrives on its own event (a signal, the menu's queued item), possibly while a
// toolbar folds or right after its mode item ran (which ticks the configuration window
// showing it). The windows must outlive every handler
// of theirs that is still to run; the ASan build of these tests checks the memory itself.
TEST_F(AppTest, EndingDuringAFoldOrAfterAModeItemFreesNoWindowUnderItsOwnHandler)
{
    FakeClock fake;
    clock = &fake;
    write("t.vtb", VtbHeader + btnLine("A") + btnLine("B") + btnLine("C"));
    ASSERT_TRUE(start(DefaultLine + "Two;3000;3000;" + path("t.vtb") + ";;0;0;0;0;-1;0;0;\r\n"));
    QPointer<ToolbarWindow> two(&window(1));
    QAction* autoHide = two->menu().findChild<QAction*>("M_mnuAHIDE");
    ASSERT_NE(autoHide, nullptr);
    app->showConfig(1);
    autoHide->trigger(); // Auto Hide from the menu: the fold begins, saved and ticked at once
    ASSERT_TRUE(two->folding());
    EXPECT_NE(read("Toolbars.cfg").find(";0;0;0;-1;-1;0;\r\n"), std::string::npos);
    auto* box = cfgChild<QCheckBox>("chkMode(4)");
    EXPECT_TRUE(box->isChecked());
    app->applyMode(0, 4); // another toolbar's change leaves the boxes alone
    EXPECT_TRUE(box->isChecked());

    app->quit();
    // Still there for whatever handler of its own is running; never stepped again.
    ASSERT_FALSE(two.isNull());
    EXPECT_FALSE(two->isVisible() || two->folding());
    const float width = two->widthTwips();
    fake.settle();
    EXPECT_EQ(two->widthTwips(), width);
    const std::string saved = read("Toolbars.cfg");
    EXPECT_NE(saved.find("Two;3000;3000;" + path("t.vtb") + ";;0;0;0;0;-1;-1;0;\r\n"), std::string::npos);
    autoHide->trigger(); // a late mode item changes nothing once ending has begun
    fake.settle();
    EXPECT_EQ(read("Toolbars.cfg"), saved);
    EXPECT_FALSE(two->folding());

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(two.isNull());
    app.reset(); // the other windows' tickers end before the clock they run on
}

TEST_F(AppTest, UnreadableToolbarFilesOfOneStartUpComeInOneBoxNamingEach)
{
    std::string lines = DefaultLine;
    for (int i = 1; i <= 3; ++i)
        lines += "Gone" + std::to_string(i) + ";1;1;" + path("gone/g" + std::to_string(i) + ".vtb") + ";;0;0;0;0;-1;0;0;\r\n";
    lines += "Fine;1;1;fine.vtb;;0;0;0;0;-1;0;0;\r\n";
    ASSERT_TRUE(start(lines));
    ASSERT_EQ(prompter.shown.size(), 1u);
    const QString text = prompter.shown[0].text;
    EXPECT_TRUE(text.startsWith("Error#R_0003 (I/O) Intercepted")) << text.toStdString();
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(text.contains(QString("Toolbar \"Gone%1\", file: %2").arg(i).arg(QString::fromStdString(path("gone/g" + std::to_string(i) + ".vtb")))))
            << text.toStdString();
    EXPECT_EQ(std::pair(hasWindow(4), read("fine.vtb")), std::pair(true, VtbHeader)); // the others came up all the same
}

// A hidden toolbar's file is read by whatever first needs its buttons, and what the
// reading says is said once: in a box after the handler, or in a list's answer.
TEST_F(AppTest, AHiddenToolbarsFileIsReadByItsFirstUseWhicheverItIsAndAFailureSaidOnce)
{
    const std::string hidden = "Gone;1;1;gone/g.vtb;;0;0;0;0;0;0;0;\r\nHidden;1;1;h.vtb;;0;0;0;0;0;0;0;\r\n";
    const std::string ab = VtbHeader + btnLine("A") + btnLine("B"), ba = VtbHeader + btnLine("B") + btnLine("A");
    using Use = std::function<bool(App&, std::uint8_t)>; // true when the use did its work
    const struct { const char* what; Use use; std::string file{}; bool boxed{true}; } rows[] = {
        {"window", [](App& a, std::uint8_t t) { return a.toolbars().ready(t).strip().buttonCount() == 4; }},
        {"configuration window", [](App& a, std::uint8_t t) { a.showConfig(t); return a.config().selectButton(2); }},
        {"press", [](App& a, std::uint8_t t) { return a.runCommand({"press", a.set().Tbrs[t].Name, "B"})[0] == "0"; }},
        {"list", [](App& a, std::uint8_t) {
             const std::vector<std::string> r = a.runCommand({"list"});
             return r[1].find("\tB\t2\tB\t/bin/B\n") != std::string::npos && r[2].find("the buttons of toolbar 'Gone' could not be read: ") == 0;
         }, ab, false},
        {"button exchange", [](App& a, std::uint8_t t) { return a.exchangeButtons(t, 1, 2); }, ba},
    };
    for (const auto& row : rows) {
        write("h.vtb", ab);
        prompter.shown.clear();
        ASSERT_TRUE(start(DefaultLine + hidden));
        EXPECT_EQ(std::tuple(prompter.shown.size(), app->set().Tbrs[1].BtnsRead, app->set().Tbrs[2].BtnsRead), std::tuple(0u, false, false));
        EXPECT_TRUE(row.use(*app, 2)) << row.what;
        for (int twice = 0; twice < 2; ++twice)
            row.use(*app, 1);
        QCoreApplication::processEvents();
        EXPECT_EQ(std::pair(read("h.vtb"), prompter.shown.size()), std::pair(row.file.empty() ? ab : row.file, std::size_t(row.boxed))) << row.what;
    }
    // Removing a toolbar moves the records after it with their marks: the unread one that
    // takes a read one's place is read, not written empty, when first changed.
    write("h.vtb", ab);
    ASSERT_TRUE(start(DefaultLine + hidden));
    app->toolbars().ready(1);
    prompter.answers = {Prompter::Yes};
    app->deleteToolbar(1);
    EXPECT_TRUE(app->exchangeButtons(1, 1, 2));
    EXPECT_EQ(read("h.vtb"), ba);
}

TEST_F(AppTest, AReadOnlyConfigurationOrFolderIsNotSavedAndTheUserIsToldOnce)
{
    const std::string cfg = CfgHeader + DefaultLine;
    write("Toolbars.cfg", cfg);
    ::chmod(path("Toolbars.cfg").c_str(), 0444);
    ASSERT_TRUE(start());
    app->applyMode(0, 1); // each switch saves
    app->applyMode(0, 1);
    app->quit();
    ASSERT_EQ(std::pair(read("Toolbars.cfg"), prompter.shown.size()), std::pair(cfg, std::size_t(1)));
    EXPECT_TRUE(prompter.shown[0].text.contains("read-only")) << prompter.shown[0].text.toStdString();

    // When the first save is the last one, ending is not held up by a box: it is logged.
    // Left alone on purpose, the file is no failed save.
    prompter.shown.clear();
    ASSERT_TRUE(start());
    app->quit();
    EXPECT_EQ(std::pair(prompter.shown.empty(), app->endSaveFailed()), std::pair(true, false));

    // A folder that cannot be written starts read-only and says so.
    ::chmod(path("Toolbars.cfg").c_str(), 0644);
    app = std::make_unique<App>(Services{prompter, shell, icons, pointer, dialogs}, folder);
    app->setReadOnly();
    ASSERT_TRUE(app->start());
    app->applyMode(0, 1);
    app->quit();
    ASSERT_EQ(std::pair(read("Toolbars.cfg"), prompter.shown.size()), std::pair(cfg, std::size_t(1)));
    EXPECT_TRUE(prompter.shown[0].text.contains("cannot be written")) << prompter.shown[0].text.toStdString();
}

} // namespace

// A press from the command line whose start fails: the asker gets status 1 and the
// reason at once, and the message a click shows comes up after, from the event loop.
// --focus: a hidden toolbar is shown (and stays so), and its buttons get the keyboard.
TEST_F(AppTest, CommandPressThatFailsAnswersFirstAndFocusGivesTheButtonsTheKeyboard)
{
    write("Default.vtb", VtbHeader + "Run it;/bin/true;;1;;0;\r\n");
    write("h.vtb", VtbHeader + btnLine("", true) + btnLine("Second"));
    ASSERT_TRUE(start(DefaultLine + "My tools;3000;1500;" + path("h.vtb") + ";;0;0;0;0;0;0;0;\r\n"));
    shell.failAll = true;
    const std::vector<std::string> answer = app->runCommand({"press", "default", "run IT"});
    ASSERT_EQ(answer.size(), 3u);
    EXPECT_EQ(answer[0], "1");
    EXPECT_NE(answer[2].find("scripted failure 1"), std::string::npos) << answer[2];
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.shown.empty(); }, 2000));
    EXPECT_EQ(std::pair(prompter.shown[0].title, shell.calls.size()), std::pair(QString("Run it"), std::size_t(1))); // Cancel: not started again


    EXPECT_EQ(app->runCommand({"focus", "my TOOLS"}), std::vector<std::string>({"0", "", ""}));
    ToolbarWindow& w = window(1);
    EXPECT_EQ(std::tuple(w.isVisible(), isTrue(app->set().Tbrs[1].Visible), w.strip().focusMark()), std::tuple(true, true, 4)); // past the separator
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &w.strip(); }, 2000));

    // A name the set lacks is a failure, a missing word a usage error.
    const std::pair<std::vector<std::string>, const char*> wrong[] = { // the words, the status
        {{"press", "Default"}, "2"}, {{"press", "1", "2"}, "1"}, {{"focus", "3"}, "1"}, {{"focus"}, "2"}};
    for (const auto& [words, status] : wrong)
        EXPECT_EQ(app->runCommand(words)[0], status) << testing::PrintToString(words);
}

// The program's icon comes after the start: a window made before then takes it when it
// comes, once, however often it is asked for afterwards.
TEST(ProgramIconTest, AWindowMadeBeforeTheIconTakesItWhenItComesOnce)
{
    ASSERT_TRUE(QApplication::windowIcon().isNull());
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    const QIcon made(picture);
    QWidget early;
    early.show();
    int changes = 0;
    struct Counter : QObject {
        int& n;
        explicit Counter(int& count) : n(count) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            n += e->type() == QEvent::WindowIconChange;
            return false;
        }
    } counter(changes);
    early.installEventFilter(&counter);

    ProgramIcon icon([&] { return made; });
    icon.setAfter(std::chrono::milliseconds(0));
    EXPECT_FALSE(icon.isSet());
    ASSERT_TRUE(QTest::qWaitFor([&] { return icon.isSet(); }, 2000));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(early.windowIcon().cacheKey(), made.cacheKey());
    icon.set();
    icon.setAfter(std::chrono::milliseconds(0));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    QApplication::setWindowIcon(QIcon());
}
