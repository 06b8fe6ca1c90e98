// The toolbar editor on its own: its controls, the browse through the scripted dialog
// backend, the icon picker's preset, and the focus taking a field's whole text.
#include "editors/IconPicker.h"
#include "editors/ToolbarEditor.h"
#include "platform/LosslessText.h"
#include "store/ToolbarSet.h"
#include "support/AccessibleNames.h"
#include "support/FakeDialogBackend.h"
#include "support/FakePrompter.h"
#include "support/WindowKind.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

class ToolbarEditorTest : public ::testing::Test, public ToolbarEditorHost, public IconPicker {
protected:
    ToolbarEditorTest()
    {
        set.RedimTbrs(1);
        set.TbrLast = 1;
        set.Tbrs[0].Name = "Default";
        set.Tbrs[0].Path = "/data/Default.vtb";
        set.Tbrs[1].Name = "Tools";
        set.Tbrs[1].Path = "/data/tools.vtb";
        set.Tbrs[1].IconFile = "/i/caf\xe9.ico"; // in Latin-1, as an older system wrote it
        set.Tbrs[1].IconIndex = 3;
    }
    std::unique_ptr<ToolbarEditor> make(ToolbarPurpose purpose, std::uint8_t t = 0)
    {
        const ToolbarEditor::Needs needs{set, *this, prompter, *this, dialogs, dataFolder};
        return std::make_unique<ToolbarEditor>(purpose, t, needs);
    }
    bool storeToolbar(ToolbarPurpose purpose, std::uint8_t t, const ToolbarFields& f) override
    {
        stored.emplace_back(purpose, t, f.Name, f.Path, f.IconFile, f.IconIndex);
        return true;
    }
    // The picker answers at once with what the test set, and notes each preset ("-" for
    // a file, -1 for a position the editor left unset).
    bool pick(QWidget*, const IconPreset& preset, Done done) override
    {
        asked.emplace_back(preset.file.value_or("-"), preset.position.value_or(-1));
        done(answer);
        return true;
    }
    static QLineEdit* field(QWidget& w, int i) { return w.findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(i)); }
    static QStringList texts(QWidget& w)
    {
        QStringList out;
        for (int i = 0; i < 4; ++i)
            out << field(w, i)->text();
        return out;
    }
    template <typename W = QWidget>
    static W* child(QWidget& w, const QString& name) { return childOf<W>(&w, name); }

    ToolbarSet set;
    std::string dataFolder{"/data"};
    FakePrompter prompter;
    FakeDialogBackend dialogs;
    std::vector<std::tuple<ToolbarPurpose, int, std::string, std::string, std::string, int>> stored;
    std::optional<IconChoice> answer;
    std::vector<std::pair<QString, int>> asked;
};

TEST_F(ToolbarEditorTest, ControlsTabOrderAndOkOnlyWithAName)
{
    auto editor = make(ToolbarPurpose::Add);
    editor->show();
    EXPECT_EQ(editor->windowTitle(), "Add Toolbar");
    expectFixedWindow(*editor, Qt::Tool, true);
    EXPECT_EQ(unnamedControls(*editor), QStringList()); // each heard by a screen reader
    EXPECT_EQ(texts(*editor), QStringList(4, QString()));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(field(*editor, i)->acceptDrops());
    auto* ok = child<QPushButton>(*editor, "btnCOM(0)");
    EXPECT_TRUE(ok->isDefault());
    expectTabOrder(*editor, {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)", "btnOPEN(1)",
                             "btnCOM(0)", "btnCOM(1)"});

    // OK follows the name alone; blanks count as a name.
    const std::tuple<int, const char*, bool> steps[] = {
        {1, "/x/y", false}, {2, "i.ico", false}, {0, " ", true}, {0, "Work", true}, {0, "", false}};
    for (const auto& [i, text, enabled] : steps) {
        field(*editor, i)->setText(text);
        EXPECT_EQ(ok->isEnabled(), enabled) << i << " " << text;
    }
}

