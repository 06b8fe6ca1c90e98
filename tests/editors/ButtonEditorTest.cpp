// The button editor's window: its controls, modes and recall list, what OK hands on and
// what it refuses, and how its icon button uses the picker, driven off screen with the
// messages, dialogs and host scripted.
#include "editors/ApplicationChooser.h"
#include "editors/ButtonEditor.h"
#include "editors/DialogIconPicker.h"
#include "editors/IconCell.h"
#include "editors/IconPickerDialog.h"
#include "platform/OwnedWindow.h"
#include "store/ToolbarSet.h"
#include "support/AccessibleNames.h"
#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"
#include "support/FakePrompter.h"
#include "support/WholeText.h"
#include "support/WindowKind.h"
#include "ButtonRecord.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

class ButtonEditorTest : public ::testing::Test, public ButtonEditorHost, public ApplicationChooser {
protected:
    ButtonEditorTest()
    {
        set.RedimTbrs(2);
        set.TbrLast = 2;
        set.Tbrs[0].Name = "Default";
        set.Tbrs[1].Name = "Jeux \xe9t\xe9"; // in Latin-1, as an older system wrote it
        set.Tbrs[2].Name = "Work";
        icons.serve("/icons/twelve.dll", std::vector<QImage>(12, FakeIconSource::solid(qRgb(0, 0, 200))));
        icons.serve("/icons/five.icl", std::vector<QImage>(5, FakeIconSource::solid(qRgb(0, 200, 0))));
    }

    bool storeButton(ButtonPurpose purpose, const BtnRec& button) override
    {
        stored.push_back({purpose, button});
        return accept;
    }
    bool choose(QWidget*, ApplicationChooser::Done done) override
    {
        done(ChosenApplication{"Text Editor", "/usr/share/applications/editor.desktop"});
        return true;
    }

    // The applications' chooser only when asked: its button is then in the tab order.
    ButtonEditor* open(ButtonPurpose purpose = ButtonPurpose::Add, ApplicationChooser* apps = nullptr)
    {
        editor.reset(new ButtonEditor(purpose, {set, *this, prompter, picker, dialogs, apps}));
        editor->show();
        return editor.get();
    }
    template <typename W = QWidget>
    W* child(const QString& name, QWidget* in = nullptr) { return childOf<W>(in ? in : editor.get(), name); }
    QLineEdit* box(int f) { return child<QLineEdit>(QStringLiteral("txtNAME(%1)").arg(f)); }
    QPushButton* ok() { return child<QPushButton>("btnCOM(0)"); }
    QRadioButton* mode(int m) { return child<QRadioButton>(QStringLiteral("optMODE(%1)").arg(m)); }
    QStringList texts()
    {
        QStringList out;
        for (int f = 0; f < ButtonFields::FieldCount; ++f)
            out << box(f)->text();
        return out;
    }
    // The one button OK handed on.
    BtnRec handedOn()
    {
        EXPECT_EQ(stored.size(), 1u);
        return stored.empty() ? BtnRec{} : stored.back().button;
    }
    // True once the editor closed and deleted itself.
    bool gone()
    {
        if (editor && editor->isVisible())
            return false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !editor;
    }
    // Leaves a box as the focus moving on would.
    void leave(int f)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box(f), &out);
    }
    // Drags files onto a box and lets go, as from a file manager; true when the box
    // took the drag.
    bool drop(int f, const QList<QUrl>& files)
    {
        QMimeData data;
        data.setUrls(files);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box(f), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box(f), &drop);
        return enter.isAccepted();
    }
    void pressIconButton() { child<QToolButton>("btnOPEN(1)")->click(); }
    bool pickerOpen() { return picker.window() && picker.window()->isVisible(); }
    void pressInPicker(const char* button) { child<QPushButton>(button, picker.window())->click(); }
    QString pickerLabel(const char* label) { return child<QLabel>(label, picker.window())->text(); }

    struct Stored {
        ButtonPurpose purpose;
        BtnRec button;
    };
    ToolbarSet set;
    FakePrompter prompter;
    FakeDialogBackend dialogs;
    FakeIconSource icons;
    DialogIconPicker picker{icons, dialogs};
    std::vector<Stored> stored;
    bool accept{true};
    QTemporaryDir dir;
    OwnedWindow<ButtonEditor> editor;
};

