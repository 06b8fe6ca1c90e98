// The configuration window's button commands on the whole program: each case checks the
// set, the toolbar file's bytes and the windows together.
#include "AppWorld.h"
#include "app/ButtonCommands.h"
#include "app/ToolbarCommands.h"
#include "editors/ToolbarEditor.h"
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
#include <QScrollBar>
#include <QTest>
#include <QUrl>

namespace {

const QString Separator(11, QChar(0x2014));

// The toolbar file's lines for buttons named like "A B | C" ("|" a separator).
std::string lines(const QString& names)
{
    std::string out;
    for (const QString& n : names.split(' ', Qt::SkipEmptyParts))
        out += btnLine(n.toStdString(), n == "|");
    return out;
}

class ButtonCommandsTest : public ::testing::Test, protected AppWorld {
protected:
    // Starts with Default.vtb holding these buttons and the configuration window open
    // on toolbar 0.
    void start(const QString& buttons, const std::string& moreToolbars = {})
    {
        write("Default.vtb", VtbHeader + lines(buttons));
        open(DefaultLine + moreToolbars);
    }
    QListWidget* list() { return cfgChild<QListWidget>("lstBtns"); }
    QScrollBar* bar() { return cfgChild<QScrollBar>("vsbPos"); }
    template <typename F>
    static QString joined(int from, int to, F name)
    {
        QStringList out;
        for (int i = from; i <= to; ++i)
            out << name(i);
        return out.join(' ');
    }
    // The names in the records, the window's buttons and the list.
    QString inSet(int t = 0)
    {
        const TbrRec& r = app->set().Tbrs[t];
        return joined(1, r.BtnCount, [&](int k) {
            return r.Btns[k].Kind == KindSeparator ? QString("|") : QString::fromStdString(r.Btns[k].Name);
        });
    }
    QString inWindow(int t = 0)
    {
        return joined(3, strip(t).buttonCount(), [&](int p) {
            return strip(t).style(p) == ButtonStrip::Style::Gap ? QString("|") : strip(t).toolTipText(p);
        });
    }
    QString inList()
    {
        return joined(0, list()->count() - 1, [&](int i) {
            return list()->item(i)->text() == Separator ? QString("|") : list()->item(i)->text();
        });
    }
    // Checks set, window and list show these names, and the file holds their lines
    // (or these when given).
    void expectButtons(const QString& names, const std::string& fileLines = "?")
    {
        EXPECT_EQ(QStringList({inSet(), inWindow(), inList()}), QStringList({names, names, names}));
        EXPECT_EQ(read("Default.vtb"), VtbHeader + (fileLines == "?" ? lines(names) : fileLines));
    }
    // The selected line and the position bar's value.
    std::pair<int, int> at() { return {list()->currentRow(), bar()->value()}; }
    ButtonStrip& strip(int t = 0) { return app->toolbars().ready(std::uint8_t(t)).strip(); }
    QPoint onStrip(int position, int t = 0) { return strip(t).buttonPixelRect(position).center(); }
    QPoint onLine(int row) { return list()->visualItemRect(list()->item(row)).center(); }
    // Drags with the left button on a widget, Escape pressed on the way when asked.
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
        ASSERT_TRUE(menu && menu->isVisible());
        menu->hide();
        menu->findChild<QAction*>(item)->trigger();
    }
    ButtonEditor* editor() { return app->buttons().editor(); }
    QLineEdit* box(int f) { return editor()->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(f)); }
};

TEST_F(ButtonCommandsTest, EachStepOfThePositionBarOrALineDragExchangesSavesRebuildsAndKeepsTheButtonSelected)
{
    start("A B C | D");
    const struct {
        int select; // -1: keep the selection
        Qt::Key key;
        const char* names;
        int at; // the bar's value and the selected line afterwards
    } steps[] = {
        {1, Qt::Key_Down, "A C B | D", 2}, {-1, Qt::Key_Down, "A C | B D", 3}, {-1, Qt::Key_Up, "A C B | D", 2},
        {3, Qt::Key_Up, "A C | B D", 2}, // the separator
        {0, Qt::Key_Up, "A C | B D", 0}, // top stays
        {4, Qt::Key_Down, "A C | B D", 4},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.names);
        if (s.select >= 0) {
            list()->setCurrentRow(s.select);
            bar()->setFocus();
        }
        QTest::keyClick(bar(), s.key);
        expectButtons(s.names);
        EXPECT_EQ(at(), std::pair(s.at, s.at));
    }

    // A line dragged to another place in the list is the same exchange once for each line
    // passed. Escape cancels the drag (and leaves the window open); a short press only selects.
    QWidget* view = list()->viewport();
    drag(view, onLine(0), onLine(3));
    expectButtons("C | B A D");
    EXPECT_EQ(at(), std::pair(3, 3));
    drag(view, onLine(4), onLine(1));
    expectButtons("C D | B A");
    EXPECT_EQ(at(), std::pair(1, 1));
    drag(view, onLine(0), onLine(4), true);
    EXPECT_TRUE(app->config().isVisible());
    drag(view, onLine(2), onLine(2) + QPoint(0, QApplication::startDragDistance() - 2));
    expectButtons("C D | B A");
    EXPECT_EQ(list()->currentRow(), 2);
}