// What OK hands over keeps the record's path whatever the box holds, and texts that are
// not UTF-8 byte for byte.
TEST_F(ToolbarEditorTest, EditStartsFromTheRecordWithTheFileLocked)
{
    auto editor = make(ToolbarPurpose::Edit, 1);
    EXPECT_EQ(editor->windowTitle(), "Edit Toolbar");
    EXPECT_EQ(texts(*editor), QStringList({"Tools", "/data/tools.vtb", textFromBytes("/i/caf\xe9.ico"), "3"}));
    EXPECT_TRUE(field(*editor, 1)->isReadOnly() && !child(*editor, "btnOPEN(0)")->isEnabled());

    field(*editor, 0)->setText(textFromBytes("Outils \xe9t\xe9"));
    field(*editor, 1)->setText("/elsewhere.vtb");
    field(*editor, 3)->setText("7.5"); // rounds half to even
    child<QPushButton>(*editor, "btnCOM(0)")->click();
    EXPECT_EQ(stored, decltype(stored)({{ToolbarPurpose::Edit, 1, "Outils \xe9t\xe9", "/data/tools.vtb", "/i/caf\xe9.ico", 8}}));
}

// OK refuses, saying why and staying open to be mended, what the files or the set cannot
// take; nothing is handed on.
TEST_F(ToolbarEditorTest, OkRefusesBadInputOrA257thToolbarWithAMessage)
{
    QTemporaryDir tmp;
    QDir(tmp.path()).mkpath("dir.vtb");
    dataFolder = tmp.path().toStdString();
    set.Tbrs[0].Path = dataFolder + "/Default.vtb";
    const struct {
        const char* what;
        QStringList typed; // name, path ("@": the data folder), icon, index
        const char* says;  // part of the message
        bool full = false; // the set holds 256 toolbars already
    } rows[] = {
        {"semicolon in the name", {"a;b"}, "\"Name\" cannot hold the character \";\""},
        {"semicolon in the path", {"P", "@/x;y"}, "\"Path\" cannot hold the character \";\""},
        {"carriage return in the icon", {"I", "", "i\r.ico", "1"}, "\"Icon\" cannot hold a line break"},
        {"icon index too large", {"N", "", "i.ico", "32768"}, "\"Icon index\""},
        {"icon index negative", {"N", "", "i.ico", "-1"}, "\"Icon index\""},
        {"missing folder", {"M", "@/nowhere/m"}, "folder of the toolbar file does not exist"},
        {"a folder for a file", {"F", "@/dir.vtb"}, "is a folder"},
        {"file of another toolbar", {"D", "@/Default.vtb"}, "\"Default\" already uses this file"},
        {"same file by another name", {"D", "@/dir.vtb/../Default"}, "\"Default\" already uses"},
        {"composed to another's file", {"Default"}, "\"Default\" already uses"},
        {"a 257th toolbar", {"One too many"}, "256 toolbars", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.full) {
            set.RedimTbrs(255);
            set.TbrLast = 255;
        }
        prompter.shown.clear();
        auto editor = make(ToolbarPurpose::Add);
        editor->show();
        for (int i = 0; i < row.typed.size(); ++i)
            field(*editor, i)->setText(QString(row.typed[i]).replace("@", tmp.path()));
        child<QPushButton>(*editor, "btnCOM(0)")->click();
        ASSERT_EQ(prompter.shown.size(), 1u);
        const FakePrompter::Shown& box = prompter.shown[0];
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(row.says))) << box.text.toStdString();
        EXPECT_EQ(std::tuple(box.title, box.style, stored.size(), editor->isVisible()),
                  std::tuple(QString("Vyrelight Toolbar v2"), Prompter::Exclamation, 0u, true));
    }
}