// Which boxes OK wants is the fields' rule; here it follows what is typed and the mode.
TEST_F(ButtonEditorTest, OpensInButtonModeWithItsTabOrderAndOkFollowsTheBoxesAndTheMode)
{
    open();
    EXPECT_EQ(editor->windowTitle(), "Add Button");
    expectFixedWindow(*editor, Qt::Tool, true);
    EXPECT_TRUE(mode(0)->isChecked());
    EXPECT_EQ(texts(), QStringList(5, QString()));
    EXPECT_FALSE(ok()->isEnabled());
    EXPECT_TRUE(ok()->isDefault());
    expectTabOrder(*editor, {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)", "txtNAME(4)",
                             "btnOPEN(1)", "btnCOM(0)", "btnCOM(1)", "optMODE(0)", "optMODE(1)", "cbxTbrs"});
    EXPECT_EQ(unnamedControls(*editor), QStringList()); // each heard by a screen reader

    QTest::keyClicks(box(1), "xterm");
    EXPECT_FALSE(ok()->isEnabled());

    mode(1)->click();
    EXPECT_TRUE(ok()->isEnabled());
    for (const char* name :
         {"txtNAME(0)", "txtNAME(1)", "txtNAME(2)", "txtNAME(3)", "txtNAME(4)", "btnOPEN(0)", "btnOPEN(1)"})
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    EXPECT_EQ(box(1)->text(), "xterm");
    // A ";" the user can no longer reach keeps no separator from being stored.
    box(2)->setText("a;b");
    ok()->click();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(record(handedOn()), record({"", "", "", KindSeparator, "", 0}));
    EXPECT_TRUE(gone());

    open();
    mode(1)->click();
    mode(0)->click();
    EXPECT_TRUE(box(0)->isEnabled());
    EXPECT_FALSE(ok()->isEnabled());
}

TEST_F(ButtonEditorTest, RecallListOffersTheOtherToolbarsAndIsHiddenWithTheDefaultAlone)
{
    open();
    auto* recall = child<QComboBox>("cbxTbrs");
    EXPECT_TRUE(recall->isVisible());
    EXPECT_EQ(recall->placeholderText(), "Choose a Toolbar to Recall");
    EXPECT_EQ(recall->currentIndex(), -1);
    ASSERT_EQ(recall->count(), 2);
    QTest::keyClick(recall, Qt::Key_Down); // the first line
    ok()->click();
    // A toolbar named in Latin-1 is recalled under the same bytes.
    EXPECT_EQ(record(handedOn()), record({"Jeux \xe9t\xe9", RecallMarker, "1", KindFile, "", 0}));

    set.TbrLast = 0;
    open();
    EXPECT_FALSE(child<QComboBox>("cbxTbrs")->isVisible());
}

TEST_F(ButtonEditorTest, EditingFillsTheBoxesAndASeparatorOpensInSeparatorModeWithEmptyBoxes)
{
    BtnRec b{"Mail", "/usr/bin/mail", "-s x", KindFile, "/icons/m.ico", 3, 0};
    open(ButtonPurpose::Edit)->fill(b);
    EXPECT_EQ(editor->windowTitle(), "Edit Button");
    EXPECT_EQ(texts(), QStringList({"Mail", "/usr/bin/mail", "-s x", "/icons/m.ico", "3"}));
    editor->close();

    b.Kind = KindSeparator;
    open(ButtonPurpose::Edit)->fill(b);
    EXPECT_TRUE(mode(1)->isChecked());
    EXPECT_EQ(texts(), QStringList(5, QString()));
    EXPECT_FALSE(box(0)->isEnabled());
    ok()->click();
    EXPECT_EQ(record(handedOn()), record({"", "", "", KindSeparator, "", 0}));
    EXPECT_EQ(stored[0].purpose, ButtonPurpose::Edit);
}

