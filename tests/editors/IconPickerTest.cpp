// The icon picker: what its five cells, scroll bar and labels show for files of many,
// one and no icons, stepping by a neighbour, browsing and the icon theme (how an editor
// opens it is the button editor's test).
#include "editors/IconCell.h"
#include "editors/IconPickerDialog.h"
#include "editors/ThemeIconDialog.h"
#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"

#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "support/WindowKind.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char* const Cells[] = {"Picture5", "Picture3", "Iconbox", "Picture4", "Picture6"};

// A picture of its own for each icon, told apart by colour.
std::vector<QImage> distinctIcons(int n)
{
    std::vector<QImage> out;
    for (int i = 0; i < n; ++i)
        out.push_back(FakeIconSource::solid(qRgb(10 * i, 255 - 10 * i, 7 * i)));
    return out;
}

class IconPickerTest : public ::testing::Test {
protected:
    IconPickerTest()
    {
        icons.serve("/icons/twelve.dll", distinctIcons(12));
        icons.serve("/icons/one.ico", distinctIcons(1));
        icons.serve("/icons/five.icl", distinctIcons(5));
    }
    template <typename W = QWidget>
    W* child(const QString& name) { return childOf<W>(&dialog, name); }
    QScrollBar* scroll() { return child<QScrollBar>("Scroll"); }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    // The count's label, the chosen icon's label, and whether the scroll bar and the
    // middle cell are on.
    std::tuple<QString, QString, bool, bool> labels()
    {
        return {text("Label4"), text("Label12"), scroll()->isEnabled(), child("Iconbox")->isEnabled()};
    }
    // Which icon of the file each cell shows, left to right; -1 for an empty cell.
    std::vector<int> shown(const std::string& file)
    {
        std::vector<int> out;
        for (const char* name : Cells) {
            const QImage& p = child<IconCell>(name)->picture();
            int found = -1;
            for (int i = 0; i < icons.count(file); ++i)
                if (!p.isNull() && p == icons.draw(file, i))
                    found = i;
            out.push_back(found);
        }
        return out;
    }
    void click(const char* cell) { QTest::mouseClick(child<IconCell>(cell), Qt::LeftButton); }
    // The picker stands at position of the file of twelve: the scroll bar, the label and
    // the middle cell's tip say so.
    void expectAt(int position)
    {
        EXPECT_EQ(std::tuple(dialog.position(), scroll()->value(), text("Label12"), child("Iconbox")->toolTip()),
                  std::tuple(position, position, QStringLiteral("Selected Icon : %1").arg(position + 1),
                             QStringLiteral("/icons/twelve.dll,%1").arg(position)));
    }

    FakeIconSource icons;
    FakeDialogBackend dialogs;
    IconPickerDialog dialog{icons, dialogs};
};

TEST_F(IconPickerTest, BeforeAnyFileEverythingIsEmptyAndTheScrollBarDisabled)
{
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Open Icon");
    expectFixedWindow(dialog, Qt::Dialog, false); // it ends by Ok or Cancel alone
    EXPECT_EQ(labels(), std::tuple("", "", false, false));
    EXPECT_EQ(shown("/icons/twelve.dll"), std::vector<int>(5, -1));
    EXPECT_TRUE(child<QPushButton>("btnCOM(0)")->isDefault());
    // Past what takes no focus now: the cells, and the scroll bar while it is off.
    expectTabOrder(dialog, {"btnBRWS", "btnTHEME", "btnCOM(0)", "btnCOM(1)", "Filename", "btnBRWS"}, true);
}

// A neighbour's click brings its icon into the middle; past either end it does nothing.
TEST_F(IconPickerTest, AFileOfTwelveShowsItsFirstIconsAndTheEndOfTheScrollBarItsLastAndNeighboursStep)
{
    dialog.setFile("/icons/twelve.dll");
    EXPECT_EQ(labels(), std::tuple("Icons stored in file : 12", "Selected Icon : 1", true, true));
    EXPECT_EQ(scroll()->maximum(), 11);
    const std::pair<int, std::vector<int>> rows[] = {
        {0, {-1, -1, 0, 1, 2}}, {11, {9, 10, 11, -1, -1}}, {1, {-1, 0, 1, 2, 3}}, {10, {8, 9, 10, 11, -1}}};
    for (const auto& [position, cells] : rows) {
        scroll()->setValue(position);
        expectAt(position);
        EXPECT_EQ(shown("/icons/twelve.dll"), cells) << position;
    }
    dialog.show();
    const std::tuple<int, const char*, int> steps[] = { // from, the cell clicked, to
        {3, "Picture6", 5}, {3, "Picture4", 4}, {3, "Picture3", 2}, {3, "Picture5", 1},
        {1, "Picture5", 1}, {0, "Picture3", 0}, {0, "Picture5", 0}, {2, "Picture5", 0},
        {10, "Picture6", 10}, {11, "Picture4", 11}, {11, "Picture6", 11}, {9, "Picture6", 11},
        {5, "Iconbox", 5},
    };
    for (const auto& [from, cell, to] : steps) {
        SCOPED_TRACE(cell);
        ASSERT_TRUE(dialog.setPosition(from));
        click(cell);
        expectAt(to);
    }
}

