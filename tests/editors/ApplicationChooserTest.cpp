// Choosing an installed application: the chooser over folders of the test's own, driven
// by the keyboard as a user would, and what the button editor takes from it.
#include "editors/ApplicationChooserDialog.h"
#include "editors/DialogApplicationChooser.h"
#include "support/FakeIconSource.h"
#include "support/TestHelpers.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

class ApplicationChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
    void entry(const QString& relative, const QByteArray& name, const QByteArray& more, const QByteArray& exec)
    {
        writeFile(dir.filePath(relative), "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + more);
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
    // Each answer as the name and the file, "-" for a cancel.
    void open()
    {
        chooser.choose(nullptr, [this](const std::optional<ChosenApplication>& c) { results << (c ? c->name + " " + c->file : "-"); });
    }

    QTemporaryDir dir;
    EnvGuard env{"XDG_DATA_HOME", "XDG_DATA_DIRS", "LANG", "LC_ALL", "LC_MESSAGES"};
    FakeIconSource icons;
    DialogApplicationChooser chooser{icons};
    QStringList results;
};

TEST_F(ApplicationChooserTest, ListsShownApplicationsByNameFiltersAsTypedAndTakesTheCurrentOneByKeyboard)
{
    open();
    ApplicationChooserDialog* w = chooser.window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(std::pair(w->windowTitle(), w->isVisible()), std::pair(QString("Choose an Application"), true));
    // Sorted whatever the case, in the user's language, the first one current.
    EXPECT_EQ(rows(), (QStringList{"browser*", "Texteditor", "Zebra"}));
    EXPECT_EQ(w->focusWidget(), search());

    const std::pair<const char*, QStringList> filters[] = { // typed, shown
        {"ZEB", {"Zebra*"}},          // the name, whatever the case
        {"web", {"browser*"}},        // the generic name
        {"notes", {"Texteditor*"}},   // a keyword
        {"firefox", {"browser*"}},    // the command
        {"e", {"browser*", "Texteditor", "Zebra"}},
        {"nothing like it", {}},
    };
    for (const auto& [typed, shown] : filters) {
        search()->setText(typed);
        EXPECT_EQ(rows(), shown) << typed;
    }
    search()->clear();
    QTest::keyClick(search(), Qt::Key_Down);
    QTest::keyClick(search(), Qt::Key_Down);
    QTest::keyClick(search(), Qt::Key_Up);
    EXPECT_EQ(rows(), (QStringList{"browser", "Texteditor*", "Zebra"}));
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_FALSE(w->isVisible());
    const QString taken = "Texteditor " + dir.filePath("share/applications/editor.desktop");
    EXPECT_EQ(results, QStringList({taken}));

    // Escape cancels; the next opening starts afresh and sees a new entry.
    open();
    QTest::keyClicks(search(), "zeb");
    QTest::keyClick(search(), Qt::Key_Escape);
    EXPECT_EQ(results, QStringList({taken, "-"}));
    entry("home/applications/aardvark.desktop", "Aardvark", "", "aard");
    open();
    EXPECT_EQ(std::pair(search()->text(), rows()), std::pair(QString(), QStringList{"Aardvark*", "browser", "Texteditor", "Zebra"}));
    // The icons come after the list, a few at a time.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->iconsPending() == 0; }, 5000));
    auto* view = w->findChild<QListWidget*>("lstApps");
    EXPECT_EQ(view->item(3)->icon().pixmap(QSize(32, 32)).toImage().pixel(16, 16), qRgb(0, 0, 200));
    w->reject();
}

} // namespace