TEST_F(ButtonEditorTest, LeavingOrDroppingOnTheTargetBoxCompletesTheName)
{
    open();
    box(1)->setText("/opt/docs/report.final.pdf");
    leave(0); // only the target box completes
    EXPECT_EQ(box(0)->text(), "");
    leave(1);
    EXPECT_EQ(box(0)->text(), "report");
    EXPECT_TRUE(ok()->isEnabled());

    // A drop puts the first file in the target box, a name in Latin-1 byte for byte;
    // the name typed stays, and other boxes take no files.
    const QList<QUrl> files = {QUrl(QStringLiteral("file:///srv/r%E9gler.sh")), QUrl::fromLocalFile("/srv/b.txt")};
    EXPECT_TRUE(drop(1, files));
    drop(2, files);
    ok()->click();
    EXPECT_EQ(record(handedOn()), record({"report", "/srv/r\xe9gler.sh", "", KindFile, "", 0}));
}

TEST_F(ButtonEditorTest, OkRefusesWhatTheFileCannotHoldAndStaysOpenWithNothingHandedOn)
{
    open();
    box(0)->setText("A;B");
    box(1)->setText("/bin/a");
    ok()->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(std::pair(prompter.shown[0].title, prompter.shown[0].style),
              std::pair(QString("Vyrelight Toolbar v2"), Prompter::Exclamation));
    EXPECT_TRUE(prompter.shown[0].text.contains("\"Name\" holds a \";\""));
    EXPECT_TRUE(stored.empty());
    EXPECT_TRUE(editor && editor->isVisible());

    // A host that refuses (it told the user) leaves the editor open too.
    box(0)->setText("AB");
    accept = false;
    ok()->click();
    EXPECT_EQ(stored.size(), 1u);
    EXPECT_TRUE(editor && editor->isVisible());
    accept = true;
    ok()->click();
    EXPECT_TRUE(gone());
}

TEST_F(ButtonEditorTest, BrowsingForTheTargetTakesTheChosenFileAndCancelChangesNothing)
{
    const QString program = dir.filePath("tool.sh");
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    open();
    box(1)->setText(dir.filePath("old.txt"));
    box(3)->setText("/icons/mine.ico");
    box(4)->setText("4");
    const QStringList before = texts();
    dialogs.cancel();
    child<QAbstractButton>("btnOPEN(0)")->click();
    EXPECT_EQ(texts(), before);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const DialogBackend::FileRequest& r = dialogs.fileRequests[0];
    EXPECT_EQ(QStringList({r.title, r.file, r.folder, r.nameFilters.first(), r.nameFilters.last()}),
              QStringList({"Button Executable", dir.filePath("old.txt"), dir.path(),
                           "Applications (DESKTOP) (*.desktop)", "All Files (*)"}));

    // A chosen program names the button and brings its own icon, over the one chosen.
    dialogs.choose(program);
    child<QAbstractButton>("btnOPEN(0)")->click();
    EXPECT_EQ(texts(), QStringList({"tool", program, "", program, "1"}));
}

// "Folder..." takes a folder as target from the folder chooser, which starts in the
// target's folder or at home; the button keeps icon number 0 and so shows the folder's.
TEST_F(ButtonEditorTest, FolderButtonTakesAChosenFolderAsTargetAndNameAndCancelChangesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("My.Projects"));
    const QString projects = dir.filePath("My.Projects");
    open();
    auto* folder = child<QPushButton>("btnFOLDER");
    EXPECT_EQ(folder->text(), "&Folder...");
    // Last in the tab order, after the recall list, and a button's alone.
    EXPECT_EQ(child("cbxTbrs")->nextInFocusChain(), folder);
    mode(1)->setChecked(true);
    EXPECT_FALSE(folder->isEnabled());
    mode(0)->setChecked(true);
    EXPECT_TRUE(folder->isEnabled());

    // Cancel: nothing changes; with no target the chooser starts at home.
    dialogs.cancel();
    folder->click();
    EXPECT_EQ(texts(), QStringList(5, QString()));
    // A chosen folder fills the empty name with its whole own name; the icon stays 0.
    box(1)->setText(dir.filePath("notes.txt"));
    dialogs.choose(projects);
    folder->click();
    EXPECT_EQ(texts(), QStringList({"My.Projects", projects, "", "", ""}));
    // A typed name stays; the chooser starts in the target folder itself.
    box(0)->setText("Work");
    dialogs.choose(dir.path());
    folder->click();
    ok()->click();
    EXPECT_EQ(record(handedOn()), record({"Work", dir.path().toStdString(), "", KindFolder, "", 0}));

    ASSERT_EQ(dialogs.fileRequests.size(), 3u);
    const QString starts[] = {QDir::homePath(), dir.path(), projects};
    for (int i = 0; i < 3; ++i) {
        const DialogBackend::FileRequest& r = dialogs.fileRequests[i];
        EXPECT_EQ(std::tuple(r.mode, r.title, r.folder),
                  std::tuple(DialogBackend::FileRequest::Mode::Folder, QString("Button Folder"), starts[i]));
    }
}

