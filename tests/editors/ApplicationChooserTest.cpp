// Choosing an installed application: the chooser over folders of the test's own, driven
// by the keyboard as a user would, and what the button editor takes from it.
#include "editors/ApplicationChooserDialog.h"
#include "editors/ButtonEditor.h"
#include "editors/DialogApplicationChooser.h"
#include "editors/IconPicker.h"
#include "store/ToolbarSet.h"
#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"
#include "support/FakePrompter.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

class ApplicationChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "LANG", "LC_ALL", "LC_MESSAGES"})
            saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("home")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath("share")));
        qputenv("LANG", "de_DE.UTF-8");
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        entry("share/applications/editor.desktop", "Text Editor", "Name[de]=Texteditor\nGenericName=Editor\nKeywords=notes;\n",
              "gedit");
        entry("share/applications/zz.desktop", "Zebra", "Comment=Stripes\n", "zebra-tool");
        entry("share/applications/browser.desktop", "browser", "GenericName=Web Browser\n", "firefox %u");
        entry("share/applications/hidden.desktop", "Hidden one", "NoDisplay=true\n", "hidden");
        icons.serve(path("share/applications/zz.desktop"), {FakeIconSource::solid(qRgb(0, 0, 200))});
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            value ? qputenv(name, *value) : qunsetenv(name);
    }
    void entry(const QString& relative, const QByteArray& name, const QByteArray& more, const QByteArray& exec)
    {
        QDir().mkpath(QFileInfo(dir.filePath(relative)).absolutePath());
        QFile f(dir.filePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + more);
    }
    std::string path(const QString& relative) { return QFile::encodeName(dir.filePath(relative)).toStdString(); }
    QStringList rows()
    {
        QStringList out;
        auto* view = chooser.window()->findChild<QListWidget*>("lstApps");
        for (int i = 0; i < view->count(); ++i)
            if (!view->item(i)->isHidden())
                out << view->item(i)->text() + (view->currentRow() == i ? "*" : "");
        return out;
    }
    QLineEdit* search() { return chooser.window()->findChild<QLineEdit*>("txtSearch"); }
    void open()
    {
        chooser.choose(nullptr, [this](const std::optional<ChosenApplication>& c) { results.push_back(c); });
    }

    QTemporaryDir dir;
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    FakeIconSource icons;
    DialogApplicationChooser chooser{icons};
    std::vector<std::optional<ChosenApplication>> results;
};

TEST_F(ApplicationChooserTest, ListsShownApplicationsByNameFiltersAsTypedAndTakesTheCurrentOneByKeyboard)
{
    open();
    ApplicationChooserDialog* w = chooser.window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Choose an Application");
    EXPECT_TRUE(w->isVisible());
    // Sorted whatever the case, in the user's language, the first one current.
    EXPECT_EQ(rows(), (QStringList{"browser*", "Texteditor", "Zebra"}));
    EXPECT_EQ(w->focusWidget(), search());

    const struct {
        const char* typed;
        QStringList shown;
    } filters[] = {
        {"ZEB", {"Zebra*"}},          // the name, whatever the case
        {"web", {"browser*"}},        // the generic name
        {"notes", {"Texteditor*"}},   // a keyword
        {"firefox", {"browser*"}},    // the command
        {"e", {"browser*", "Texteditor", "Zebra"}},
        {"nothing like it", {}},
    };
    for (const auto& f : filters) {
        search()->setText(f.typed);
        EXPECT_EQ(rows(), f.shown) << f.typed;
    }
    search()->clear();
    QTest::keyClick(search(), Qt::Key_Down);
    QTest::keyClick(search(), Qt::Key_Down);
    QTest::keyClick(search(), Qt::Key_Up);
    EXPECT_EQ(rows(), (QStringList{"browser", "Texteditor*", "Zebra"}));
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0]);
    EXPECT_EQ(results[0]->name, "Texteditor");
    EXPECT_EQ(results[0]->file, dir.filePath("share/applications/editor.desktop"));

    // Escape cancels; the next opening starts afresh and sees a new entry.
    open();
    QTest::keyClicks(search(), "zeb");
    QTest::keyClick(search(), Qt::Key_Escape);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[1]);
    entry("home/applications/aardvark.desktop", "Aardvark", "", "aard");
    open();
    EXPECT_EQ(search()->text(), "");
    EXPECT_EQ(rows(), (QStringList{"Aardvark*", "browser", "Texteditor", "Zebra"}));
    // The icons come after the list, a few at a time.
    QTRY_COMPARE(w->iconsPending(), 0);
    auto* view = w->findChild<QListWidget*>("lstApps");
    EXPECT_EQ(view->item(3)->icon().pixmap(QSize(32, 32)).toImage().pixel(16, 16), qRgb(0, 0, 200));
    w->reject();
}

// The button editor's "Applications..." takes the chosen entry as target and icon.
class EditorWithChooser : public ::testing::Test, public ButtonEditorHost, public IconPicker, public ApplicationChooser {
protected:
    bool storeButton(ButtonPurpose, const BtnRec& b) override
    {
        stored.push_back(b);
        return true;
    }
    bool pick(QWidget*, const IconPreset&, IconPicker::Done) override { return false; }
    bool choose(QWidget*, ApplicationChooser::Done done) override
    {
        ++opened;
        done(ChosenApplication{"Text Editor", "/usr/share/applications/editor.desktop"});
        return true;
    }
    ToolbarSet set;
    FakePrompter prompter;
    FakeDialogBackend dialogs;
    std::vector<BtnRec> stored;
    int opened = 0;
};

TEST_F(EditorWithChooser, TakingAnApplicationFillsNameTargetAndIconAndOkAddsIt)
{
    set.RedimTbrs(0);
    auto* editor = new ButtonEditor(ButtonPurpose::Add, {set, *this, prompter, *this, dialogs, this});
    editor->show();
    auto* apps = editor->findChild<QPushButton*>("btnAPPS");
    ASSERT_NE(apps, nullptr);
    EXPECT_EQ(apps->text(), "A&pplications...");
    editor->findChild<QRadioButton*>("optMODE(1)")->setChecked(true);
    EXPECT_FALSE(apps->isEnabled()); // a separator has no target
    editor->findChild<QRadioButton*>("optMODE(0)")->setChecked(true);
    ASSERT_TRUE(apps->isEnabled());
    apps->click();
    EXPECT_EQ(opened, 1);
    QStringList texts;
    for (int f = 0; f < 5; ++f)
        texts << editor->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(f))->text();
    EXPECT_EQ(texts, (QStringList{"Text Editor", "/usr/share/applications/editor.desktop", "",
                                  "/usr/share/applications/editor.desktop", "1"}));
    editor->findChild<QPushButton*>("btnCOM(0)")->click();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].IconIndex, 1);
    EXPECT_EQ(stored[0].Executable, "/usr/share/applications/editor.desktop");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
