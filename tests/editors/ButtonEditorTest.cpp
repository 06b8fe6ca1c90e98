// The button editor's window: its controls, modes and recall list, what OK hands on and
// what it refuses, driven off screen with the messages and the host scripted.
#include "editors/ApplicationChooser.h"
#include "editors/ButtonEditor.h"
#include "platform/OwnedWindow.h"
#include "editors/IconPicker.h"
#include "platform/LosslessText.h"
#include "store/ToolbarSet.h"
#include "support/AccessibleNames.h"
#include "support/FakeDialogBackend.h"
#include "support/FakePrompter.h"
#include "ScriptedPicker.h"

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include "support/WholeText.h"
#include "support/WindowKind.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ButtonEditorTest : public ::testing::Test, public ButtonEditorHost, public ApplicationChooser {
protected:
    ButtonEditorTest()
    {
        set.RedimTbrs(2);
        set.TbrLast = 2;
        set.Tbrs[0].Name = "Default";
        set.Tbrs[1].Name = "Games";
        set.Tbrs[2].Name = "Work";
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
    W* child(const QString& name)
    {
        W* w = editor->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* box(int f) { return child<QLineEdit>(QStringLiteral("txtNAME(%1)").arg(f)); }
    QPushButton* ok() { return child<QPushButton>("btnCOM(0)"); }
    QStringList texts()
    {
        QStringList out;
        for (int f = 0; f < ButtonFields::FieldCount; ++f)
            out << box(f)->text();
        return out;
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

    struct Stored {
        ButtonPurpose purpose;
        BtnRec button;
    };
    ToolbarSet set;
    FakePrompter prompter;
    FakeDialogBackend dialogs;
    std::vector<Stored> stored;
    bool accept{true};
    ScriptedPicker picker;
    OwnedWindow<ButtonEditor> editor;

};

TEST_F(ButtonEditorTest, OpensInButtonModeWithEmptyBoxesOkDisabledAndItsTabOrder)
{
    open();
    EXPECT_EQ(editor->windowTitle(), "Add Button");
    expectFixedWindow(*editor, Qt::Tool, true);
    EXPECT_TRUE(child<QRadioButton>("optMODE(0)")->isChecked());
    EXPECT_EQ(texts(), QStringList(5, QString()));
    EXPECT_FALSE(ok()->isEnabled());
    EXPECT_TRUE(ok()->isDefault());
    expectTabOrder(*editor, {"txtNAME(0)", "txtNAME(1)", "btnOPEN(0)", "txtNAME(2)", "txtNAME(3)", "txtNAME(4)",
                             "btnOPEN(1)", "btnCOM(0)", "btnCOM(1)", "optMODE(0)", "optMODE(1)", "cbxTbrs"});
    EXPECT_EQ(unnamedControls(*editor), QStringList()); // each heard by a screen reader
}

TEST_F(ButtonEditorTest, OkFollowsNameTargetAndModeAndASeparatorStoresNoneOfTheTexts)
{
    // Which boxes OK wants is the fields' rule; here it follows what is typed.
    open();
    QTest::keyClicks(box(1), "xterm");
    EXPECT_FALSE(ok()->isEnabled());

    child<QRadioButton>("optMODE(1)")->click();
    EXPECT_TRUE(ok()->isEnabled());
    for (int f = 0; f < 5; ++f)
        EXPECT_FALSE(box(f)->isEnabled());
    EXPECT_FALSE(child("btnOPEN(0)")->isEnabled());
    EXPECT_FALSE(child("btnOPEN(1)")->isEnabled());
    EXPECT_EQ(box(1)->text(), "xterm");
    // A ";" the user can no longer reach keeps no separator from being stored.
    box(2)->setText("a;b");
    ok()->click();
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].button.Kind, KindSeparator);
    EXPECT_EQ(stored[0].button.Executable, "");
    EXPECT_EQ(stored[0].button.Parameters, "");
    EXPECT_TRUE(gone());

    open();
    child<QRadioButton>("optMODE(1)")->click();
    child<QRadioButton>("optMODE(0)")->click();
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
    QTest::keyClick(recall, Qt::Key_Down); // the second
    EXPECT_EQ(texts(), QStringList({"Work", RecallMarker, "2", "", ""}));
    ok()->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].button.Kind, KindFile);

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
    EXPECT_TRUE(child<QRadioButton>("optMODE(1)")->isChecked());
    EXPECT_EQ(texts(), QStringList(5, QString()));
    EXPECT_FALSE(box(0)->isEnabled());
    ok()->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].purpose, ButtonPurpose::Edit);
    EXPECT_EQ(stored[0].button.Name, "");
    EXPECT_EQ(stored[0].button.IconIndex, 0);
}

