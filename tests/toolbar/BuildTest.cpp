// Building a toolbar window from its record: pictures, buttons, entry map and the size
// arithmetic in twips.
#include "ToolbarFixture.h"

#include <QMimeData>
#include <QUrl>

namespace {

QRgb colourAt(const QPixmap& picture)
{
    return picture.toImage().pixel(8, 8);
}

} // namespace

TEST_F(ToolbarTest, BarsAreSizedFromTheirButtonsInTwips)
{
    struct Row {
        const char* what;
        bool vertical;
        bool withButtons;
        float width, height;       // window
        float recWidth, recHeight; // record
    };
    const Row rows[] = {
        // 345 * 3 + 120 + 470 = 1625 for the control, + 90 for the frame.
        {"horizontal", false, true, 1715, 420, 1715, 420},
        // 330 * 3 + 120 + 560 high, one button + 90 wide; the record keeps height 420.
        {"vertical", true, true, 435, 1670, 435, 420},
        {"empty horizontal", false, false, 420, 420, 420, 420},
        {"empty vertical", true, false, 420, 420, 420, 420},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TbrRec& r = row.withButtons ? toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")}) : toolbar(1);
        r.Vertical = toBool16(row.vertical);
        r.Left = 3000;
        r.Top = 1500;
        windows->RebuildTbr(1);
        FTb& f = form(1);
        EXPECT_EQ(f.leftTwips(), 3000.0f);
        EXPECT_EQ(f.topTwips(), 1500.0f);
        EXPECT_EQ(f.widthTwips(), row.width);
        EXPECT_EQ(f.heightTwips(), row.height);
        EXPECT_EQ(r.Width, row.recWidth);
        EXPECT_EQ(r.Height, row.recHeight);
        if (row.withButtons && !row.vertical) {
            EXPECT_EQ(f.tbar().widthTwips(), 1625.0f);
        }
        EXPECT_EQ(r.SepCount, row.withButtons ? 1 : 0);
        // The native window follows at whole pixels.
        const QRect px = f.geometry();
        EXPECT_EQ(px.topLeft(), QPoint(200, 100));
        EXPECT_NEAR(px.width(), row.width / 15.0, 1.0);
        EXPECT_NEAR(px.height(), row.height / 15.0, 1.0);
    }
}

