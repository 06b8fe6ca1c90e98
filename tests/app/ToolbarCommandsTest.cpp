// Adding, editing and deleting toolbars through the configuration window, as a user
// does it: the command buttons, the toolbar editor and the confirmation box, with the
// set, the files on disk and the windows checked together after each.
#include "AppWorld.h"
#include "app/ButtonCommands.h"
#include "app/ToolbarCommands.h"
#include "editors/ButtonEditor.h"
#include "editors/ToolbarEditor.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <tuple>

namespace {

// One program on its own folder with fake services.
struct World : AppWorld {
    QComboBox* toolbarList() { return cfgChild<QComboBox>("cbxTbrs"); }
    // The toolbars the configuration window lists, and the chosen one.
    std::pair<QStringList, int> listed()
    {
        QStringList out;
        for (int i = 0; i < toolbarList()->count(); ++i)
            out << toolbarList()->itemText(i);
        return {out, toolbarList()->currentIndex()};
    }
    ToolbarEditor* editor() { return app->toolbarCommands().editor(); }
    QLineEdit* field(int i) { return editor()->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(i)); }
    // Opens the editor with command c (4 add, 6 edit), types the fields given and presses OK.
    void type(int c, const QStringList& fields)
    {
        if (!editorOpen())
            command(c);
        ASSERT_NE(editor(), nullptr);
        enter(editor(), fields);
    }
    void add(const QString& name, const QString& path = "", const QString& icon = "", const QString& index = "")
    {
        type(4, {name, path, icon, index});
    }
    bool editorOpen() { return editor() && editor()->isVisible(); }
    // What path "@/..." names once "@" is the data folder.
    QString at(QString p) { return p.replace("@", QString::fromStdString(folder)); }
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
        {"Sub", "sub/tools", "@/sub/tools.vtb", 0}, // relative: in the data folder
        {"Abs", "@/abs.vtb", "@/abs.vtb", 0},
        {"Upper", "@/abs.VTB", "@/abs.VTB.vtb", 0}, // the extension's case counts
        {"Taken", "@/old", "@/old.vtb", 2},         // an existing file's buttons
        {"Blank name ok", "  ", "@/Blank name ok.vtb", 0}, // blanks are no path
        // A name is no path: its file stays in the data folder.
        {"../escape", "", "@/.._escape.vtb", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        std::filesystem::create_directory(w.path("sub"));
        const std::string old = VtbHeader + btnLine("A") + btnLine("B");
        w.write("old.vtb", old);
        w.open();
        const std::string cfgBefore = w.read("Toolbars.cfg");
        w.add(row.name, w.at(row.typed));

        EXPECT_EQ(std::pair(w.editorOpen(), w.prompter.shown.size()), std::pair(false, std::size_t(0)));
        const std::string path = w.at(row.expectedPath).toStdString();
        const TbrRec& rec = w.app->set().Tbrs[1];
        EXPECT_EQ(std::tuple(w.app->set().TbrLast, rec.Name, rec.Path, rec.BtnCount), std::tuple(1, row.name, path, row.buttons));
        EXPECT_EQ(w.read("Toolbars.cfg"), cfgBefore + row.name + ";0;0;" + path + ";;0;0;0;0;0;0;0;\r\n");
        EXPECT_EQ(std::filesystem::exists(path) ? (row.buttons ? old : VtbHeader) : "missing", row.buttons ? old : VtbHeader);
        // Listed last and chosen, so the user sees it; the window made, hidden, in the corner.
        EXPECT_EQ(w.listed(), std::pair(QStringList({"Default", row.name}), 1));
        auto* visible = w.cfgChild<QCheckBox>("chkMode(3)");
        EXPECT_EQ(std::tuple(w.cfgChild<QListWidget>("lstBtns")->count(), visible->isChecked(), visible->isEnabled()),
                  std::tuple(row.buttons, false, true));
        ToolbarWindow* win = w.app->toolbars().find(1);
        ASSERT_NE(win, nullptr);
        EXPECT_EQ(std::tuple(win->isVisible(), win->index(), win->leftTwips(), win->topTwips(), win->strip().buttonCount()),
                  std::tuple(false, 1, 0.0f, 0.0f, 2 + row.buttons));
    }
}

