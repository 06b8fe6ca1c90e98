// Building a toolbar window from its record: pictures, buttons, the entry map, and where
// the window lands in twips and pixels.
#include "ToolbarFixture.h"

#include "toolbar/BuiltinPictures.h"

#include <QMimeData>
#include <QPalette>
#include <QtMath>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace {

QRgb colourAt(const QPixmap& picture) { return picture.toImage().pixel(8, 8); }

} // namespace

TEST_F(ToolbarTest, WindowSizeInTwipsAndPixelsFollowsButtonsAndOrientation)
{
    const struct {
        bool vertical, withButtons;
        float width, height, recHeight; // window, and the height the record keeps
    } rows[] = {
        {false, true, 1715, 420, 420},
        {true, true, 435, 1670, 420}, // standing, the record keeps the handle's height
        {true, false, 420, 420, 420},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.vertical + 2 * row.withButtons);
        ToolbarWindow& w = built(1, row.withButtons ? ThreeAndASep : std::vector<BtnRec>{},
                                 row.vertical ? std::vector<int>{Vertical} : std::vector<int>{});
        EXPECT_EQ(w.widthTwips(), row.width);
        EXPECT_EQ(w.heightTwips(), row.height);
        EXPECT_EQ(rec(1).Width, row.width);
        EXPECT_EQ(rec(1).Height, row.recHeight);
        EXPECT_EQ(rec(1).SepCount, row.withButtons ? 1 : 0);
        EXPECT_EQ(w.geometry().topLeft(), QPoint(200, 100));
        EXPECT_NEAR(w.geometry().width(), row.width / 15.0, 1.0);
        EXPECT_NEAR(w.geometry().height(), row.height / 15.0, 1.0);
    }
}

TEST_F(ToolbarTest, PlacesBetweenPixelsRoundToTheNearestPixel)
{
    const struct {
        float left, top;
        QPoint at;
    } rows[] = {{1210, 1810, {81, 121}}, {1202, 1207, {80, 80}}, {-82, 7, {-5, 0}}, {0, 22.5f, {0, 2}}};
    for (const auto& row : rows) {
        TbrRec& r = toolbar(1, {Btn("A")});
        r.Left = row.left;
        r.Top = row.top;
        window(1).rebuild();
        EXPECT_EQ(window(1).geometry().topLeft(), row.at) << row.left << "," << row.top;
        EXPECT_EQ(window(1).leftTwips(), row.left);
    }
}

TEST_F(ToolbarTest, EntryMapSkipsButtonsWithoutTargetSoClicksReachTheRightRecord)
{
    // A tab-only target is left out too, as the toolbar file leaves it out.
    ToolbarWindow& w = built(1, {Btn("One"), Btn("Two", " \t "), Btn("Three"), Btn("Four")});
    ASSERT_EQ(w.strip().buttonCount(), 5);
    EXPECT_EQ(w.entryAt(3), 1);
    EXPECT_EQ(w.entryAt(4), 3);
    EXPECT_EQ(w.entryAt(5), 4);
    EXPECT_EQ(w.strip().toolTipText(4), "Three");
    for (int position : {5, 1, 2}) // the fixed buttons are dead
        emit w.strip().buttonClicked(position);
    EXPECT_EQ(host.clicks, (std::vector<std::pair<int, int>>{{1, 4}}));
}

