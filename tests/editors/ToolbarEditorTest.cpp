// The toolbar editor on its own: its controls, the browse through the scripted dialog
// backend, and how it lays itself out for larger fonts.
#include "editors/IconPicker.h"
#include "editors/ToolbarEditor.h"
#include "store/ToolbarSet.h"
#include "support/AccessibleNames.h"
#include "support/FakeDialogBackend.h"
#include "support/FakePrompter.h"
#include "ScriptedPicker.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "support/WholeText.h"
#include "support/WindowKind.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ToolbarEditorTest : public ::testing::Test, public ToolbarEditorHost {
protected:
    ToolbarEditorTest()
    {
        set.RedimTbrs(1);
        set.TbrLast = 1;
        set.Tbrs[0].Name = "Default";
        set.Tbrs[0].Path = "/data/Default.vtb";
        set.Tbrs[1].Name = "Tools";
        set.Tbrs[1].Path = "/data/tools.vtb";
        set.Tbrs[1].IconFile = "/i/tools.ico";
        set.Tbrs[1].IconIndex = 3;
    }
    ToolbarEditor::Needs needs(DialogBackend& backend) { return {set, *this, prompter, picker, backend, "/data"}; }
    std::unique_ptr<ToolbarEditor> make(ToolbarPurpose purpose, std::uint8_t t = 0)
    {
        return std::make_unique<ToolbarEditor>(purpose, t, needs(dialogs));
    }
    bool storeToolbar(ToolbarPurpose purpose, std::uint8_t t, const ToolbarFields& fields) override
    {
        stored.push_back({purpose, t, fields});
        return true;
    }
    static QLineEdit* field(QWidget& w, int i) { return w.findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(i)); }
    template <typename W = QWidget>
    static W* child(QWidget& w, const QString& name)
    {
        W* c = w.findChild<W*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }

    struct Stored {
        ToolbarPurpose purpose;
        std::uint8_t toolbar;
        ToolbarFields fields;
    };

    ToolbarSet set;
    FakePrompter prompter;
    ScriptedPicker picker;
    FakeDialogBackend dialogs;
    std::vector<Stored> stored;
};

TEST_F(ToolbarEditorTest, ControlsTabOrderAndOkOnlyWithAName)
{
    auto editor = make(ToolbarPurpose::Add);
    editor->show();
    EXPECT_EQ(editor->windowTitle(), "Add Toolbar");
    expectFixedWindow(*editor, Qt::Tool, true);
    EXPECT_EQ(unnamedControls(*editor), QStringList()); // each heard by a screen reader
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(field(*editor, i)->text().isEmpty());
        EXPECT_FALSE(field(*editor, i)->acceptDrops());
    }
    auto* ok = child<QPushButton>(*editor, "btnCOM(0)");
    EXPECT_TRUE(ok->isDefault());

    // Tab walks the fields, the browse buttons and the commands in this order.
    expectTabOrder(*editor, {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)", "btnOPEN(1)",
                             "btnCOM(0)", "btnCOM(1)"});

    // OK follows the name alone; blanks count as a name.
    const struct {
        int field;
        const char* text;
        bool enabled;
    } steps[] = {{1, "/x/y", false}, {2, "i.ico", false}, {0, " ", true}, {0, "Work", true}, {0, "", false}};
    for (const auto& s : steps) {
        field(*editor, s.field)->setText(s.text);
        EXPECT_EQ(ok->isEnabled(), s.enabled) << s.field << " " << s.text;
    }
}

TEST_F(ToolbarEditorTest, EditStartsFromTheRecordWithTheFileLocked)
{
    auto editor = make(ToolbarPurpose::Edit, 1);
    EXPECT_EQ(editor->windowTitle(), "Edit Toolbar");
    const QStringList expected = {"Tools", "/data/tools.vtb", "/i/tools.ico", "3"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(field(*editor, i)->text(), expected[i]);
    EXPECT_TRUE(field(*editor, 1)->isReadOnly());
    EXPECT_NE(field(*editor, 1)->palette().color(QPalette::Base), field(*editor, 0)->palette().color(QPalette::Base));
    EXPECT_FALSE(child(*editor, "btnOPEN(0)")->isEnabled());
    EXPECT_TRUE(child(*editor, "btnCOM(0)")->isEnabled());

    // What OK hands over keeps the record's path whatever the box holds.
    field(*editor, 0)->setText("New");
    field(*editor, 3)->setText("7.5"); // rounds half to even
    child<QPushButton>(*editor, "btnCOM(0)")->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].purpose, ToolbarPurpose::Edit);
    EXPECT_EQ(stored[0].toolbar, 1);
    const ToolbarFields& f = stored[0].fields;
    EXPECT_EQ(f.Name, "New");
    EXPECT_EQ(f.Path, "/data/tools.vtb");
    EXPECT_EQ(f.IconIndex, 8);
}

TEST_F(ToolbarEditorTest, BrowseAsksForAToolbarFileAndNamesAnUnnamedToolbarAfterIt)
{
    const struct {
        const char* nameBefore;
        bool chosen;
        const char* pathAfter;
        const char* nameAfter;
    } rows[] = {
        {"", true, "/home/u/my tools.v2.vtb", "my tools"},
        {"  ", true, "/home/u/my tools.v2.vtb", "my tools"},
        {"Kept", true, "/home/u/my tools.v2.vtb", "Kept"},
        {"", false, "/typed", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.nameBefore);
        FakeDialogBackend backend;
        ToolbarEditor editor(ToolbarPurpose::Add, 0, needs(backend));
        editor.show();
        field(editor, 0)->setText(row.nameBefore);
        field(editor, 1)->setText("/typed");
        if (row.chosen)
            backend.choose("/home/u/my tools.v2.vtb");
        child<QToolButton>(editor, "btnOPEN(0)")->click();
        ASSERT_EQ(backend.fileRequests.size(), 1u);
        const DialogBackend::FileRequest& r = backend.fileRequests[0];
        EXPECT_EQ(r.title, "Open a Vyrelight Toolbar File");
        EXPECT_EQ(r.file, "/typed");
        EXPECT_EQ(r.flags, 4u);
        EXPECT_EQ(r.nameFilters, QStringList({"Vyrelight Toolbar v2 File (VTB) (*.vtb)", "All Files (*)"}));
        EXPECT_EQ(r.owner, &editor);
        EXPECT_EQ(r.folder, ""); // a typed absolute path names its own folder
        EXPECT_EQ(field(editor, 1)->text(), row.pathAfter);
        EXPECT_EQ(field(editor, 0)->text(), row.nameAfter);
    }
}