TEST_F(ButtonCommandsTest, AChangeTheFileDidNotTakeIsPutBackAndReported)
{
    start("A B");
    // The file is now a folder: no save can replace it.
    std::remove(path("Default.vtb").c_str());
    QDir(dir.path()).mkdir("Default.vtb");
    list()->setCurrentRow(0);
    QTest::keyClick(bar(), Qt::Key_Down);
    EXPECT_EQ(QStringList({inSet(), inWindow(), inList()}), QStringList({"A B", "A B", "A B"}));
    EXPECT_EQ(at(), std::pair(0, 0)); // A stays selected where it is, and the bar with it
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].style, Prompter::Critical);
    // Nor is a button added that the file did not take.
    command(1);
    enter(editor(), {"C", "/bin/C"});
    EXPECT_EQ(QStringList({inSet(), inList()}), QStringList({"A B", "A B"}));
}

TEST_F(ButtonCommandsTest, DeleteAsksWithTheButtonsNameAndPathAndOnYesRemovesItEverywhereThenAddAppends)
{
    start("A B | D");
    list()->setCurrentRow(1);
    command(3); // the fake answers No
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(std::tuple(prompter.shown[0].title, prompter.shown[0].text, prompter.shown[0].style),
              std::tuple(QString("Vyrelight Toolbar v2"), QString("Are you sure to delete: \r\n\r\nName:  'B'\r\nPath:  '/bin/B'\r\n"),
                         Prompter::YesNoQuestion));
    expectButtons("A B | D");

    prompter.answers = {Prompter::Yes};
    command(3);
    expectButtons("A | D");
    EXPECT_EQ(std::pair(list()->currentRow(), bar()->maximum()), std::pair(0, 2));

    // The last buttons go.
    for (int i = 0; i < 3; ++i) {
        prompter.answers = {Prompter::Yes};
        command(3);
    }
    expectButtons("");

    // Add opens the editor over the window; OK appends, saves and shows the button.
    command(1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(std::tuple(editor()->windowTitle(), editor()->parentWidget(), editor()->windowModality(), app->buttonEditorVisible()),
              std::tuple(QString("Add Button"), static_cast<QWidget*>(&app->config()), Qt::WindowModal, true));
    enter(editor(), {"Folder", dir.path()});
    EXPECT_FALSE(app->buttonEditorVisible());
    expectButtons("Folder", "Folder;" + folder + ";;3;;0;\r\n");
}

TEST_F(ButtonCommandsTest, TheFortyFirstButtonIsRefusedWithNothingChanged)
{
    QString forty;
    for (int k = 1; k <= 40; ++k)
        forty += QStringLiteral("B%1 ").arg(k);
    start(forty);
    command(1);
    enter(editor(), {"One more", "/bin/true"});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.contains("40 buttons")) << prompter.shown[0].text.toStdString();
    expectButtons(forty.trimmed());
    EXPECT_TRUE(app->buttonEditorVisible()); // the typed button is not lost
}

