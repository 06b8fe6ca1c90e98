// The configuration window's button commands on the whole program: each case checks the
// set, the toolbar file's bytes and the windows together.
#include "AppWorld.h"
#include "app/App.h"
#include "app/ButtonCommands.h"
#include "app/ToolbarCommands.h"
#include "editors/ToolbarEditor.h"
#include "config/ConfigWindow.h"
#include "editors/ButtonEditor.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace {

const QString Separator(11, QChar(0x2014));

// One button line of a toolbar file.
std::string line(const std::string& name, int kind = 1)
{
    return kind == KindSeparator ? ";;;4;;0;\r\n" : name + ";/bin/" + name + ";;" + std::to_string(kind) + ";;0;\r\n";
}

class ButtonCommandsTest : public ::testing::Test, protected AppWorld {
protected:

    // Starts with Default.vtb holding these buttons and the configuration window open
    // on toolbar 0.
    void start(const std::string& buttons, const std::string& moreToolbars = {})
    {
        write("Toolbars.cfg", CfgHeader + "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n" + moreToolbars);
        write("Default.vtb", VtbHeader + buttons);
        ASSERT_TRUE(launch());
        app->showConfig(0);
    }
    QListWidget* list() { return cfgChild<QListWidget>("lstBtns"); }
    QScrollBar* bar() { return cfgChild<QScrollBar>("vsbPos"); }
    QPushButton* btnCfg(int i) { return cfgChild<QPushButton>(QStringLiteral("btnCfg(%1)").arg(i)); }
    // The names in the records, the window's buttons and the list, each joined.
    QString inSet(int t = 0)
    {
        QStringList out;
        const TbrRec& tbr = app->set().Tbrs[t];
        for (int k = 1; k <= tbr.BtnCount; ++k)
            out << (tbr.Btns[k].Kind == KindSeparator ? "|" : QString::fromStdString(tbr.Btns[k].Name));
        return out.join(' ');
    }
    QString inWindow(int t = 0)
    {
        QStringList out;
        ButtonStrip& s = app->toolbars().ready(std::uint8_t(t)).strip();
        for (int p = 3; p <= s.buttonCount(); ++p)
            out << (s.style(p) == ButtonStrip::Style::Gap ? "|" : s.toolTipText(p));
        return out.join(' ');
    }
    QString inList()
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << (list()->item(i)->text() == Separator ? "|" : list()->item(i)->text());
        return out.join(' ');
    }
    // Checks set, window and list show these names, and the file holds these lines.
    void expectButtons(const QString& names, const std::string& fileLines)
    {
        EXPECT_EQ(inSet(), names);
        EXPECT_EQ(inWindow(), names);
        EXPECT_EQ(inList(), names);
        EXPECT_EQ(read("Default.vtb"), VtbHeader + fileLines);
    }
    ButtonStrip& strip(int t = 0) { return app->toolbars().ready(std::uint8_t(t)).strip(); }
    QPoint onStrip(int position, int t = 0) { return strip(t).buttonPixelRect(position).center(); }
    QPoint onLine(int row) { return list()->visualItemRect(list()->item(row)).center(); }
    // Drags with the left button on a widget, from one point to another, Escape pressed
    // on the way when asked.
    void drag(QWidget* on, QPoint from, QPoint to, bool escape = false)
    {
        QTest::mousePress(on, Qt::LeftButton, {}, from);
        QTest::mouseMove(on, to);
        if (escape)
            QTest::keyClick(QWidget::keyboardGrabber() ? QWidget::keyboardGrabber() : on, Qt::Key_Escape);
        QTest::mouseRelease(on, Qt::LeftButton, {}, to);
    }
    // Chooses an item of the menu a right click on the button at a position opens.
    void choose(int t, int position, const char* item)
    {
        QTest::mousePress(&strip(t), Qt::RightButton, {}, onStrip(position, t));
        QMenu* menu = app->toolbars().ready(std::uint8_t(t)).buttonMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->isVisible());
        menu->hide();
        menu->findChild<QAction*>(item)->trigger();
    }
    ButtonEditor* editor() { return app->buttons().editor(); }
    QLineEdit* box(int f) { return editor()->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(f)); }
    void pressOk() { editor()->findChild<QPushButton*>("btnCOM(0)")->click(); }
};

