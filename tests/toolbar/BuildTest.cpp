// Building a toolbar window from its record: pictures, buttons, entry map and the size
// arithmetic in twips.
#include "ToolbarFixture.h"

#include <QMimeData>
#include <QUrl>

namespace {

QRgb colourAt(const QPixmap& picture) { return picture.toImage().pixel(8, 8); }

} // namespace

TEST_F(ToolbarTest, WindowSizeInTwipsAndPixelsFollowsButtonsAndOrientation)
{
    const struct {
        bool vertical, withButtons;
        float width, height, recHeight; // window, and the height the record keeps
    } rows[] = {
        // 345 * 3 + 120 + 470 = 1625 for the control, + 90 for the frame.
        {false, true, 1715, 420, 420},
        // 330 * 3 + 120 + 560 high, one button + 90 wide; the record keeps height 420.
        {true, true, 435, 1670, 420},
        {false, false, 420, 420, 420},
        {true, false, 420, 420, 420},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.vertical + 2 * row.withButtons);
        TbrRec& r = toolbar(1, row.withButtons ? ThreeAndASep : std::vector<BtnRec>{});
        r.Vertical = toBool16(row.vertical);
        windows->RebuildTbr(1);
        FTb& f = form(1);
        EXPECT_EQ(f.widthTwips(), row.width);
        EXPECT_EQ(f.heightTwips(), row.height);
        EXPECT_EQ(r.Width, row.width);
        EXPECT_EQ(r.Height, row.recHeight);
        EXPECT_EQ(r.SepCount, row.withButtons ? 1 : 0);
        if (row.withButtons && !row.vertical) {
            EXPECT_EQ(f.tbar().widthTwips(), 1625.0f);
        }
        EXPECT_EQ(f.geometry().topLeft(), QPoint(200, 100));
        EXPECT_NEAR(f.geometry().width(), row.width / 15.0, 1.0);
        EXPECT_NEAR(f.geometry().height(), row.height / 15.0, 1.0);
    }
}

TEST_F(ToolbarTest, EntryMapSkipsButtonsWithoutTargetSoClicksReachTheRightRecord)
{
    // A tab-only target is left out too, as the toolbar file leaves it out.
    FTb& f = built(1, {Btn("One"), Btn("Two", " \t "), Btn("Three"), Btn("Four")});
    ASSERT_EQ(f.tbar().buttonCount(), 5);
    EXPECT_EQ(f.entryAt(3), 1);
    EXPECT_EQ(f.entryAt(4), 3);
    EXPECT_EQ(f.entryAt(5), 4);
    EXPECT_EQ(f.tbar().toolTipText(4), "Three");
    for (int position : {5, 1, 2}) // the fixed buttons are dead
        f.TBar_ButtonClick(position);
    EXPECT_EQ(host.clicks, (std::vector<std::pair<int, int>>{{1, 4}}));
}

TEST_F(ToolbarTest, ImageListHoldsOnlyIconsThatExistAndIndexesThemInOrder)
{
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    icons.serve("/icons/b.ico", {FakeIconSource::solid(qRgb(0, 0, 255)), FakeIconSource::solid(qRgb(0, 255, 0))});
    TbrRec& r = toolbar(1, {Btn("File"), Btn("Red", "/bin/true", KindFile, "/icons/a.ico", 1),
                            Btn("Folder", "/tmp", KindFolder), Btn("Green", "/bin/true", KindFile, "/icons/b.ico", 2),
                            Btn("NoIcon", "/tmp", KindFolder, "/icons/a.ico", 0), // index 0: no icon
                            Btn("Missing", "/bin/true", KindFile, "/icons/a.ico", 2)});
    windows->BuildImageList(1);
    const int expected[] = {1, 3, 2, 4, 2, 1}; // 1 file, 2 folder, then the icons found
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(r.Btns[k].ImageIndex, expected[k - 1]) << k;
    EXPECT_EQ(colourAt(form(1).imlTBAR().picture(3)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(form(1).imlTBAR().picture(4)), qRgb(0, 255, 0));
}

TEST_F(ToolbarTest, HandleShowsTheToolbarIconOrFallsBackToTheClaws)
{
    host.claws = QPixmap::fromImage(FakeIconSource::solid(qRgb(1, 2, 3)));
    icons.serve("/icons/t.ico", {FakeIconSource::solid(qRgb(9, 9, 9))});
    TbrRec& r = toolbar(1);
    windows->BuildImageList(1);
    EXPECT_EQ(colourAt(form(1).claws().picture()), qRgb(1, 2, 3));
    r.IconFile = "/icons/t.ico";
    r.IconIndex = 1;
    windows->BuildImageList(1);
    EXPECT_EQ(colourAt(form(1).claws().picture()), qRgb(9, 9, 9));
}

TEST_F(ToolbarTest, RebuildLeavesNoStaleButtonsSeparatorsOrEntries)
{
    built(1, {Btn("1"), Btn("2"), Sep(), Btn("4"), Btn("5")});
    ASSERT_EQ(form(1).tbar().buttonCount(), 7);
    rec(1).BtnCount = 2;
    windows->RebuildTbr(1);
    EXPECT_EQ(form(1).tbar().buttonCount(), 4);
    EXPECT_EQ(rec(1).SepCount, 0);
    EXPECT_EQ(form(1).entryAt(5), 0);
    EXPECT_EQ(form(1).widthTwips(), 345.0f * 2 + 470 + 90);
}

TEST_F(ToolbarTest, HiddenToolbarsCreateNoNativeWindowEvenWithAutoHide)
{
    for (int t = 0; t < 256; ++t) {
        toolbar(t, {Btn("A"), Btn("B")}).Visible = toBool16(t == 0);
        rec(t).AutoHide = toBool16(t % 2 == 1);
        windows->RebuildTbr(std::uint8_t(t));
        ASSERT_EQ(form(t).isVisible(), t == 0) << t;
    }
    for (int t = 1; t < 256; ++t) {
        ASSERT_FALSE(form(t).testAttribute(Qt::WA_WState_Created)) << t;
        ASSERT_FALSE(form(t).tbar().testAttribute(Qt::WA_WState_Created)) << t;
    }
}

TEST_F(ToolbarTest, DropHitsTheRecordButtonUnderThePointAlongTheBar)
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c.txt")});
    QMimeData text;
    text.setText("not a file");
    FTb& f = built(1, {Btn("One"), Btn("Skipped", ""), Sep(), Btn("Three")});
    // Control: 470 fixed, button "One" 470..815, gap 815..935, "Three" 935..1280.
    for (int x : {1000, 500, 470, 900}) // the last two: the handle and the gap
        f.TBar_OLEDragDrop(&files, x, 100);
    f.TBar_OLEDragDrop(&text, 1000, 100);
    f.Claws_OLEDragDrop(&files);
    f.Claws_OLEDragDrop(&text);
    ASSERT_EQ(host.drops.size(), 3u);
    EXPECT_EQ(host.drops[0].k, 4);
    EXPECT_EQ(host.drops[0].files, QStringList({"/tmp/a b.txt", "/tmp/c.txt"}));
    EXPECT_EQ(host.drops[1].k, 1);
    EXPECT_EQ(host.drops[2].k, 0); // on the handle: the toolbar itself
    EXPECT_EQ(host.drops[2].t, 1);

    // Standing, the hit runs along the height.
    host.drops.clear();
    built(2, {Btn("One"), Btn("Two")}, {Vertical}).TBar_OLEDragDrop(&files, 100, 470 + 330 + 10);
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0].k, 2);
}