TEST_F(ToolbarTest, PicturesHoldOnlyIconsThatExistInOrderAndTheHandleFallsBackToTheClaws)
{
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    icons.serve("/icons/b.ico", {FakeIconSource::solid(qRgb(0, 0, 255)), FakeIconSource::solid(qRgb(0, 255, 0))});
    TbrRec& r = toolbar(1, {Btn("File"), Btn("Red", "/bin/true", KindFile, "/icons/a.ico", 1),
                            Btn("Folder", "/tmp", KindFolder), Btn("Green", "/bin/true", KindFile, "/icons/b.ico", 2),
                            Btn("NoIcon", "/tmp", KindFolder, "/icons/a.ico", 0), // index 0: no icon
                            Btn("Missing", "/bin/true", KindFile, "/icons/a.ico", 2)});
    window(1).rebuild();
    const int expected[] = {1, 3, 2, 4, 2, 1}; // 1 file, 2 folder, then the icons found
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(r.Btns[k].ImageIndex, expected[k - 1]) << k;
    EXPECT_EQ(colourAt(window(1).images().picture(3)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(window(1).images().picture(4)), qRgb(0, 255, 0));

    EXPECT_TRUE(window(1).handle().picture().isNull()); // the handle draws its claws
    icons.serve("/icons/t.ico", {FakeIconSource::solid(qRgb(9, 9, 9))});
    r.IconFile = "/icons/t.ico";
    r.IconIndex = 1;
    window(1).rebuild();
    EXPECT_EQ(colourAt(window(1).handle().picture()), qRgb(9, 9, 9));
}

TEST_F(ToolbarTest, ButtonsWithoutAnIconShowTheirTargetsAndRecallButtonsAPictureOfTheirOwn)
{
    icons.serveTarget("/home/u", FakeIconSource::solid(qRgb(1, 2, 3)));
    icons.serveTarget("/home/u/notes.txt", FakeIconSource::solid(qRgb(4, 5, 6)));
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    TbrRec& r = toolbar(1, {Btn("Home", "/home/u", KindFolder), Btn("Notes", "/home/u/notes.txt"),
                            Btn("Recall", RecallMarker), Btn("Unknown", "/nothing/known"),
                            Btn("Own", "/home/u", KindFolder, "/icons/a.ico", 1),
                            Btn("Broken", "/home/u", KindFolder, "/icons/missing.ico", 1)});
    r.Btns[3].Parameters = "2";
    window(1).rebuild();
    // The target's picture where the theme has one; the built-in ones where nothing has;
    // an icon that is chosen but missing keeps the built-in picture as always.
    const int expected[] = {3, 4, 5, 1, 6, 2};
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(r.Btns[k].ImageIndex, expected[k - 1]) << k;
    EXPECT_EQ(colourAt(window(1).images().picture(3)), qRgb(1, 2, 3));
    EXPECT_EQ(colourAt(window(1).images().picture(4)), qRgb(4, 5, 6));
    const QImage recall = builtinRecallPicture(window(1).images().picture(5).devicePixelRatio());
    EXPECT_EQ(window(1).images().picture(5).toImage().convertToFormat(recall.format()), recall);
    EXPECT_EQ(colourAt(window(1).images().picture(6)), qRgb(255, 0, 0));
    // Only shown: the button still has no icon of its own.
    EXPECT_EQ(r.Btns[1].IconIndex, 0);
    EXPECT_EQ(r.Btns[1].IconFile, "");
}

TEST_F(ToolbarTest, RebuildLeavesNoStaleButtonsSeparatorsOrEntries)
{
    built(1, {Btn("1"), Btn("2"), Sep(), Btn("4"), Btn("5")});
    ASSERT_EQ(window(1).strip().buttonCount(), 7);
    rec(1).BtnCount = 2;
    window(1).rebuild();
    EXPECT_EQ(window(1).strip().buttonCount(), 4);
    EXPECT_EQ(rec(1).SepCount, 0);
    EXPECT_EQ(window(1).entryAt(5), 0);
    EXPECT_EQ(window(1).widthTwips(), 345.0f * 2 + 470 + 90);
}

TEST_F(ToolbarTest, HiddenToolbarsCreateNoNativeWindowEvenWithAutoHide)
{
    for (int t = 0; t < 256; ++t) {
        toolbar(t, {Btn("A"), Btn("B")}).Visible = toBool16(t == 0);
        rec(t).AutoHide = toBool16(t % 2 == 1);
        toolbars.ready(std::uint8_t(t));
        ASSERT_EQ(window(t).isVisible(), t == 0) << t;
    }
    for (int t = 1; t < 256; ++t) {
        ASSERT_FALSE(window(t).testAttribute(Qt::WA_WState_Created)) << t;
        ASSERT_FALSE(window(t).strip().testAttribute(Qt::WA_WState_Created)) << t;
    }
}

TEST_F(ToolbarTest, DropHitsTheRecordButtonUnderThePointAlongTheBar)
{
    QMimeData files;
    // File managers send text/uri-list: local names (even ones that are not UTF-8) come
    // as the file system's bytes, anything else as its URI, all in the drop's order.
    files.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromEncoded("file:///tmp/%FF%22-x"),
                   QUrl("https://example.org/a b")});
    QMimeData text;
    text.setText("not a file");
    ToolbarWindow& w = built(1, {Btn("One"), Btn("Skipped", ""), Sep(), Btn("Three")});
    // Strip: 470 fixed, button "One" 470..815, gap 815..935, "Three" 935..1280.
    for (double x : {1000, 500, 470, 900, 1280}) // the last three: the handle, the gap, past the end
        emit w.strip().dropped(&files, QPointF(x, 100));
    emit w.strip().dropped(&text, QPointF(1000, 100));
    emit w.handle().dropped(&files);
    emit w.handle().dropped(&text);
    ASSERT_EQ(host.drops.size(), 3u);
    EXPECT_EQ(host.drops[0].k, 4);
    EXPECT_EQ(host.drops[0].items,
              std::vector<std::string>({"/tmp/a b.txt", "/tmp/\xFF\"-x", "https://example.org/a%20b"}));
    EXPECT_EQ(host.drops[1].k, 1);
    EXPECT_EQ(host.drops[2].k, 0); // on the handle: the toolbar itself
    EXPECT_EQ(host.drops[2].t, 1);

    // Standing, the hit runs along the height.
    host.drops.clear();
    emit built(2, {Btn("One"), Btn("Two")}, {Vertical}).strip().dropped(&files, QPointF(100, 470 + 330 + 10));
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0].k, 2);
}

