// Adding, editing and deleting toolbars through the configuration window, as a user
// does it: the command buttons, the toolbar editor and the confirmation box, with the
// set, the files on disk and the windows checked together after each.
#include "AppWorld.h"
#include "app/App.h"
#include "app/ButtonCommands.h"
#include "app/ToolbarCommands.h"
#include "config/ConfigWindow.h"
#include "editors/ButtonEditor.h"
#include "editors/ToolbarEditor.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {


// One program on its own folder with fake services.
struct World : AppWorld {

    // Starts on these toolbar lines (none: the default set) with the configuration
    // window open on toolbar t.
    void start(const std::string& lines = {}, int t = 0)
    {
        ASSERT_TRUE(launch(lines));
        app->showConfig(static_cast<std::uint8_t>(t));
    }

    void command(int i) { cfgChild<QPushButton>(QStringLiteral("btnCfg(%1)").arg(i))->click(); }
    QComboBox* toolbarList() { return cfgChild<QComboBox>("cbxTbrs"); }
    QStringList listed()
    {
        QStringList out;
        for (int i = 0; i < toolbarList()->count(); ++i)
            out << toolbarList()->itemText(i);
        return out;
    }

    ToolbarEditor* editor() { return app->toolbarCommands().editor(); }
    QLineEdit* field(int i)
    {
        auto* e = editor() ? editor()->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(i)) : nullptr;
        EXPECT_NE(e, nullptr) << i;
        return e;
    }
    // Opens the add command's editor, types the fields and presses OK.
    void add(const QString& name, const QString& path = {}, const QString& icon = {}, const QString& index = {})
    {
        command(4);
        ASSERT_NE(editor(), nullptr);
        ASSERT_EQ(editor()->windowTitle(), "Add Toolbar");
        field(0)->setText(name);
        field(1)->setText(path);
        field(2)->setText(icon);
        field(3)->setText(index);
        editor()->findChild<QPushButton*>("btnCOM(0)")->click();
    }
    bool editorOpen() { return editor() && editor()->isVisible(); }
    std::string cfgLine(const std::string& name, const std::string& path)
    {
        return name + ";0;0;" + path + ";;0;0;0;0;0;0;0;\r\n";
    }
};

