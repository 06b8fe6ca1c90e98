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
#include "support/TestHelpers.h"
#include "support/WindowKind.h"
#include "ButtonRecord.h"

#include <QApplication>
#include <QComboBox>
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
        stored.emplace_back(purpose, button);
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
        return stored.empty() ? BtnRec{} : stored.back().second;
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

    ToolbarSet set;
    FakePrompter prompter;
    FakeDialogBackend dialogs;
    FakeIconSource icons;
    DialogIconPicker picker{icons, dialogs};
    std::vector<std::pair<ButtonPurpose, BtnRec>> stored;
    bool accept{true};
    QTemporaryDir dir;
    OwnedWindow<ButtonEditor> editor;
};

// Which boxes OK wants is the fields' rule; here it follows what is typed and the mode.
// "Applications..." and "Folder..." come last in the tab order, after the recall list.
TEST_F(ButtonEditorTest, OpensInButtonModeWithItsTabOrderAndOkFollowsTheBoxesAndTheMode)
{
    open(ButtonPurpose::Add, this);
    expectFixedWindow(*editor, Qt::Tool, true);
    EXPECT_EQ(std::tuple(editor->windowTitle(), mode(0)->isChecked(), texts(), ok()->isEnabled(), ok()->isDefault()),
              std::tuple("Add Button", true, QStringList(5, QString()), false, true));
    expectTabOrder(*editor, {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)", "txtNAME(4)",
                             "btnOPEN(1)", "btnCOM(0)", "btnCOM(1)", "optMODE(0)", "optMODE(1)", "cbxTbrs",
                             "btnAPPS", "btnFOLDER"});
    EXPECT_EQ(QStringList({child<QPushButton>("btnAPPS")->text(), child<QPushButton>("btnFOLDER")->text()}),
              QStringList({"A&pplications...", "&Folder..."}));
    EXPECT_EQ(unnamedControls(*editor), QStringList()); // each heard by a screen reader

    QTest::keyClicks(box(1), "xterm");
    EXPECT_FALSE(ok()->isEnabled());

    mode(1)->click();
    EXPECT_TRUE(ok()->isEnabled());
    for (const char* name : {"txtNAME(0)", "txtNAME(1)", "txtNAME(2)", "txtNAME(3)", "txtNAME(4)", "btnOPEN(0)",
                             "btnOPEN(1)", "btnAPPS", "btnFOLDER"})
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    // A ";" the user can no longer reach keeps no separator from being stored.
    box(2)->setText("a;b");
    ok()->click();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(record(handedOn()), record({"", "", "", KindSeparator, "", 0}));
    EXPECT_TRUE(gone());

    open();
    mode(1)->click();
    mode(0)->click();
    EXPECT_TRUE(box(0)->isEnabled() && child("btnFOLDER")->isEnabled());
    EXPECT_FALSE(ok()->isEnabled());
}

TEST_F(ButtonEditorTest, RecallListOffersTheOtherToolbarsAndIsHiddenWithTheDefaultAlone)
{
    open();
    auto* recall = child<QComboBox>("cbxTbrs");
    EXPECT_EQ(std::tuple(recall->isVisible(), recall->placeholderText(), recall->currentIndex(), recall->count()),
              std::tuple(true, "Choose a Toolbar to Recall", -1, 2));
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
    EXPECT_EQ(std::tuple(mode(1)->isChecked(), texts(), box(0)->isEnabled()), std::tuple(true, QStringList(5, QString()), false));
    ok()->click();
    EXPECT_EQ(record(handedOn()), record({"", "", "", KindSeparator, "", 0}));
    EXPECT_EQ(stored[0].first, ButtonPurpose::Edit);
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
    const FakePrompter::Shown& m = prompter.shown[0];
    EXPECT_EQ(std::tuple(m.title, m.style, m.text.contains("\"Name\" holds a \";\""), stored.size(), editor->isVisible()),
              std::tuple(QString("Vyrelight Toolbar v2"), Prompter::Exclamation, true, 0u, true));

    // A host that refuses (it told the user) leaves the editor open too.
    box(0)->setText("AB");
    accept = false;
    ok()->click();
    EXPECT_EQ(std::tuple(stored.size(), editor->isVisible()), std::tuple(1u, true));
    accept = true;
    ok()->click();
    EXPECT_TRUE(gone());
}