// Texts that are not UTF-8 (Latin-1 from an older system): the round trip of the boxes
// is the fields' test; here what the window adds, the recall list and a drop.
TEST_F(ButtonEditorTest, TextsThatAreNotUtf8SurviveTheRecallListAndADropByteForByte)
{
    // The recall list offers a toolbar named in Latin-1 under the same bytes.
    set.Tbrs[1].Name = "Jeux \xe9t\xe9";
    open();
    auto* recall = child<QComboBox>("cbxTbrs");
    recall->setCurrentIndex(0);
    emit recall->activated(0);
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("file:///srv/r%E9gler.sh"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box(1), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box(1), &drop);
    ok()->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].button.Name, "Jeux \xe9t\xe9");
    EXPECT_EQ(stored[0].button.Executable, "/srv/r\xe9gler.sh");
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

    // A drop puts the first file in the target box; the name typed stays.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/srv/a.txt"), QUrl::fromLocalFile("/srv/b.txt")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box(1), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box(1), &drop);
    EXPECT_EQ(box(1)->text(), "/srv/a.txt");
    EXPECT_EQ(box(0)->text(), "report");
    // Other boxes take no files.
    QDropEvent other(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box(2), &other);
    EXPECT_NE(box(2)->text(), "/srv/a.txt");
}

TEST_F(ButtonEditorTest, OkRefusesWhatTheFileCannotHoldAndStaysOpenWithNothingHandedOn)
{
    open();
    box(0)->setText("A;B");
    box(1)->setText("/bin/a");
    ok()->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Vyrelight Toolbar v2");
    EXPECT_EQ(prompter.shown[0].style, Prompter::Exclamation);
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
    QTemporaryDir dir;
    const QString program = dir.filePath("tool.sh");
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
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
    const DialogBackend::FileRequest& asked = dialogs.fileRequests[0];
    EXPECT_EQ(asked.title, "Button Executable");
    EXPECT_EQ(asked.file, dir.filePath("old.txt"));
    EXPECT_EQ(asked.folder, dir.path());
    EXPECT_EQ(asked.nameFilters.first(), "Applications (DESKTOP) (*.desktop)");
    EXPECT_EQ(asked.nameFilters.last(), "All Files (*)");

    // A chosen program names the button and brings its own icon, over the one chosen.
    dialogs.choose(program);
    child<QAbstractButton>("btnOPEN(0)")->click();
    EXPECT_EQ(texts(), QStringList({"tool", program, "", program, "1"}));
}

// "Folder..." takes a folder as target from the folder chooser, which starts in the
// target's folder or at home; the button keeps icon number 0 and so shows the folder's.
TEST_F(ButtonEditorTest, FolderButtonTakesAChosenFolderAsTargetAndNameAndCancelChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("My.Projects"));
    const QString projects = dir.filePath("My.Projects");
    open();
    auto* folder = child<QPushButton>("btnFOLDER");
    EXPECT_EQ(folder->text(), "&Folder...");
    // Last in the tab order, after the recall list, and a button's alone.
    EXPECT_EQ(child("cbxTbrs")->nextInFocusChain(), folder);
    child<QRadioButton>("optMODE(1)")->setChecked(true);
    EXPECT_FALSE(folder->isEnabled());
    child<QRadioButton>("optMODE(0)")->setChecked(true);
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
    const QString latin1 = textFromBytes("/srv/caf\xe9/");
    dialogs.choose(latin1);
    folder->click();
    EXPECT_EQ(texts(), QStringList({"Work", latin1, "", "", ""}));
    ok()->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].button.IconIndex, 0);

    ASSERT_EQ(dialogs.fileRequests.size(), 3u);
    const QString starts[] = {QDir::homePath(), dir.path(), projects};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dialogs.fileRequests[i].mode, DialogBackend::FileRequest::Mode::Folder) << i;
        EXPECT_EQ(dialogs.fileRequests[i].title, "Button Folder") << i;
        EXPECT_EQ(dialogs.fileRequests[i].folder, starts[i]) << i;
    }
}

// "Applications..." takes the chosen entry as target and icon; a separator has no target.
TEST_F(ButtonEditorTest, TakingAnApplicationFillsNameTargetAndIconAndOkAddsIt)
{
    open(ButtonPurpose::Add, this);
    auto* apps = child<QPushButton>("btnAPPS");
    EXPECT_EQ(apps->text(), "A&pplications...");
    child<QRadioButton>("optMODE(1)")->setChecked(true);
    EXPECT_FALSE(apps->isEnabled());
    child<QRadioButton>("optMODE(0)")->setChecked(true);
    apps->click();
    const QString entry = "/usr/share/applications/editor.desktop";
    EXPECT_EQ(texts(), (QStringList{"Text Editor", entry, "", entry, "1"}));
    ok()->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].button.IconIndex, 1);
}

TEST_F(ButtonEditorTest, EveryCaptionShowsWholeAtEveryScale)
{
    atEveryFontScale([&] {
        open();
        expectWholeTexts(*editor);
        // Each label stands level with its box.
        for (int i = 0; i < 4; ++i) {
            const QWidget* label = child(QStringLiteral("lblTXT(%1)").arg(i));
            EXPECT_EQ(label->geometry().center().y(), box(i)->geometry().center().y()) << i;
        }
        editor.reset();
    });
}

} // namespace