TEST_F(ButtonCommandsTest, EachStepOfThePositionBarExchangesSavesRebuildsAndKeepsTheButtonSelected)
{
    start(line("A") + line("B") + line("C") + line("", KindSeparator) + line("D"));
    const struct {
        int select; // -1: keep the selection
        Qt::Key key;
        const char* names;
        std::string file;
        int at; // the bar's value and the selected line afterwards
    } steps[] = {
        {1, Qt::Key_Down, "A C B | D", line("A") + line("C") + line("B") + line("", 4) + line("D"), 2},
        {-1, Qt::Key_Down, "A C | B D", line("A") + line("C") + line("", 4) + line("B") + line("D"), 3},
        {-1, Qt::Key_Up, "A C B | D", line("A") + line("C") + line("B") + line("", 4) + line("D"), 2},
        {3, Qt::Key_Up, "A C | B D", line("A") + line("C") + line("", 4) + line("B") + line("D"), 2}, // the separator
        {0, Qt::Key_Up, "A C | B D", line("A") + line("C") + line("", 4) + line("B") + line("D"), 0}, // top stays
        {4, Qt::Key_Down, "A C | B D", line("A") + line("C") + line("", 4) + line("B") + line("D"), 4},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.names);
        if (s.select >= 0) {
            list()->setCurrentRow(s.select);
            bar()->setFocus();
        }
        QTest::keyClick(bar(), s.key);
        expectButtons(s.names, s.file);
        EXPECT_EQ(bar()->value(), s.at);
        EXPECT_EQ(list()->currentRow(), s.at);
        EXPECT_EQ(app->config().focusWidget(), bar());
    }
    // Selecting lines moves nothing.
    const std::string before = read("Default.vtb");
    for (int row : {1, 4, 0})
        list()->setCurrentRow(row);
    EXPECT_EQ(read("Default.vtb"), before);
    EXPECT_EQ(inSet(), "A C | B D");
}

TEST_F(ButtonCommandsTest, AChangeTheFileDidNotTakeIsPutBackAndReported)
{
    start(line("A") + line("B"));
    // The file is now a folder: no save can replace it.
    std::remove(path("Default.vtb").c_str());
    QDir(dir.path()).mkdir("Default.vtb");
    list()->setCurrentRow(0);
    QTest::keyClick(bar(), Qt::Key_Down);
    EXPECT_EQ(inSet(), "A B");
    EXPECT_EQ(inWindow(), "A B");
    EXPECT_EQ(inList(), "A B");
    // A stays selected where it is, and the bar with it.
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_EQ(bar()->value(), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].style, Prompter::Critical);
    // Nor is a button added that the file did not take.
    btnCfg(1)->click();
    box(0)->setText("C");
    box(1)->setText("/bin/C");
    pressOk();
    EXPECT_EQ(inSet(), "A B");
    EXPECT_EQ(inList(), "A B");
}

TEST_F(ButtonCommandsTest, DeleteAsksWithTheButtonsNameAndPathAndOnYesRemovesItEverywhere)
{
    const std::string all = line("A") + line("B") + line("", KindSeparator) + line("D");
    start(all);
    list()->setCurrentRow(1);
    btnCfg(3)->click(); // the fake answers No
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Vyrelight Toolbar v2");
    EXPECT_EQ(prompter.shown[0].text, "Are you sure to delete: \r\n\r\nName:  'B'\r\nPath:  '/bin/B'\r\n");
    EXPECT_EQ(prompter.shown[0].style, Prompter::YesNoQuestion);
    expectButtons("A B | D", all);

    prompter.answers = {Prompter::Yes};
    btnCfg(3)->click();
    expectButtons("A | D", line("A") + line("", 4) + line("D"));
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_EQ(bar()->maximum(), 2);

    // A separator's box shows empty quotes.
    list()->setCurrentRow(1);
    prompter.answers = {Prompter::Yes};
    btnCfg(3)->click();
    EXPECT_EQ(prompter.shown.back().text, "Are you sure to delete: \r\n\r\nName:  ''\r\nPath:  ''\r\n");
    expectButtons("A D", line("A") + line("D"));

    // The last buttons go: the commands and the bar are off.
    for (int i = 0; i < 2; ++i) {
        prompter.answers = {Prompter::Yes};
        btnCfg(3)->click();
    }
    expectButtons("", "");
    EXPECT_FALSE(btnCfg(2)->isEnabled());
    EXPECT_FALSE(btnCfg(3)->isEnabled());
    EXPECT_FALSE(bar()->isEnabled());
}