TEST(ToolbarCommands, EditRenamesInPlaceShowsTheNewIconAtOnceAndANewToolbarShowsOnceVisibleIsTicked)
{
    World w;
    w.icons.serve("/icons/red.ico", {FakeIconSource::solid(qRgb(200, 0, 0))});
    const std::string one = "One;1500;3000;" + w.path("one.vtb") + ";;0;0;0;0;-1;0;0;\r\n";
    w.open(DefaultLine + one + "Two;1500;4500;" + w.path("two.vtb") + ";;0;0;0;0;-1;0;0;\r\n", 2);
    // The editor opens on the selected toolbar's record (how it fills is the editor's own test).
    w.command(6);
    EXPECT_EQ(w.field(0)->text(), "Two");
    w.type(6, {"Renamed", QString(), "/icons/red.ico", "1"});

    EXPECT_EQ(w.listed(), std::pair(QStringList({"Default", "One", "Renamed"}), 2));
    EXPECT_EQ(w.read("Toolbars.cfg"), CfgHeader + DefaultLine + one + "Renamed;1500;4500;" + w.path("two.vtb")
                                          + ";/icons/red.ico;1;0;0;0;-1;0;0;\r\n");
    ToolbarWindow& win = w.app->toolbars().ready(2);
    EXPECT_EQ(win.windowTitle(), "Renamed");
    // The handle's and the configuration window's pictures.
    const auto pictures = [&] {
        return std::pair(win.handle().picture().toImage().pixel(8, 8), w.cfgChild<QLabel>("imgTBR")->pixmap().toImage().pixel(8, 8));
    };
    const QRgb red = qRgb(200, 0, 0);
    EXPECT_EQ(pictures(), std::pair(red, red));

    // An icon that gives nothing keeps the pictures; no icon at all brings the claws back.
    w.type(6, {QString(), QString(), "/icons/none.ico"});
    EXPECT_EQ(pictures(), std::pair(red, red));
    w.type(6, {QString(), QString(), QString(), "0"});
    EXPECT_TRUE(win.handle().picture().isNull()); // the handle draws its claws
    EXPECT_NE(pictures().second, red);

    // The next add's Cancel changes nothing.
    const std::string cfg = w.read("Toolbars.cfg");
    w.command(4);
    w.field(0)->setText("Gone");
    AppWorld::press(w.editor(), 1);
    EXPECT_EQ(std::tuple(w.editorOpen(), w.app->set().TbrLast, w.read("Toolbars.cfg"), w.exists("Gone.vtb")), std::tuple(false, 2, cfg, false));

    // A new toolbar shows once the window's Visible box, turned to it, is ticked.
    w.add("Shown");
    w.cfgChild<QCheckBox>("chkMode(3)")->click();
    EXPECT_TRUE(w.app->toolbars().find(3)->isVisible());
    EXPECT_EQ(w.read("Toolbars.cfg"), cfg + "Shown;0;0;" + w.path("Shown.vtb") + ";;0;0;0;0;-1;0;0;\r\n");
}