TEST(ToolbarCommands, AddToolbarComposesTheFileTakesOverAnExistingOneAndLeavesTheWindowHidden)
{
    const struct {
        const char* name;
        const char* typed;        // the path typed, "@" for the data folder
        const char* expectedPath; // likewise
        int buttons;              // found in an existing file
    } rows[] = {
        {"Work", "", "@/Work.vtb", 0},
        {"Sub", "sub/tools", "@/sub/tools.vtb", 0},        // relative: in the data folder
        {"Abs", "@/abs.vtb", "@/abs.vtb", 0},
        {"Upper", "@/abs.VTB", "@/abs.VTB.vtb", 0},        // the extension's case counts
        {"Taken", "@/old", "@/old.vtb", 2},                // an existing file's buttons
        {"Blank name ok", "  ", "@/Blank name ok.vtb", 0}, // blanks are no path
        // A name is no path: its file stays in the data folder.
        {"../escape", "", "@/.._escape.vtb", 0},
        {"a/b", "", "@/a_b.vtb", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        std::filesystem::create_directory(w.path("sub"));
        const std::string old = VtbHeader + "A;/bin/a;;1;;0;\r\nB;/bin/b;;1;;0;\r\n";
        w.write("old.vtb", old);
        w.start();
        const std::string cfgBefore = w.read("Toolbars.cfg");
        const auto at = [&](const char* p) { return QString::fromStdString(p).replace("@", QString::fromStdString(w.folder)); };
        w.add(row.name, at(row.typed));

        EXPECT_FALSE(w.editorOpen());
        EXPECT_TRUE(w.prompter.shown.empty());
        const std::string path = at(row.expectedPath).toStdString();
        ToolbarSet& set = w.app->set();
        ASSERT_EQ(set.TbrLast, 1);
        EXPECT_EQ(set.Tbrs[1].Name, row.name);
        EXPECT_EQ(set.Tbrs[1].Path, path);
        EXPECT_EQ(set.Tbrs[1].BtnCount, row.buttons);
        EXPECT_EQ(w.read("Toolbars.cfg"), cfgBefore + w.cfgLine(row.name, path));
        EXPECT_EQ(std::filesystem::exists(path) ? (row.buttons ? old : VtbHeader) : "missing",
                  row.buttons ? old : VtbHeader);
        // Listed last and chosen, so the user sees it; the window made, hidden, in the corner.
        EXPECT_EQ(w.listed(), QStringList({"Default", row.name}));
        EXPECT_EQ(w.toolbarList()->currentIndex(), 1);
        EXPECT_EQ(w.cfgChild<QListWidget>("lstBtns")->count(), row.buttons);
        EXPECT_FALSE(w.cfgChild<QCheckBox>("chkMode(3)")->isChecked());
        EXPECT_TRUE(w.cfgChild<QCheckBox>("chkMode(3)")->isEnabled());
        ToolbarWindow* win = w.app->toolbars().find(1);
        ASSERT_NE(win, nullptr);
        EXPECT_FALSE(win->isVisible());
        EXPECT_EQ(win->index(), 1);
        EXPECT_EQ(std::pair(win->leftTwips(), win->topTwips()), std::pair(0.0f, 0.0f));
        EXPECT_EQ(win->strip().buttonCount(), 2 + row.buttons);
    }
}

TEST(ToolbarCommands, NewToolbarShowsOnceVisibleIsTickedAndTheCancelChangesNothing)
{
    World w;
    w.start();
    const std::string cfg = w.read("Toolbars.cfg");
    w.command(4);
    w.field(0)->setText("Gone");
    w.editor()->findChild<QPushButton*>("btnCOM(1)")->click();
    EXPECT_FALSE(w.editorOpen());
    EXPECT_EQ(w.app->set().TbrLast, 0);
    EXPECT_EQ(w.read("Toolbars.cfg"), cfg);
    EXPECT_FALSE(w.exists("Gone.vtb"));

    // Turned to the new toolbar, the window's Visible box shows it.
    w.add("Shown");
    w.cfgChild<QCheckBox>("chkMode(3)")->click();
    EXPECT_TRUE(w.app->toolbars().find(1)->isVisible());
    EXPECT_EQ(w.read("Toolbars.cfg"), cfg + "Shown;0;0;" + w.path("Shown.vtb") + ";;0;0;0;0;-1;0;0;\r\n");
}

TEST(ToolbarCommands, BadInputIsRefusedWithAMessageAndChangesNothing)
{
    const struct {
        const char* what;
        const char* name;
        const char* path; // "@": the data folder
        const char* icon;
        const char* index;
        const char* says; // part of the message
    } rows[] = {
        {"semicolon in the name", "a;b", "", "", "", "\"Name\" cannot hold the character \";\""},
        {"line break in the name", "a\nb", "", "", "", "\"Name\" cannot hold a line break"},
        {"semicolon in the path", "P", "@/x;y", "", "", "\"Path\" cannot hold the character \";\""},
        {"carriage return in the icon", "I", "", "i\r.ico", "1", "\"Icon\" cannot hold a line break"},
        {"icon index too large", "N", "", "i.ico", "32768", "\"Icon index\""},
        {"icon index negative", "N", "", "i.ico", "-1", "\"Icon index\""},
        {"missing folder", "M", "@/nowhere/m", "", "", "folder of the toolbar file does not exist"},
        {"a folder for a file", "F", "@/dir.vtb", "", "", "is a folder"},
        {"file of another toolbar", "D", "@/Default.vtb", "", "", "\"Default\" already uses this file"},
        {"same file by another name", "D", "@/sub/../Default", "", "", "\"Default\" already uses"},
        {"composed to another's file", "Default", "", "", "", "\"Default\" already uses"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        World w;
        std::filesystem::create_directory(w.path("sub"));
        std::filesystem::create_directory(w.path("dir.vtb"));
        w.start();
        const std::string cfg = w.read("Toolbars.cfg");
        const QStringList files = QDir(QString::fromStdString(w.folder)).entryList(QDir::Files);
        QString path = QString::fromUtf8(row.path).replace("@", QString::fromStdString(w.folder));
        w.add(QString::fromUtf8(row.name), path, QString::fromUtf8(row.icon), QString::fromUtf8(row.index));
        ASSERT_EQ(w.prompter.shown.size(), 1u);
        EXPECT_TRUE(w.prompter.shown[0].text.contains(QString::fromUtf8(row.says)))
            << w.prompter.shown[0].text.toStdString();
        EXPECT_EQ(w.prompter.shown[0].title, "Vyrelight Toolbar v2");
        EXPECT_EQ(w.prompter.shown[0].style, Prompter::Exclamation);
        // Still open to be mended; nothing in the set, on disk or on screen.
        EXPECT_TRUE(w.editorOpen());
        EXPECT_EQ(w.app->set().TbrLast, 0);
        EXPECT_EQ(w.read("Toolbars.cfg"), cfg);
        EXPECT_EQ(w.app->toolbars().find(1), nullptr);
        EXPECT_EQ(w.listed(), QStringList({"Default"}));
        EXPECT_EQ(QDir(QString::fromStdString(w.folder)).entryList(QDir::Files), files);
    }
}

TEST(ToolbarCommands, A257thToolbarIsRefusedAndTheSetStaysWhole)
{
    World w;
    std::string lines;
    for (int i = 0; i < 256; ++i)
        lines += "T" + std::to_string(i) + ";0;0;" + w.path("t" + std::to_string(i) + ".vtb") + ";;0;0;0;0;0;0;0;\r\n";
    w.start(lines);
    ASSERT_EQ(w.app->set().TbrLast, 255);
    const std::string cfg = w.read("Toolbars.cfg");
    w.add("One too many");
    ASSERT_EQ(w.prompter.shown.size(), 1u);
    EXPECT_TRUE(w.prompter.shown[0].text.contains("256 toolbars"));
    EXPECT_EQ(w.app->set().TbrLast, 255);
    EXPECT_EQ(w.app->set().Tbrs[0].Name, "T0");
    EXPECT_EQ(w.read("Toolbars.cfg"), cfg);
    EXPECT_FALSE(w.exists("One too many.vtb"));
}

TEST(ToolbarCommands, EditToolbarRenamesInPlaceKeepsThePathAndShowsTheNewIconAtOnce)
{
    World w;
    w.icons.serve("/icons/red.ico", {FakeIconSource::solid(qRgb(200, 0, 0))});
    w.start("Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n"
            "One;1500;3000;" + w.path("one.vtb") + ";;0;0;0;0;-1;0;0;\r\n"
            "Two;1500;4500;" + w.path("two.vtb") + ";;0;0;0;0;-1;0;0;\r\n",
            2);
    w.command(6);
    // The editor opens on the selected toolbar's record (how it fills is the editor's own test).
    ASSERT_NE(w.editor(), nullptr);
    EXPECT_EQ(w.field(0)->text(), "Two");
    w.field(0)->setText("Renamed");
    w.field(2)->setText("/icons/red.ico");
    w.field(3)->setText("1");
    w.editor()->findChild<QPushButton*>("btnCOM(0)")->click();

    EXPECT_EQ(w.listed(), QStringList({"Default", "One", "Renamed"}));
    EXPECT_EQ(w.toolbarList()->currentIndex(), 2);
    EXPECT_EQ(w.read("Toolbars.cfg"), CfgHeader + "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n"
                                          + "One;1500;3000;" + w.path("one.vtb") + ";;0;0;0;0;-1;0;0;\r\n"
                                          + "Renamed;1500;4500;" + w.path("two.vtb") + ";/icons/red.ico;1;0;0;0;-1;0;0;\r\n");
    ToolbarWindow& win = w.app->toolbars().ready(2);
    EXPECT_EQ(win.windowTitle(), "Renamed");
    const QRgb red = qRgb(200, 0, 0);
    EXPECT_EQ(win.handle().picture().toImage().pixel(8, 8), red);
    EXPECT_EQ(w.cfgChild<QLabel>("imgTBR")->pixmap().toImage().pixel(8, 8), red);

    // An icon that gives nothing keeps the pictures; no icon at all brings the claws back.
    w.command(6);
    w.field(2)->setText("/icons/none.ico");
    w.editor()->findChild<QPushButton*>("btnCOM(0)")->click();
    EXPECT_EQ(win.handle().picture().toImage().pixel(8, 8), red);
    EXPECT_EQ(w.cfgChild<QLabel>("imgTBR")->pixmap().toImage().pixel(8, 8), red);
    w.command(6);
    w.field(3)->setText("0");
    w.editor()->findChild<QPushButton*>("btnCOM(0)")->click();
    EXPECT_TRUE(win.handle().picture().isNull()); // the handle draws its claws
    EXPECT_NE(w.cfgChild<QLabel>("imgTBR")->pixmap().toImage().pixel(8, 8), red);

    // The next add starts fresh: path editable, its browse button enabled.
    w.command(4);
    EXPECT_FALSE(w.field(1)->isReadOnly());
    EXPECT_TRUE(w.field(1)->text().isEmpty());
    EXPECT_TRUE(w.editor()->findChild<QToolButton*>("btnOPEN(0)")->isEnabled());
}

// Toolbars 0 to 4, each with one button of its own; toolbar 0 also recalls toolbar 3.
struct FiveToolbars : World {
    void start()
    {
        std::string lines = "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n";
        for (int t = 1; t <= 4; ++t) {
            const std::string n = std::to_string(t);
            write("t" + n + ".vtb", VtbHeader + "Run" + n + ";/bin/prog" + n + ";;1;;0;\r\n");
            lines += "T" + n + ";" + std::to_string(1500 * t) + ";4500;" + path("t" + n + ".vtb") + ";;0;0;0;0;-1;0;0;\r\n";
        }
        write("Default.vtb", VtbHeader + "Zero;/bin/prog0;;1;;0;\r\nRecall;!RecallTbr>>>;3;1;;0;\r\n");
        World::start(lines, 2);
    }
};

TEST(ToolbarCommands, DeletingAMiddleToolbarLeavesEveryOtherWindowOnItsOwnRecord)
{
    FiveToolbars w;
    w.start();
    const std::string deletedFile = w.read("t2.vtb");
    QPointer<ToolbarWindow> gone = w.app->toolbars().find(2);
    w.prompter.answers.push_back(Prompter::Yes);
    w.command(5);

    ASSERT_EQ(w.prompter.shown.size(), 1u);
    EXPECT_EQ(w.prompter.shown[0].title, "Vyrelight Toolbar v2");
    EXPECT_EQ(w.prompter.shown[0].style, Prompter::YesNoQuestion);
    EXPECT_EQ(w.prompter.shown[0].text, QString::fromStdString("Are you sure to delete (not from the disk): \r\n\r\n"
                                                               "Name:  'T2'\r\nPath:  '" + w.path("t2.vtb") + "'\r\n"));
    const ToolbarSet& set = w.app->set();
    ASSERT_EQ(set.TbrLast, 3);
    EXPECT_EQ(w.listed(), QStringList({"Default", "T1", "T3", "T4"}));
    EXPECT_EQ(w.toolbarList()->currentIndex(), 1);
    std::string lines = CfgHeader + "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n";
    for (int n : {1, 3, 4})
        lines += "T" + std::to_string(n) + ";" + std::to_string(1500 * n) + ";4500;" + w.path("t" + std::to_string(n) + ".vtb")
               + ";;0;0;0;0;-1;0;0;\r\n";
    EXPECT_EQ(w.read("Toolbars.cfg"), lines);
    EXPECT_EQ(w.read("t2.vtb"), deletedFile);
    EXPECT_TRUE(!gone || !gone->isVisible());

    // One window per toolbar, each knowing its index and showing its own record.
    for (int t = 0; t <= 3; ++t) {
        ToolbarWindow* win = w.app->toolbars().find(static_cast<std::uint8_t>(t));
        ASSERT_NE(win, nullptr) << t;
        EXPECT_NE(win, gone.data());
        EXPECT_EQ(win->index(), t);
        EXPECT_EQ(win->windowTitle().toStdString(), set.Tbrs[t].Name);
        EXPECT_TRUE(win->isVisible());
    }
    // A click on the former toolbar 4's button starts toolbar 4's program.
    emit w.app->toolbars().find(3)->strip().buttonClicked(3);
    ASSERT_FALSE(w.shell.calls.empty());
    EXPECT_EQ(w.shell.calls.back().target, "/bin/prog4");
    // The recall button kept its number: it now recalls the former toolbar 4.
    EXPECT_EQ(set.Tbrs[0].Btns[2].Parameters, "3");
    emit w.app->toolbars().find(0)->strip().buttonClicked(4);
    EXPECT_FALSE(w.app->toolbars().find(3)->isVisible());
    EXPECT_FALSE(isTrue(set.Tbrs[3].Visible));
    EXPECT_TRUE(w.app->toolbars().find(2)->isVisible());
}

TEST(ToolbarCommands, DeleteAskedNoOrOfTheLastToolbar)
{
    const struct {
        int t;
        Prompter::Answer answer;
        QStringList listed;
        int chosen;
    } rows[] = {
        {4, Prompter::Yes, {"Default", "T1", "T2", "T3"}, 3},
        {1, Prompter::Yes, {"Default", "T2", "T3", "T4"}, 0},
        {2, Prompter::No, {"Default", "T1", "T2", "T3", "T4"}, 2},
        // Anything but No goes on, as the box's closing would.
        {3, Prompter::Cancel, {"Default", "T1", "T2", "T4"}, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.t);
        FiveToolbars w;
        w.start();
        w.app->config().selectToolbar(static_cast<std::uint8_t>(row.t));
        const std::string cfg = w.read("Toolbars.cfg");
        w.prompter.answers.push_back(row.answer);
        w.command(5);
        EXPECT_EQ(w.listed(), row.listed);
        EXPECT_EQ(w.toolbarList()->currentIndex(), row.chosen);
        EXPECT_EQ(w.app->set().count(), row.listed.size());
        if (row.answer == Prompter::No)
            EXPECT_EQ(w.read("Toolbars.cfg"), cfg);
        else
            EXPECT_EQ(w.read("Toolbars.cfg").find("T" + std::to_string(row.t) + ";"), std::string::npos);
        for (int t = 0; t < row.listed.size(); ++t)
            EXPECT_EQ(w.app->toolbars().find(static_cast<std::uint8_t>(t))->windowTitle(), row.listed[t]);
        EXPECT_EQ(w.app->toolbars().find(static_cast<std::uint8_t>(row.listed.size())), nullptr);
    }
    // Toolbar 0 cannot be deleted at all.
    FiveToolbars w;
    w.start();
    w.app->config().selectToolbar(0);
    EXPECT_FALSE(w.cfgChild<QPushButton>("btnCfg(5)")->isEnabled());
}

TEST(ToolbarCommands, BothEditorsShareOnePickerThatStartsWhereTheOtherLeftIt)
{
    World w;
    w.start();
    w.icons.serve("/icons/set.dll", {FakeIconSource::solid(qRgb(1, 2, 3)), FakeIconSource::solid(qRgb(4, 5, 6))});
    const auto picker = [](QWidget* over) { return over->findChild<QDialog*>("FIcon"); };

    w.cfgChild<QPushButton>("btnCfg(1)")->click();
    ButtonEditor* buttons = w.app->buttons().editor();
    ASSERT_NE(buttons, nullptr);
    buttons->findChild<QLineEdit*>("txtNAME(3)")->setText("/icons/set.dll");
    buttons->findChild<QLineEdit*>("txtNAME(4)")->setText("2");
    buttons->findChild<QToolButton*>("btnOPEN(1)")->click();
    ASSERT_NE(picker(buttons), nullptr);
    picker(buttons)->findChild<QPushButton*>("btnCOM(1)")->click();
    buttons->findChild<QPushButton*>("btnCOM(1)")->click();

    w.command(4);
    ASSERT_NE(w.editor(), nullptr);
    w.editor()->findChild<QToolButton*>("btnOPEN(1)")->click();
    QDialog* shared = picker(w.editor());
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->findChild<QLineEdit*>("Filename")->text(), "/icons/set.dll");
    EXPECT_EQ(shared->findChild<QLabel*>("Label12")->text(), "Selected Icon : 2");
    shared->findChild<QPushButton*>("btnCOM(0)")->click();
    EXPECT_EQ(w.field(2)->text(), "/icons/set.dll");
    EXPECT_EQ(w.field(3)->text(), "2");
}

} // namespace