// How far a picture's pixels inside rect stand out from the background: the largest
// difference of grey level found.
int contrast(const QImage& image, const QRect& rect, const QColor& background)
{
    int most = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            most = std::max(most, std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())));
    return most;
}

// A dark theme must not swallow the handle's claws or the lines of the separators, as
// dark marks drawn in fixed colours would be.
TEST_F(ToolbarTest, ClawsAndSeparatorsStandOutOnALightAndADarkPalette)
{
    for (bool vertical : {false, true}) {
        ToolbarWindow& w = built(1, ThreeAndASep, vertical ? std::vector<int>{Vertical} : std::vector<int>{});
        for (const QColor& face : {QColor(239, 239, 239), QColor(35, 35, 38)}) {
            SCOPED_TRACE(face.name().toStdString() + (vertical ? " standing" : " lying"));
            w.setPalette(QPalette(face)); // a dark face gets light text, and the other way round
            const QImage shot = w.grab().toImage();
            const QRect handle(w.handle().mapTo(&w, QPoint()), w.handle().size());
            // Beside the handle along the bar lies the window's own background.
            const QPoint beside = vertical ? QPoint(handle.center().x(), handle.bottom() + 4)
                                           : QPoint(handle.right() + 4, handle.center().y());
            ASSERT_EQ(shot.pixelColor(beside), face);
            EXPECT_GE(contrast(shot, handle, face), 100);
            EXPECT_GE(contrast(shot, w.strip().buttonPixelRect(5).translated(w.strip().mapTo(&w, QPoint())), face), 80);
        }
    }
}

TEST(BuiltinPictures, DrawnSharpForAScaledScreen)
{
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        const QImage file = builtinFilePicture(ratio);
        EXPECT_EQ(file.size(), QSize(qCeil(16 * ratio), qCeil(16 * ratio))) << ratio;
        EXPECT_NEAR(file.deviceIndependentSize().width(), 16.0, 0.5) << ratio;
        // The same picture: the sheet's white middle and the empty corner where it folds.
        EXPECT_EQ(file.pixelColor(file.width() / 2, file.height() / 2), QColor(Qt::white)) << ratio;
        EXPECT_EQ(file.pixelColor(file.width() - 1, 0).alpha(), 0) << ratio;
        EXPECT_EQ(builtinClawsPicture(ratio, Qt::black).devicePixelRatio(), ratio);
    }
}

// The font database may be loading on another thread while the first toolbars are built:
// their captions measure the same.
TEST_F(ToolbarTest, CaptionsMeasureTheSameWhileTheFontsLoadOnAnotherThread)
{
    toolbar(1, {Btn("Mail Reader"), Btn("Go")});
    rec(1).Captions = True16;
    toolbars.loadCaptionFontsAhead();
    ToolbarWindow& w = built(1, {Btn("Mail Reader"), Btn("Go")}, {Captions});
    const QFontMetrics fm = w.strip().fontMetrics();
    EXPECT_EQ(w.strip().buttonWidth(), float((fm.horizontalAdvance(QStringLiteral("Mail Reader")) + 8) * 15));
    EXPECT_EQ(w.strip().caption(3), QStringLiteral("Mail Reader"));
}