TEST_F(ButtonCommandsTest, AddOpensTheEditorOverTheWindowAndOkAppendsSavesAndShowsTheButton)
{
    start(""); // a new user's empty toolbar
    EXPECT_FALSE(btnCfg(2)->isEnabled());
    btnCfg(1)->click();
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->windowTitle(), "Add Button");
    EXPECT_EQ(editor()->parentWidget(), &app->config());
    EXPECT_EQ(editor()->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(app->buttonEditorVisible());

    box(0)->setText("Folder");
    box(1)->setText(dir.path());
    pressOk();
    EXPECT_FALSE(app->buttonEditorVisible());
    expectButtons("Folder", "Folder;" + folder + ";;3;;0;\r\n");
    EXPECT_EQ(bar()->maximum(), 0);
    EXPECT_TRUE(btnCfg(2)->isEnabled());
    EXPECT_TRUE(btnCfg(3)->isEnabled());
    EXPECT_TRUE(bar()->isEnabled());
}

TEST_F(ButtonCommandsTest, TheFortyFirstButtonIsRefusedWithNothingChanged)
{
    std::string forty;
    for (int k = 1; k <= 40; ++k)
        forty += line("B" + std::to_string(k));
    start(forty);
    btnCfg(1)->click();
    box(0)->setText("One more");
    box(1)->setText("/bin/true");
    pressOk();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.contains("40 buttons")) << prompter.shown[0].text.toStdString();
    EXPECT_EQ(app->set().Tbrs[0].BtnCount, 40);
    EXPECT_EQ(read("Default.vtb"), VtbHeader + forty);
    EXPECT_EQ(app->toolbars().ready(0).strip().buttonCount(), 42);
    EXPECT_EQ(list()->count(), 40);
    EXPECT_TRUE(app->buttonEditorVisible()); // the typed button is not lost
}

TEST_F(ButtonCommandsTest, DoubleClickEditsTheButtonInPlace)
{
    start(line("A") + line("", KindSeparator) + line("C"));
    const QPoint c = list()->visualItemRect(list()->item(2)).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, c);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, c);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->windowTitle(), "Edit Button");
    EXPECT_EQ(box(1)->text(), "/bin/C");
    box(0)->setText("Sea");
    box(2)->setText("--fast");
    pressOk();
    expectButtons("A | Sea", line("A") + line("", 4) + "Sea;/bin/C;--fast;1;;0;\r\n");
}

TEST_F(ButtonCommandsTest, WhileTheEditorIsOpenAToolbarCannotTurnTheWindowToAnotherToolbar)
{
    write("o.vtb", VtbHeader + line("X"));
    start(line("A"), "Other;3000;3000;" + path("o.vtb") + ";;0;0;0;-1;0;0;0;\r\n");
    btnCfg(2)->click(); // edit A
    app->showConfig(1); // a double click on the other toolbar's handle
    EXPECT_TRUE(app->config().shows(0));
    box(0)->setText("Ay");
    pressOk();
    expectButtons("Ay", "Ay;/bin/A;;1;;0;\r\n");
    EXPECT_EQ(read("o.vtb"), VtbHeader + line("X"));
    // Closed, the editor holds nothing.
    app->showConfig(1);
    EXPECT_TRUE(app->config().shows(1));
}