// Deleting asks first, leaves the file on disk and every other window on its own record;
// a recall button keeps its number, so it recalls whichever toolbar moved up to it.
TEST(ToolbarCommands, DeleteAsksAndLeavesEveryOtherWindowOnItsOwnRecord)
{
    const struct {
        int t;
        Prompter::Answer answer;
        QStringList listed;
        int chosen;
    } rows[] = {
        {2, Prompter::Yes, {"Default", "T1", "T3", "T4"}, 1},
        {4, Prompter::Yes, {"Default", "T1", "T2", "T3"}, 3},
        {2, Prompter::No, {"Default", "T1", "T2", "T3", "T4"}, 2},
        // Anything but No goes on, as the box's closing would.
        {3, Prompter::Cancel, {"Default", "T1", "T2", "T4"}, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.t);
        // Toolbars 0 to 4, each with one button of its own; toolbar 0 also recalls toolbar 3.
        World w;
        std::string lines = DefaultLine, kept = CfgHeader + DefaultLine;
        for (int t = 1; t <= 4; ++t) {
            const std::string n = std::to_string(t);
            w.write("t" + n + ".vtb", VtbHeader + "Run" + n + ";/bin/prog" + n + ";;1;;0;\r\n");
            const std::string line = "T" + n + ";" + std::to_string(1500 * t) + ";4500;" + w.path("t" + n + ".vtb") + ";;0;0;0;0;-1;0;0;\r\n";
            lines += line;
            if (row.listed.contains(QString::fromStdString("T" + n)))
                kept += line;
        }
        w.write("Default.vtb", VtbHeader + "Zero;/bin/prog0;;1;;0;\r\nRecall;!RecallTbr>>>;3;1;;0;\r\n");
        w.open(lines, row.t);
        const std::string file = "t" + std::to_string(row.t) + ".vtb", bytes = w.read(file);
        QPointer<ToolbarWindow> gone = w.app->toolbars().find(static_cast<std::uint8_t>(row.t));
        w.prompter.answers.push_back(row.answer);
        w.command(5);

        ASSERT_EQ(w.prompter.shown.size(), 1u);
        const FakePrompter::Shown& box = w.prompter.shown[0];
        EXPECT_EQ(std::tuple(box.title, box.text.toStdString(), box.style),
                  std::tuple(QString("Vyrelight Toolbar v2"), "Are you sure to delete (not from the disk): \r\n\r\nName:  'T"
                                 + std::to_string(row.t) + "'\r\nPath:  '" + w.path(file) + "'\r\n", Prompter::YesNoQuestion));
        EXPECT_EQ(w.listed(), std::pair(row.listed, row.chosen));
        EXPECT_EQ(std::pair(w.read("Toolbars.cfg"), w.read(file)), std::pair(kept, bytes));
        EXPECT_TRUE(row.answer == Prompter::No || !gone || !gone->isVisible());
        // One window per toolbar, each knowing its index and showing its own record.
        for (int t = 0; t < row.listed.size(); ++t) {
            ToolbarWindow* win = w.app->toolbars().find(static_cast<std::uint8_t>(t));
            ASSERT_NE(win, nullptr) << t;
            EXPECT_EQ(std::tuple(win->index(), win->windowTitle(), win->isVisible()), std::tuple(t, row.listed[t], true)) << t;
        }
        EXPECT_EQ(w.app->toolbars().find(static_cast<std::uint8_t>(row.listed.size())), nullptr);
        // Toolbar 3's button starts its own program; the recall button now hides toolbar 3.
        emit w.app->toolbars().find(3)->strip().buttonClicked(3);
        EXPECT_EQ(w.shell.calls, std::vector<std::string>{"open /bin/prog" + row.listed[3].mid(1).toStdString() + " |  | /bin/"});
        emit w.app->toolbars().find(0)->strip().buttonClicked(4);
        EXPECT_EQ(std::pair(w.app->toolbars().find(3)->isVisible(), isTrue(w.app->set().Tbrs[3].Visible)), std::pair(false, false));
    }
}

TEST(ToolbarCommands, BothEditorsShareOnePickerThatStartsWhereTheOtherLeftIt)
{
    World w;
    w.open();
    w.icons.serve("/icons/set.dll", {FakeIconSource::solid(qRgb(1, 2, 3)), FakeIconSource::solid(qRgb(4, 5, 6))});
    const auto picker = [](QWidget* over) { return over->findChild<QDialog*>("FIcon"); };

    // Opened from the button editor at the boxes' icon, then cancelled with the editor.
    w.command(1);
    ButtonEditor* buttons = w.app->buttons().editor();
    ASSERT_NE(buttons, nullptr);
    buttons->findChild<QLineEdit*>("txtNAME(3)")->setText("/icons/set.dll");
    buttons->findChild<QLineEdit*>("txtNAME(4)")->setText("2");
    buttons->findChild<QToolButton*>("btnOPEN(1)")->click();
    ASSERT_NE(picker(buttons), nullptr);
    AppWorld::press(picker(buttons), 1);
    AppWorld::press(buttons, 1);

    w.command(4);
    ASSERT_NE(w.editor(), nullptr);
    w.editor()->findChild<QToolButton*>("btnOPEN(1)")->click();
    QDialog* shared = picker(w.editor());
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(std::pair(shared->findChild<QLineEdit*>("Filename")->text(), shared->findChild<QLabel*>("Label12")->text()),
              std::pair(QString("/icons/set.dll"), QString("Selected Icon : 2")));
}

} // namespace