TEST_F(ToolbarEditorTest, BrowseForANameWithoutAFolderStartsInTheDataFolder)
{
    auto editor = make(ToolbarPurpose::Add);
    for (const char* typed : {"", "work"}) {
        field(*editor, 1)->setText(typed);
        child<QToolButton>(*editor, "btnOPEN(0)")->click();
        EXPECT_EQ(dialogs.fileRequests.back().folder, "/data") << typed;
    }
}

TEST_F(ToolbarEditorTest, IconButtonFillsBothIconFieldsFromThePicker)
{
    auto editor = make(ToolbarPurpose::Edit, 1);
    auto* pick = child<QToolButton>(*editor, "btnOPEN(1)");
    pick->click(); // cancelled
    EXPECT_EQ(field(*editor, 2)->text(), "/i/tools.ico");
    EXPECT_EQ(field(*editor, 3)->text(), "3");
    picker.answer = IconChoice{"/i/other.png", 11};
    pick->click();
    EXPECT_EQ(field(*editor, 2)->text(), "/i/other.png");
    EXPECT_EQ(field(*editor, 3)->text(), "12");
    // An icon box of blanks presets nothing: the picker starts where it was left.
    field(*editor, 2)->setText("  ");
    pick->click();
    // The picker counts from 0, the fields from 1; index 0 (none) starts at the first.
    field(*editor, 2)->setText("/i/a.ico");
    field(*editor, 3)->setText("0");
    pick->click();
    EXPECT_EQ(picker.asked, (std::vector<std::pair<QString, int>>{
                                {"/i/tools.ico", 2}, {"/i/tools.ico", 2}, {"-", -1}, {"/i/a.ico", 0}}));
}

TEST_F(ToolbarEditorTest, AFieldTakingTheFocusOffersItsWholeText)
{
    auto editor = make(ToolbarPurpose::Edit, 1);
    editor->show();
    QApplication::setActiveWindow(editor.get());
    // Reached by the keyboard or by a click: the click's own cursor placing must not
    // clear the selection again.
    for (int i : {2, 0, 3}) {
        field(*editor, i)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(field(*editor, i)->selectedText(), field(*editor, i)->text()) << i;
    }
    for (int i : {2, 0}) {
        QTest::mouseClick(field(*editor, i), Qt::LeftButton, {}, QPoint(4, field(*editor, i)->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_EQ(field(*editor, i)->selectedText(), field(*editor, i)->text()) << i;
    }
}

// A name or icon file that is not UTF-8 comes back from the editor byte for byte.
TEST_F(ToolbarEditorTest, TextsThatAreNotUtf8RoundTripByteForByte)
{
    set.Tbrs[1].Name = "Outils \xe9t\xe9";
    set.Tbrs[1].IconFile = "/i/caf\xe9.ico";
    auto editor = make(ToolbarPurpose::Edit, 1);
    child<QPushButton>(*editor, "btnCOM(0)")->click();
    ASSERT_EQ(stored.size(), 1u);
    const ToolbarFields& f = stored[0].fields;
    EXPECT_EQ(f.Name, set.Tbrs[1].Name);
    EXPECT_EQ(f.IconFile, set.Tbrs[1].IconFile);
    EXPECT_EQ(f.IconIndex, 3);
}

TEST_F(ToolbarEditorTest, EveryCaptionShowsWholeAndTheLabelsStayInTheirFrameAtAnyFontSize)
{
    atEveryFontScale([&] {
        ToolbarEditor editor(ToolbarPurpose::Edit, 1, needs(dialogs));
        editor.show();
        expectWholeTexts(editor);
        const auto place = [&](const QString& name) {
            const QWidget* w = editor.findChild<QWidget*>(name);
            EXPECT_NE(w, nullptr) << name.toStdString();
            return w ? w->rect().translated(w->mapTo(&editor, QPoint())) : QRect();
        };
        const QStringList all = {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)",
                                 "btnOPEN(1)", "corDISP(0)", "corDISP(2)"};
        for (int i = 0; i < all.size(); ++i) {
            EXPECT_TRUE(editor.rect().contains(place(all[i]))) << all[i].toStdString() << " runs out";
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(place(all[i]).intersects(place(all[j])))
                    << all[i].toStdString() << " overlaps " << all[j].toStdString();
        }
        // Each label inside the frame, on its field's row.
        for (int row = 0; row < 3; ++row) {
            const QRect label = place(QStringLiteral("lblTXT(%1)").arg(row));
            EXPECT_TRUE(place("corDISP(0)").contains(label)) << row;
            EXPECT_EQ(label.center().y(), place(QStringLiteral("txtNAME(%1)").arg(row)).center().y()) << row;
        }
        for (const char* command : {"btnCOM(0)", "btnCOM(1)"})
            EXPECT_TRUE(place("corDISP(2)").contains(place(command))) << command;
        EXPECT_EQ(editor.minimumSize(), editor.maximumSize());
    });
}

} // namespace