// "Applications..." takes the chosen entry as target and icon; a separator has no target.
TEST_F(ButtonEditorTest, TakingAnApplicationFillsNameTargetAndIconAndOkAddsIt)
{
    open(ButtonPurpose::Add, this);
    auto* apps = child<QPushButton>("btnAPPS");
    EXPECT_EQ(apps->text(), "A&pplications...");
    mode(1)->setChecked(true);
    EXPECT_FALSE(apps->isEnabled());
    mode(0)->setChecked(true);
    apps->click();
    ok()->click();
    const char* entry = "/usr/share/applications/editor.desktop";
    EXPECT_EQ(record(handedOn()), record({"Text Editor", entry, "", KindFile, entry, 1}));
}

// The icon button opens the picker over the editor, which waits without a loop of its
// own, at the boxes' icon; only the picker's OK takes its choice back.
TEST_F(ButtonEditorTest, TheIconButtonOpensThePickerAtTheBoxesIconAndOnlyOkTakesItsChoice)
{
    open();
    box(3)->setText("/icons/five.icl");
    box(4)->setText("6"); // past the file's last icon: nothing to show
    pressIconButton();
    EXPECT_FALSE(pickerOpen());
    EXPECT_EQ(box(4)->text(), "6");
    box(4)->setText("5");
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(pickerLabel("Label12"), "Selected Icon : 5");
    EXPECT_EQ(picker.window()->parentWidget(), editor.get());
    EXPECT_EQ(picker.window()->windowModality(), Qt::WindowModal);
    // Cancel keeps the boxes, whatever was browsed to and stepped through.
    dialogs.choose("/icons/twelve.dll");
    pressInPicker("btnBRWS");
    picker.window()->setPosition(7);
    pressInPicker("btnCOM(1)");
    EXPECT_EQ(texts().mid(3), QStringList({"/icons/five.icl", "5"}));
    pressIconButton();
    QTest::mouseClick(child<IconCell>("Picture5", picker.window()), Qt::LeftButton); // two back
    pressInPicker("btnCOM(0)");
    EXPECT_EQ(box(4)->text(), "3");
}

TEST_F(ButtonEditorTest, ATargetPresetsThePickersFileAndARecallButtonClearsIt)
{
    open();
    box(1)->setText("/icons/twelve.dll");
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(picker.window()->file(), "/icons/twelve.dll");
    EXPECT_EQ(pickerLabel("Label12"), "Selected Icon : 1");
    pressInPicker("btnCOM(1)");
    box(1)->setText(RecallMarker);
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(picker.window()->file(), "");
    EXPECT_EQ(pickerLabel("Label4"), "No icons found!");
}

// The open picker belongs to its editor: a second one asking is turned away, and an
// editor gone takes it along; the next use makes another.
TEST_F(ButtonEditorTest, ASecondEditorAskingIsTurnedAwayAndAnEditorGoneTakesThePickerAlong)
{
    open();
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    bool answered = false;
    QWidget other;
    EXPECT_FALSE(picker.pick(&other, {}, [&](const std::optional<IconChoice>&) { answered = true; }));
    EXPECT_EQ(picker.window()->parentWidget(), editor.get());
    editor.reset();
    EXPECT_EQ(picker.window(), nullptr);
    EXPECT_FALSE(answered);
    open();
    box(3)->setText("/icons/twelve.dll");
    box(4)->setText("12");
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    pressInPicker("btnCOM(0)");
    EXPECT_EQ(box(4)->text(), "12");
}

TEST_F(ButtonEditorTest, EveryCaptionShowsWholeAtEveryScale)
{
    atEveryFontScale([&] {
        open();
        expectWholeTexts(*editor);
        // Each label stands level with its box.
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(child(QStringLiteral("lblTXT(%1)").arg(i))->geometry().center().y(),
                      box(i)->geometry().center().y())
                << i;
        editor.reset();
    });
}

} // namespace
