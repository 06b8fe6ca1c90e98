// Building a toolbar window from its record: pictures, buttons, the entry map, and where
// the window lands in twips and pixels.
#include "ToolbarFixture.h"
#include "support/TempDir.h"

#include "toolbar/BuiltinPictures.h"

static QRgb colourAt(const QPixmap& picture) { return picture.toImage().pixel(8, 8); }

TEST_F(ToolbarTest, WindowSizeInTwipsAndPixelsFollowsButtonsAndOrientation)
{
    // How long a bar is, is the geometry's test. Standing, the record keeps the handle's
    // height; a bare handle keeps the size it was placed with.
    for (auto [withButtons, width, height, pixels] :
         {std::tuple(true, 435.0f, 1670.0f, QRect(200, 100, 29, 111)), {false, 420, 420, {200, 100, 28, 28}}}) {
        ToolbarWindow& w = built(1, withButtons ? ThreeAndASep : std::vector<BtnRec>{}, {Vertical});
        EXPECT_EQ(std::tuple(w.widthTwips(), w.heightTwips(), rec(1).Width, rec(1).Height, int(rec(1).SepCount), w.geometry()),
                  std::tuple(width, height, width, 420.0f, int(withButtons), pixels));
    }
}

TEST_F(ToolbarTest, PlacesBetweenPixelsRoundToTheNearestPixel)
{
    for (auto [left, top, at] : {std::tuple(1210.0f, 1810.0f, QPoint(81, 121)), {1202, 1207, {80, 80}},
                                 {-82, 7, {-5, 0}}, {0, 22.5f, {0, 2}}}) {
        TbrRec& r = toolbar(1, {Btn("A")});
        std::tie(r.Left, r.Top) = std::pair(left, top);
        window(1).rebuild();
        EXPECT_EQ(std::pair(window(1).geometry().topLeft(), window(1).leftTwips()), std::pair(at, left)) << left;
    }
}

TEST_F(ToolbarTest, EntryMapSkipsButtonsWithoutTargetSoClicksReachTheRightRecord)
{
    // A tab-only target is left out too, as the toolbar file leaves it out.
    ToolbarWindow& w = built(1, {Btn("One"), Btn("Two", " \t "), Btn("Three"), Btn("Four")});
    ASSERT_EQ(w.strip().buttonCount(), 5);
    EXPECT_EQ(std::tuple(w.entryAt(3), w.entryAt(4), w.entryAt(5), w.strip().toolTipText(4)),
              std::tuple(1, 3, 4, QStringLiteral("Three")));
    for (int position : {5, 1, 2}) // the fixed buttons are dead
        emit w.strip().buttonClicked(position);
    EXPECT_EQ(host.clicks, (std::vector<std::pair<int, int>>{{1, 4}}));
}

// A button's own icon where it exists, else its target's picture where the theme has one,
// else the built-in ones (a recall button has one of its own); an icon that is chosen but
// missing keeps the built-in picture. The handle draws its claws unless the toolbar has
// an icon.
TEST_F(ToolbarTest, ButtonsShowTheirIconsOrTheirTargetsOrTheBuiltInPictures)
{
    icons.serveTarget("/home/u", FakeIconSource::solid(qRgb(1, 2, 3)));
    icons.serveTarget("/home/u/notes.txt", FakeIconSource::solid(qRgb(4, 5, 6)));
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    icons.serve("/icons/b.ico", {FakeIconSource::solid(qRgb(0, 0, 255)), FakeIconSource::solid(qRgb(0, 255, 0))});
    TbrRec& r = toolbar(1, {Btn("Home", "/home/u", KindFolder), Btn("Notes", "/home/u/notes.txt"),
                            Btn("Recall", RecallMarker), Btn("Unknown", "/nothing/known"),
                            Btn("Red", "/bin/true", KindFile, "/icons/a.ico", 1),
                            Btn("Green", "/bin/true", KindFile, "/icons/b.ico", 2),
                            Btn("NoIcon", "/tmp", KindFolder, "/icons/a.ico", 0), // index 0: no icon
                            Btn("Missing", "/bin/true", KindFile, "/icons/a.ico", 2),
                            Btn("Broken", "/home/u", KindFolder, "/icons/missing.ico", 1)});
    r.Btns[3].Parameters = "2";
    window(1).rebuild();
    std::vector<int> indexes;
    for (int k = 1; k <= r.BtnCount; ++k)
        indexes.push_back(r.Btns[k].ImageIndex);
    EXPECT_EQ(indexes, (std::vector<int>{3, 4, 5, 1, 6, 7, 2, 1, 2})); // 1 file, 2 folder
    const ImageList& images = window(1).images();
    EXPECT_EQ(std::tuple(colourAt(images.picture(3)), colourAt(images.picture(4)), colourAt(images.picture(6)),
                         colourAt(images.picture(7))),
              std::tuple(qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(255, 0, 0), qRgb(0, 255, 0)));
    const QImage recall = builtinRecallPicture(images.picture(5).devicePixelRatio());
    EXPECT_EQ(images.picture(5).toImage().convertToFormat(recall.format()), recall);
    // Only shown: the button still has no icon of its own.
    EXPECT_EQ(std::pair(int(r.Btns[1].IconIndex), r.Btns[1].IconFile), std::pair(0, std::string()));

    EXPECT_TRUE(window(1).handle().picture().isNull());
    icons.serve("/icons/t.ico", {FakeIconSource::solid(qRgb(9, 9, 9))});
    r.IconFile = "/icons/t.ico";
    r.IconIndex = 1;
    window(1).rebuild();
    EXPECT_EQ(colourAt(window(1).handle().picture()), qRgb(9, 9, 9));
}