// While "Edit Button" is open over the configuration window, a drop on a handle would
// change the edited button's target: the handle refuses the drag. An editor a drop
// opened holds what was typed: "Add" and "Edit" bring it forward instead of replacing it.
TEST_F(ButtonCommandsTest, AnOpenEditorKeepsItsTextsFromDropsAndFromAddAndEdit)
{
    start(line("A") + line("B"));
    ToolbarHandle& handle = app->toolbars().window(0).handle();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/opt/dropped.txt")});
    const auto dragAccepted = [&] {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&handle, &enter);
        return enter.isAccepted();
    };
    EXPECT_TRUE(dragAccepted());

    btnCfg(2)->click(); // edit A, modal
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(dragAccepted());
    emit handle.dropped(&data); // a drop that got through all the same
    EXPECT_EQ(box(1)->text(), "/bin/A");
    editor()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->toolbarCommands().add(); // the toolbar editor is modal too
    EXPECT_FALSE(dragAccepted());
    app->toolbarCommands().editor()->reject();
    EXPECT_TRUE(dragAccepted());

    // A drop opens a non-modal editor; the user types into it.
    emit handle.dropped(&data);
    ButtonEditor* dropped = editor();
    ASSERT_NE(dropped, nullptr);
    box(0)->setText("Typed");
    btnCfg(1)->click(); // Add
    EXPECT_EQ(editor(), dropped);
    btnCfg(2)->click(); // Edit
    EXPECT_EQ(editor(), dropped);
    EXPECT_EQ(box(0)->text(), "Typed");
    EXPECT_EQ(box(1)->text(), "/opt/dropped.txt");
    EXPECT_EQ(dropped->windowModality(), Qt::NonModal);
}

// A drop on a toolbar's handle: the configuration window turns to that toolbar, the
// editor opens without blocking, filled from the drop's first item; a second drop while
// it is open changes the target and keeps the typed name; OK adds to the toolbar chosen
// when OK is pressed.
TEST_F(ButtonCommandsTest, ADropOnAHandleStartsANewButtonOnThatToolbar)
{
    write("second.vtb", VtbHeader + line("S"));
    start(line("A"), "Second;1500;4500;" + path("second.vtb") + ";;0;0;0;-1;-1;0;0;\r\n");
    app->config().hide();
    const auto dropOnHandle = [&](int t, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        emit app->toolbars().window(std::uint8_t(t)).handle().dropped(&data);
    };
    dropOnHandle(1, {QUrl::fromLocalFile("/opt/win/Calc.exe"), QUrl::fromLocalFile("/opt/other.txt")});
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->windowModality(), Qt::NonModal);
    EXPECT_TRUE(app->configShows(1));
    EXPECT_EQ(editor()->windowTitle(), "Add Button");
    EXPECT_EQ(QStringList({box(0)->text(), box(1)->text(), box(3)->text(), box(4)->text()}),
              QStringList({"Calc", "/opt/win/Calc.exe", "/opt/win/Calc.exe", "1"}));

    // The user names it; a second drop replaces the target only.
    ButtonEditor* first = editor();
    box(0)->setText("Mine");
    dropOnHandle(1, {QUrl::fromLocalFile("/opt/notes/plan.odt")});
    EXPECT_EQ(editor(), first);
    EXPECT_EQ(box(0)->text(), "Mine");
    EXPECT_EQ(box(1)->text(), "/opt/notes/plan.odt");

    // Meanwhile the user turned the configuration window back to toolbar 0: OK adds there.
    app->config().selectToolbar(0);
    pressOk();
    expectButtons("A Mine", line("A") + "Mine;/opt/notes/plan.odt;;1;/opt/win/Calc.exe;1;\r\n");
    EXPECT_EQ(read("second.vtb"), VtbHeader + line("S"));
}