// A target browsed to or an application taken ("Applications...": its entry is target
// and icon) fills the boxes; a cancel changes nothing.
TEST_F(ButtonEditorTest, BrowsingOrTakingAnApplicationFillsTheTargetAndCancelChangesNothing)
{
    const QString program = dir.filePath("tool.sh");
    writeFile(program, "", true);
    open(ButtonPurpose::Add, this);
    box(1)->setText(dir.filePath("old.txt"));
    box(3)->setText("/icons/mine.ico");
    box(4)->setText("4");
    const QStringList before = texts();
    dialogs.cancel();
    child<QToolButton>("btnOPEN(0)")->click();
    EXPECT_EQ(texts(), before);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const DialogBackend::FileRequest& r = dialogs.fileRequests[0];
    EXPECT_EQ(QStringList({r.title, r.file, r.folder, r.nameFilters.first(), r.nameFilters.last()}),
              QStringList({"Button Executable", dir.filePath("old.txt"), dir.path(),
                           "Applications (DESKTOP) (*.desktop)", "All Files (*)"}));

    // A chosen program names the button and brings its own icon, over the one chosen.
    dialogs.choose(program);
    child<QToolButton>("btnOPEN(0)")->click();
    EXPECT_EQ(texts(), QStringList({"tool", program, "", program, "1"}));
    child<QPushButton>("btnAPPS")->click();
    ok()->click();
    const char* entry = "/usr/share/applications/editor.desktop";
    EXPECT_EQ(record(handedOn()), record({"Text Editor", entry, "", KindFile, entry, 1}));
}

// "Folder..." takes a folder as target from the folder chooser, which starts in the
// target's folder or at home; the button keeps icon number 0 and so shows the folder's.
TEST_F(ButtonEditorTest, FolderButtonTakesAChosenFolderAsTargetAndNameAndCancelChangesNothing)
{
    const QString projects = dir.filePath("My.Projects");
    ASSERT_TRUE(QDir().mkdir(projects));
    open();
    auto* folder = child<QPushButton>("btnFOLDER");

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

// The icon button opens the picker over the editor, which waits without a loop of its
// own, at the boxes' icon, else at the target's (a recall button has none); only the
// picker's OK takes its choice back. The open picker belongs to its editor: another
// asking is turned away, and an editor gone takes it along.
TEST_F(ButtonEditorTest, TheIconButtonOpensThePickerAtTheBoxesIconAndOnlyOkTakesItsChoice)
{
    open();
    box(1)->setText("/icons/twelve.dll");
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(QStringList({picker.window()->file(), pickerLabel("Label12")}),
              QStringList({"/icons/twelve.dll", "Selected Icon : 1"}));
    pressInPicker("btnCOM(1)");
    box(1)->setText(RecallMarker);
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(pickerLabel("Label4"), "No icons found!");
    pressInPicker("btnCOM(1)");

    box(3)->setText("/icons/five.icl");
    box(4)->setText("6"); // past the file's last icon: nothing to show
    pressIconButton();
    EXPECT_FALSE(pickerOpen());
    box(4)->setText("5");
    pressIconButton();
    ASSERT_TRUE(pickerOpen());
    EXPECT_EQ(pickerLabel("Label12"), "Selected Icon : 5");
    EXPECT_EQ(std::pair(picker.window()->parentWidget(), picker.window()->windowModality()),
              std::pair(static_cast<QWidget*>(editor.get()), Qt::WindowModal));
    QWidget other;
    EXPECT_FALSE(picker.pick(&other, {}, [](const std::optional<IconChoice>&) { ADD_FAILURE(); }));
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

    pressIconButton();
    editor.reset();
    EXPECT_EQ(picker.window(), nullptr);
    open();
    pressIconButton();
    EXPECT_TRUE(pickerOpen());
}

// Every visible button, label and combo box is as large as it asks to be and lies inside
// the window, with the application font at its own size, then 1.5 and 2 times it.
TEST_F(ButtonEditorTest, EveryCaptionShowsWholeAtEveryScale)
{
    const QFont saved = QApplication::font();
    for (const qreal factor : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(factor);
        QFont larger = saved;
        larger.setPointSizeF(saved.pointSizeF() * factor);
        QApplication::setFont(larger);
        open();
        for (const QWidget* w : editor->findChildren<QWidget*>()) {
            if (!w->isVisible() || !(w->inherits("QAbstractButton") || w->inherits("QLabel") || w->inherits("QComboBox")))
                continue;
            const std::string name = w->objectName().toStdString();
            EXPECT_TRUE(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height()) << name << " is cut";
            EXPECT_TRUE(editor->rect().contains(QRect(w->mapTo(editor.get(), QPoint()), w->size()))) << name << " runs out";
        }
        editor.reset();
    }
    QApplication::setFont(saved);
}

} // namespace