TEST_F(ToolbarEditorTest, BrowseAsksForAToolbarFileAndNamesAnUnnamedToolbarAfterIt)
{
    const std::tuple<const char*, const char*, bool, const char*, const char*, const char*> rows[] = {
        // the name before, the path typed, a file chosen, the folder the dialog starts in, the path and name after
        {"", "/typed", true, "", "/home/u/my tools.v2.vtb", "my tools"}, // a typed absolute path names its own folder
        {"  ", "/typed", true, "", "/home/u/my tools.v2.vtb", "my tools"},
        {"Kept", "/typed", true, "", "/home/u/my tools.v2.vtb", "Kept"},
        {"", "/typed", false, "", "/typed", ""},
        {"", "", false, "/data", "", ""}, // a name without a folder starts in the data folder
        {"", "work", false, "/data", "work", ""},
    };
    for (const auto& [nameBefore, typed, chosen, folder, pathAfter, nameAfter] : rows) {
        SCOPED_TRACE(typed);
        dialogs.fileRequests.clear();
        auto editor = make(ToolbarPurpose::Add);
        editor->show();
        field(*editor, 0)->setText(nameBefore);
        field(*editor, 1)->setText(typed);
        if (chosen)
            dialogs.choose("/home/u/my tools.v2.vtb");
        child<QToolButton>(*editor, "btnOPEN(0)")->click();
        ASSERT_EQ(dialogs.fileRequests.size(), 1u);
        const DialogBackend::FileRequest& r = dialogs.fileRequests[0];
        EXPECT_EQ(std::tuple(r.title, r.file, r.folder, r.flags, r.owner, r.nameFilters),
                  std::tuple("Open a Vyrelight Toolbar File", typed, folder, 4u, editor.get(),
                             QStringList({"Vyrelight Toolbar v2 File (VTB) (*.vtb)", "All Files (*)"})));
        EXPECT_EQ(texts(*editor).mid(0, 2), QStringList({nameAfter, pathAfter}));
    }
}

TEST_F(ToolbarEditorTest, IconButtonFillsBothIconFieldsFromThePicker)
{
    set.Tbrs[1].IconFile = "/i/tools.ico";
    auto editor = make(ToolbarPurpose::Edit, 1);
    auto* pick = child<QToolButton>(*editor, "btnOPEN(1)");
    pick->click(); // cancelled
    EXPECT_EQ(texts(*editor).mid(2), QStringList({"/i/tools.ico", "3"}));
    answer = IconChoice{"/i/other.png", 11};
    pick->click();
    EXPECT_EQ(texts(*editor).mid(2), QStringList({"/i/other.png", "12"}));
    // An icon box of blanks presets nothing: the picker starts where it was left.
    field(*editor, 2)->setText("  ");
    pick->click();
    // The picker counts from 0, the fields from 1; index 0 (none) starts at the first.
    field(*editor, 2)->setText("/i/a.ico");
    field(*editor, 3)->setText("0");
    pick->click();
    EXPECT_EQ(asked, (std::vector<std::pair<QString, int>>{
                         {"/i/tools.ico", 2}, {"/i/tools.ico", 2}, {"-", -1}, {"/i/a.ico", 0}}));
}

TEST_F(ToolbarEditorTest, AFieldTakingTheFocusOffersItsWholeText)
{
    auto editor = make(ToolbarPurpose::Edit, 1);
    editor->show();
    QApplication::setActiveWindow(editor.get());
    // Reached by the keyboard or by a click: the click's own cursor placing must not
    // clear the selection again.
    const std::pair<int, bool> steps[] = {{2, false}, {0, false}, {3, false}, {2, true}, {0, true}}; // box, clicked
    for (const auto& [i, click] : steps) {
        if (click)
            QTest::mouseClick(field(*editor, i), Qt::LeftButton, {}, QPoint(4, field(*editor, i)->height() / 2));
        else
            field(*editor, i)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(field(*editor, i)->selectedText(), field(*editor, i)->text()) << i;
    }
}

} // namespace