TEST_F(IconPickerTest, AFileWithoutIconsOrNoFileSaysSoAndKeepsThePosition)
{
    for (const QString none : {"/icons/missing.ico", "", "/icons/empty.exe"}) {
        SCOPED_TRACE(none.toStdString());
        dialog.setFile("/icons/twelve.dll");
        scroll()->setValue(4);
        dialog.setFile(none);
        dialog.show();
        EXPECT_EQ(labels(), std::tuple("No icons found!", "Selected Icon : 5", false, false));
        EXPECT_EQ(shown("/icons/twelve.dll"), std::vector<int>(5, -1));
        // Nothing to step through; the middle cell keeps its colour.
        click("Picture4");
        EXPECT_EQ(std::tuple(dialog.position(), child<IconCell>("Iconbox")->highlighted(), child("Iconbox")->toolTip()),
                  std::tuple(4, true, none.isEmpty() ? QString() : none + ",4"));
    }
}

TEST_F(IconPickerTest, AnotherFileStartsAtItsFirstIconTheSameFileAgainKeepsThePlaceAndOneIconHasNoNeighbours)
{
    dialog.setFile("/icons/twelve.dll");
    ASSERT_TRUE(dialog.setPosition(7));
    dialog.setFile("/icons/twelve.dll");
    EXPECT_EQ(dialog.position(), 7);
    // Typing a name counts it as a chosen file does, from its first icon. A single icon
    // has a scroll bar of one position and no neighbours.
    child<QLineEdit>("Filename")->setText("/icons/one.ico");
    dialog.show();
    EXPECT_EQ(labels(), std::tuple("Icons stored in file : 1", "Selected Icon : 1", true, true));
    EXPECT_EQ(scroll()->maximum(), 0);
    EXPECT_EQ(shown("/icons/one.ico"), std::vector<int>({-1, -1, 0, -1, -1}));
    EXPECT_FALSE(dialog.setPosition(1));
}

TEST_F(IconPickerTest, BrowseOffersIconFilesProgramsPicturesAndEntriesAndACancelChangesNothing)
{
    dialog.setFile("/icons/twelve.dll");
    dialog.setPosition(3);
    dialogs.cancel();
    child<QPushButton>("btnBRWS")->click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const DialogBackend::FileRequest& r = dialogs.fileRequests[0];
    EXPECT_EQ(std::tuple(r.title, r.file, r.owner), std::tuple("Select Icon File", "", &dialog));
    EXPECT_EQ(r.nameFilters,
              QStringList({"Icon Files and Archives (*.dll *.exe *.ico *.icl *.png *.svg *.xpm *.jpg *.jpeg *.bmp "
                           "*.desktop)",
                           "Icon Files (ICO) (*.ico)", "Program Files (EXE)  (*.exe)", "DLL Files (DLL)  (*.dll)",
                           "Icon Libraries (ICL)  (*.icl)", "Pictures (PNG, SVG, XPM, JPG, BMP) (*.png *.svg *.xpm "
                           "*.jpg *.jpeg *.bmp)",
                           "Application Entries (DESKTOP) (*.desktop)", "All files (*)"}));
    EXPECT_EQ(std::pair(dialog.file(), dialog.position()), std::pair(QString("/icons/twelve.dll"), 3));

    dialogs.choose("/icons/five.icl");
    child<QPushButton>("btnBRWS")->click();
    EXPECT_EQ(std::pair(dialog.file(), text("Label4")), std::pair(QString("/icons/five.icl"), QString("Icons stored in file : 5")));
    EXPECT_EQ(shown("/icons/five.icl"), std::vector<int>({-1, -1, 0, 1, 2}));
}

// "Theme..." lists the icon theme's names with a search box; the one taken becomes the
// picker's file, a theme name with its one icon.
TEST_F(IconPickerTest, ThemeListsTheThemesIconsByNameAndTakesOneAsTheFile)
{
    icons.serveThemeNames({"other", "vyre-moon", "vyre-star"});
    icons.serve("vyre-star", distinctIcons(1));

    dialog.show();
    child<QPushButton>("btnTHEME")->click();
    auto* list = dialog.findChild<ThemeIconDialog*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->findChild<QListWidget*>("lstIcons")->count(), 3);
    auto* search = list->findChild<QLineEdit*>("txtSearch");
    QTest::keyClicks(search, "STAR");
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(std::pair(dialog.file(), text("Label4")), std::pair(QString("vyre-star"), QString("Icons stored in file : 1")));
}

} // namespace