// A line dragged to another place in the list is the position bar's exchange once for
// each line passed, each saved; the moved button stays selected at its new line. Escape
// cancels the drag (and leaves the window open); a short press is only a selection.
TEST_F(ButtonCommandsTest, ALineDraggedInTheListPassesEachLineOnItsWayAndStaysSelected)
{
    start(line("A") + line("B") + line("C") + line("", KindSeparator) + line("D"));
    QWidget* lines = list()->viewport();
    drag(lines, onLine(0), onLine(3));
    expectButtons("B C | A D", line("B") + line("C") + line("", 4) + line("A") + line("D"));
    EXPECT_EQ(list()->currentRow(), 3);
    EXPECT_EQ(bar()->value(), 3);
    drag(lines, onLine(4), onLine(1));
    expectButtons("B D C | A", line("B") + line("D") + line("C") + line("", 4) + line("A"));
    EXPECT_EQ(list()->currentRow(), 1);
    EXPECT_EQ(bar()->value(), 1);

    const std::string before = read("Default.vtb");
    drag(lines, onLine(0), onLine(4), true);
    EXPECT_TRUE(app->config().isVisible());
    drag(lines, onLine(2), onLine(2) + QPoint(0, QApplication::startDragDistance() - 2));
    EXPECT_EQ(read("Default.vtb"), before);
    EXPECT_EQ(inSet(), "B D C | A");
    EXPECT_EQ(list()->currentRow(), 2);
}

// A right click on a button: "Edit Button..." turns the configuration window to its
// toolbar with its line selected under the editor; "Delete Button" asks first; the moves
// take it one place along. A change from another toolbar leaves the list alone, and
// while the editor works on a toolbar, that toolbar's buttons stay where they are.
TEST_F(ButtonCommandsTest, AButtonsMenuEditsDeletesAfterAskingAndMovesItOnePlace)
{
    write("o.vtb", VtbHeader + line("X") + line("Y"));
    start(line("A") + line("B") + line("C"), "Other;3000;3000;" + path("o.vtb") + ";;0;0;0;-1;0;0;0;\r\n");

    choose(1, 4, "C_mnuBTNBACK"); // Y
    EXPECT_EQ(read("o.vtb"), VtbHeader + line("Y") + line("X"));
    EXPECT_EQ(inWindow(1), "Y X");
    EXPECT_EQ(inList(), "A B C"); // the list shows toolbar 0 still

    choose(1, 4, "C_mnuBTNDEL"); // X; the fake answers No to the question Delete asks
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.contains("'X'"));
    EXPECT_EQ(read("o.vtb"), VtbHeader + line("Y") + line("X"));
    prompter.answers = {Prompter::Yes};
    choose(1, 4, "C_mnuBTNDEL");
    EXPECT_EQ(read("o.vtb"), VtbHeader + line("Y"));
    EXPECT_EQ(inWindow(1), "Y");
    EXPECT_EQ(inList(), "A B C");

    choose(0, 3, "C_mnuBTNON"); // A
    expectButtons("B A C", line("B") + line("A") + line("C"));
    EXPECT_EQ(list()->currentItem()->text(), "A");

    app->config().hide();
    choose(0, 5, "C_mnuBTNEDIT"); // C
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(app->configShows(0));
    EXPECT_EQ(list()->currentItem()->text(), "C");
    EXPECT_EQ(editor()->windowTitle(), "Edit Button");
    EXPECT_EQ(editor()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box(1)->text(), "/bin/C");
    // Meanwhile the toolbar's buttons stay put: the editor comes forward instead.
    choose(0, 5, "C_mnuBTNBACK");
    drag(&strip(), onStrip(5), onStrip(3));
    choose(0, 3, "C_mnuBTNDEL");
    expectButtons("B A C", line("B") + line("A") + line("C"));
    EXPECT_EQ(prompter.shown.size(), 2u); // no third question
    box(0)->setText("Sea");
    pressOk();
    expectButtons("B A Sea", line("B") + line("A") + "Sea;/bin/C;;1;;0;\r\n");

    // From the other toolbar, the window turns to it.
    choose(1, 3, "C_mnuBTNEDIT");
    EXPECT_TRUE(app->configShows(1));
    EXPECT_EQ(list()->currentItem()->text(), "Y");
    EXPECT_EQ(box(1)->text(), "/bin/Y");
}
} // namespace