// Buttons showing one icon share its picture; once the icon is drawn anew (its file
// changed), every one of them shows the new picture and the others keep theirs.
TEST_F(ToolbarTest, ButtonsSharingAnIconAllShowItsNewPictureOnceItChanges)
{
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(255, 0, 0))});
    icons.serve("/icons/c.ico", {FakeIconSource::solid(qRgb(0, 0, 255))});
    toolbar(1, {Btn("A", "/bin/true", KindFile, "/icons/a.ico", 1), Btn("B", "/bin/true", KindFile, "/icons/a.ico", 1),
                Btn("C", "/bin/true", KindFile, "/icons/c.ico", 1)});
    const auto colours = [this] {
        window(1).rebuild();
        const ImageList& images = window(1).images();
        return std::tuple(colourAt(images.picture(3)), colourAt(images.picture(4)), colourAt(images.picture(5)));
    };
    EXPECT_EQ(colours(), std::tuple(qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)));
    icons.serve("/icons/a.ico", {FakeIconSource::solid(qRgb(0, 255, 0))});
    EXPECT_EQ(colours(), std::tuple(qRgb(0, 255, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)));
}

TEST_F(ToolbarTest, RebuildLeavesNoStaleButtonsSeparatorsOrEntries)
{
    built(1, {Btn("1"), Btn("2"), Sep(), Btn("4"), Btn("5")});
    ASSERT_EQ(window(1).strip().buttonCount(), 7);
    rec(1).BtnCount = 2;
    window(1).rebuild();
    EXPECT_EQ(std::tuple(window(1).strip().buttonCount(), int(rec(1).SepCount), window(1).entryAt(5), window(1).widthTwips()),
              std::tuple(4, 0, 0, 345.0f * 2 + 470 + 90));
}

TEST_F(ToolbarTest, HiddenToolbarsCreateNoNativeWindowEvenWithAutoHide)
{
    for (int t = 0; t < 256; ++t) {
        toolbar(t, {Btn("A"), Btn("B")}).Visible = toBool16(t == 0);
        rec(t).AutoHide = toBool16(t % 2 == 1);
        toolbars.ready(std::uint8_t(t));
        ASSERT_EQ(std::tuple(window(t).isVisible(), window(t).testAttribute(Qt::WA_WState_Created),
                             window(t).strip().testAttribute(Qt::WA_WState_Created)),
                  std::tuple(t == 0, t == 0, t == 0)) << t;
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
    const std::vector<std::string> items{"/tmp/a b.txt", "/tmp/\xFF\"-x", "https://example.org/a%20b"};
    EXPECT_EQ(host.drops, (std::vector<FakeToolbarHost::Drop>{{1, 4, items}, {1, 1, items}, {1, 0, items}})); // 0: the handle

    // Standing, the hit runs along the height.
    host.drops.clear();
    emit built(2, {Btn("One"), Btn("Two")}, {Vertical}).strip().dropped(&files, QPointF(100, 470 + 330 + 10));
    EXPECT_EQ(host.drops, (std::vector<FakeToolbarHost::Drop>{{2, 2, items}}));
}

// Captions kept as a run ends serve the next run's windows: measured and painted alike,
// without laying out any text.
TEST_F(ToolbarTest, CaptionsKeptAsARunEndsServeTheNextRunWithoutLayingOutText)
{
    TempDir dir;
    toolbars.keepCaptions(dir.file("captions.cache"));
    toolbar(1, {Btn("Mail Reader"), Btn("Go")}).Captions = True16;
    ButtonStrip& first = toolbars.ready(1).strip();
    const auto look = [](ButtonStrip& s) { return std::tuple(s.size(), s.caption(3), s.grab().toImage()); };
    const auto before = look(first);
    toolbars.closeAll();

    ToolbarManager next{set, Services{prompter, shell, icons, pointer, dialogs}, host, clock};
    next.keepCaptions(dir.file("captions.cache"));
    const int shaped = textShapings();
    next.loadCaptionFontsAhead();
    EXPECT_EQ(look(next.ready(1).strip()), before);
    EXPECT_EQ(textShapings(), shaped);
}

// The font database may be loading on another thread while the first toolbars are built:
// their captions measure the same.
TEST_F(ToolbarTest, CaptionsMeasureTheSameWhileTheFontsLoadOnAnotherThread)
{
    toolbar(1, {Btn("Mail Reader"), Btn("Go")}).Captions = True16;
    toolbars.loadCaptionFontsAhead();
    ButtonStrip& s = built(1, {Btn("Mail Reader"), Btn("Go")}, {Captions}).strip();
    EXPECT_EQ(std::pair(s.buttonWidth(), s.caption(3)),
              std::pair(float((s.fontMetrics().horizontalAdvance(QStringLiteral("Mail Reader")) + 8) * 15), QStringLiteral("Mail Reader")));
}