// A drop on a toolbar's handle: the configuration window turns to that toolbar, the
// editor opens without blocking, filled from the drop's first item; a second drop while
// it is open changes the target and keeps the typed name, "Add" and "Edit" bring it
// forward; OK adds to the toolbar chosen when OK is pressed. While a modal editor is
// open the handles refuse drags: a drop would change what that editor works on.
TEST_F(ButtonCommandsTest, ADropOnAHandleStartsANewButtonOnThatToolbarUnlessAModalEditorIsOpen)
{
    write("second.vtb", VtbHeader + btnLine("S"));
    start("A", "Second;1500;4500;" + path("second.vtb") + ";;0;0;0;-1;-1;0;0;\r\n");
    ToolbarHandle& handle = app->toolbars().window(1).handle();
    QMimeData data;
    const auto dragAccepted = [&] {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&handle, &enter);
        return enter.isAccepted();
    };
    const auto drop = [&](const QList<QUrl>& urls) {
        data.setUrls(urls);
        emit handle.dropped(&data);
    };
    data.setUrls({QUrl::fromLocalFile("/opt/dropped.txt")});
    EXPECT_TRUE(dragAccepted());
    command(2); // edit A, modal
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(dragAccepted());
    drop({QUrl::fromLocalFile("/opt/dropped.txt")}); // a drop that got through all the same
    EXPECT_EQ(box(1)->text(), "/bin/A");
    editor()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->toolbarCommands().add(); // the toolbar editor is modal too
    EXPECT_FALSE(dragAccepted());
    app->toolbarCommands().editor()->reject();
    EXPECT_TRUE(dragAccepted());

    app->config().hide();
    drop({QUrl::fromLocalFile("/opt/win/Calc.exe"), QUrl::fromLocalFile("/opt/other.txt")});
    ButtonEditor* first = editor();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::tuple(first->isVisible(), first->windowModality(), app->configShows(1), first->windowTitle()),
              std::tuple(true, Qt::NonModal, true, QString("Add Button")));
    EXPECT_EQ(QStringList({box(0)->text(), box(1)->text(), box(3)->text(), box(4)->text()}),
              QStringList({"Calc", "/opt/win/Calc.exe", "/opt/win/Calc.exe", "1"}));

    // The user names it; a second drop replaces the target only; Add and Edit keep it.
    box(0)->setText("Mine");
    drop({QUrl::fromLocalFile("/opt/notes/plan.odt")});
    for (int c : {1, 2}) {
        command(c);
        EXPECT_EQ(editor(), first) << c;
    }
    EXPECT_EQ(QStringList({box(0)->text(), box(1)->text()}), QStringList({"Mine", "/opt/notes/plan.odt"}));

    // Meanwhile the user turned the configuration window back to toolbar 0: OK adds there.
    app->config().selectToolbar(0);
    press(editor());
    expectButtons("A Mine", btnLine("A") + "Mine;/opt/notes/plan.odt;;1;/opt/win/Calc.exe;1;\r\n");
    EXPECT_EQ(read("second.vtb"), VtbHeader + btnLine("S"));
}

// A right click on a button: "Edit Button..." turns the configuration window to its
// toolbar with its line selected under the editor; "Delete Button" asks first; the moves
// take it one place along. A change from another toolbar leaves the list alone, and
// while the editor works on a toolbar, that toolbar's buttons and the window stay put.
TEST_F(ButtonCommandsTest, AButtonsMenuEditsDeletesAfterAskingAndMovesItOnePlace)
{
    write("o.vtb", VtbHeader + lines("X Y"));
    start("A B C", "Other;3000;3000;" + path("o.vtb") + ";;0;0;0;-1;0;0;0;\r\n");
    const auto other = [&] { return std::pair(read("o.vtb"), inWindow(1)); };

    choose(1, 4, "C_mnuBTNBACK"); // Y
    EXPECT_EQ(other(), std::pair(VtbHeader + lines("Y X"), QString("Y X")));
    choose(1, 4, "C_mnuBTNDEL"); // X; the fake answers No to the question Delete asks
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.contains("'X'"));
    EXPECT_EQ(other(), std::pair(VtbHeader + lines("Y X"), QString("Y X")));
    prompter.answers = {Prompter::Yes};
    choose(1, 4, "C_mnuBTNDEL");
    EXPECT_EQ(other(), std::pair(VtbHeader + lines("Y"), QString("Y")));
    EXPECT_EQ(inList(), "A B C"); // the list shows toolbar 0 still

    choose(0, 3, "C_mnuBTNON"); // A
    expectButtons("B A C");
    EXPECT_EQ(list()->currentItem()->text(), "A");

    app->config().hide();
    choose(0, 5, "C_mnuBTNEDIT"); // C
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(std::tuple(app->configShows(0), list()->currentItem()->text(), editor()->windowTitle(), editor()->windowModality(), box(1)->text()),
              std::tuple(true, QString("C"), QString("Edit Button"), Qt::WindowModal, QString("/bin/C")));
    // Meanwhile the toolbar's buttons stay put: the editor comes forward instead.
    choose(0, 5, "C_mnuBTNBACK");
    drag(&strip(), onStrip(5), onStrip(3));
    choose(0, 3, "C_mnuBTNDEL");
    expectButtons("B A C");
    EXPECT_EQ(prompter.shown.size(), 2u); // no third question
    // Nor does a double click on another toolbar's handle turn the window away from it.
    app->showConfig(1);
    EXPECT_TRUE(app->config().shows(0));
    enter(editor(), {"Sea", QString(), "--fast"});
    expectButtons("B A Sea", lines("B A") + "Sea;/bin/C;--fast;1;;0;\r\n");

    // From the other toolbar, the window turns to it.
    choose(1, 3, "C_mnuBTNEDIT");
    EXPECT_TRUE(app->configShows(1));
    EXPECT_EQ(list()->currentItem()->text(), "Y");
    EXPECT_EQ(box(1)->text(), "/bin/Y");
}
} // namespace