TEST_F(ToolbarTest, EntriesWithoutTargetAreLeftOutAndTheMapFollows)
{
    toolbar(1, {Btn("One"), Btn("Two", "   "), Btn("Three"), Btn("Four")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    ASSERT_EQ(f.tbar().buttonCount(), 5);
    EXPECT_EQ(f.entryAt(3), 1);
    EXPECT_EQ(f.entryAt(4), 3);
    EXPECT_EQ(f.entryAt(5), 4);
    EXPECT_EQ(f.tbar().toolTipText(4), "Three");

    // A click reaches the program as the record button, and the fixed buttons are dead.
    f.TBar_ButtonClick(5);
    f.TBar_ButtonClick(1);
    f.TBar_ButtonClick(2);
    ASSERT_EQ(host.clicks.size(), 1u);
    EXPECT_EQ(host.clicks[0], std::make_pair(1, 4));
}

TEST_F(ToolbarTest, OnlyEntriesWithAnIconTakeAPlaceInTheImageList)
{
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    icons.serve("/icons/b.ico", {FakeIconSource::solid(qRgb(0, 0, 255)), FakeIconSource::solid(qRgb(0, 255, 0))});
    TbrRec& r = toolbar(1, {Btn("File"), Btn("Red", "/bin/true", KindFile, "/icons/a.ico", 1),
                            Btn("Folder", "/tmp", KindFolder), Btn("Green", "/bin/true", KindFile, "/icons/b.ico", 2),
                            // a valid icon file, but index 0 means no icon
                            Btn("NoIcon", "/tmp", KindFolder, "/icons/a.ico", 0),
                            // an index past the file's icons
                            Btn("Missing", "/bin/true", KindFile, "/icons/a.ico", 2)});
    windows->BuildImageList(1);
    EXPECT_EQ(r.Btns[1].ImageIndex, 1);
    EXPECT_EQ(r.Btns[2].ImageIndex, 3);
    EXPECT_EQ(r.Btns[3].ImageIndex, 2);
    EXPECT_EQ(r.Btns[4].ImageIndex, 4);
    EXPECT_EQ(r.Btns[5].ImageIndex, 2);
    EXPECT_EQ(r.Btns[6].ImageIndex, 1);
    EXPECT_EQ(colourAt(form(1).imlTBAR().picture(3)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(form(1).imlTBAR().picture(4)), qRgb(0, 255, 0));
}

TEST_F(ToolbarTest, HandleShowsTheToolbarIconOrTheBuiltInClaws)
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

TEST_F(ToolbarTest, RebuildingRemovesEveryEarlierButton)
{
    TbrRec& r = toolbar(1, {Btn("1"), Btn("2"), Sep(), Btn("4"), Btn("5")});
    windows->RebuildTbr(1);
    ASSERT_EQ(form(1).tbar().buttonCount(), 7);
    r.BtnCount = 2;
    windows->RebuildTbr(1);
    EXPECT_EQ(form(1).tbar().buttonCount(), 4);
    EXPECT_EQ(r.SepCount, 0);
    EXPECT_EQ(form(1).entryAt(5), 0);
    EXPECT_EQ(form(1).widthTwips(), 345.0f * 2 + 470 + 90);
}

TEST_F(ToolbarTest, HiddenToolbarsGetNoNativeWindow)
{
    for (int t = 0; t < 256; ++t) {
        TbrRec& r = toolbar(t, {Btn("A"), Btn("B")});
        r.Visible = toBool16(t == 0);
        r.AutoHide = toBool16(t % 2 == 1);
        windows->RebuildTbr(std::uint8_t(t));
    }
    EXPECT_TRUE(form(0).isVisible());
    for (int t = 1; t < 256; ++t) {
        ASSERT_FALSE(form(t).isVisible()) << t;
        ASSERT_FALSE(form(t).testAttribute(Qt::WA_WState_Created)) << t;
        ASSERT_FALSE(form(t).tbar().testAttribute(Qt::WA_WState_Created)) << t;
    }
}

TEST_F(ToolbarTest, FilesDroppedOnAButtonGoToItsRecordButton)
{
    toolbar(1, {Btn("One"), Btn("Skipped", ""), Sep(), Btn("Three")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c.txt")});
    QMimeData text;
    text.setText("not a file");

    // Control: 470 fixed, button "One" 470..815, gap 815..935, "Three" 935..1280.
    f.TBar_OLEDragDrop(&files, 1000, 100);
    f.TBar_OLEDragDrop(&files, 500, 100);
    f.TBar_OLEDragDrop(&files, 470, 100); // under the handle
    f.TBar_OLEDragDrop(&files, 900, 100); // the gap
    f.TBar_OLEDragDrop(&text, 1000, 100);
    f.Claws_OLEDragDrop(&files);
    f.Claws_OLEDragDrop(&text);
    ASSERT_EQ(host.drops.size(), 3u);
    EXPECT_EQ(host.drops[0].k, 4);
    EXPECT_EQ(host.drops[0].files, QStringList({"/tmp/a b.txt", "/tmp/c.txt"}));
    EXPECT_EQ(host.drops[1].k, 1);
    EXPECT_EQ(host.drops[2].k, 0);
    EXPECT_EQ(host.drops[2].t, 1);
}

TEST_F(ToolbarTest, DropsOnAVerticalBarAreHitAlongItsHeight)
{
    TbrRec& r = toolbar(1, {Btn("One"), Btn("Two")});
    r.Vertical = True16;
    windows->RebuildTbr(1);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x")});
    form(1).TBar_OLEDragDrop(&files, 100, 470 + 330 + 10);
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0].k, 2);
}
