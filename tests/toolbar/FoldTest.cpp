// Auto-hide: folding down to the handle, unfolding on a hover, and the timer that folds
// again when the cursor has left the window.
#include "ToolbarFixture.h"

namespace {

// Every width (or height) the window is given, in order.
struct Trace {
    Trace(FTb& f, bool heights)
        : connection(QObject::connect(&f, &FTb::geometryTwipsChanged, &f, [this, &f, heights] {
            sizes.push_back(heights ? f.heightTwips() : f.widthTwips());
        }))
    {
    }
    ~Trace() { QObject::disconnect(connection); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    std::vector<float> sizes;
    QMetaObject::Connection connection;
};

} // namespace

TEST_F(ToolbarTest, HorizontalFoldStepsBy90AndOvershootsToTheHandle)
{
    FTb& f = built(1, ThreeAndASep);
    Trace fold(f, false);
    windows->FoldTbr(1, -1);
    std::vector<float> expected;
    for (float w = 1625; w >= 365; w -= 90)
        expected.push_back(w);
    expected.push_back(435.1f);
    EXPECT_EQ(fold.sizes, expected);
    EXPECT_EQ(f.heightTwips(), 420.0f);

    Trace unfold(f, false);
    windows->FoldTbr(1, 1);
    ASSERT_EQ(unfold.sizes.size(), 16u); // 525.1 ... 1785.1, then the full length
    EXPECT_NEAR(unfold.sizes[0], 525.1f, 0.01);
    EXPECT_NEAR(unfold.sizes[14], 1785.1f, 0.01);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
}

TEST_F(ToolbarTest, VerticalFoldEndsInASquareAndUnfoldsToItsFullHeight)
{
    FTb& f = built(1, ThreeAndASep, {Vertical});
    Trace fold(f, true);
    windows->FoldTbr(1, -1);
    EXPECT_EQ(fold.sizes.front(), 1580.0f);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_EQ(f.heightTwips(), 435.1f);
    EXPECT_NEAR(f.claws().Tag.toDouble(), (435 - 434.9) * 90 / (1670 - 434.9), 1e-12);
    windows->FoldTbr(1, 1);
    EXPECT_EQ(f.heightTwips(), 1670.0f);
    EXPECT_EQ(f.widthTwips(), 435.0f);
}

TEST_F(ToolbarTest, HoverUnfoldsOnceAndTheTimerFoldsOnlyWhenTheCursorIsOutside)
{
    FTb& f = built(1, ThreeAndASep, {AutoHide});
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_FALSE(f.tmrWaitFade().isActive());
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.FoldState, -1);
    EXPECT_TRUE(f.tmrWaitFade().isActive());
    // A hover while watched changes nothing.
    f.setWidthTwips(1000);
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 1000.0f);

    // The window covers 100..200 px both ways; its edges count as inside.
    const struct {
        QPoint at;
        bool inside;
    } rows[] = {{{100, 100}, true}, {{200, 200}, true}, {{150, 100}, true}, {{100, 200}, true},
                {{99, 150}, false}, {{201, 150}, false}, {{150, 99}, false}, {{150, 201}, false}};
    for (const auto& row : rows) {
        f.moveTwips(1500, 1500, 1500, 1500);
        f.FoldState = -1;
        pointer.cursor = row.at;
        f.tmrWaitFade().start();
        f.tmrWaitFade_Timer();
        EXPECT_EQ(f.tmrWaitFade().isActive(), row.inside) << row.at.x() << "," << row.at.y();
        EXPECT_EQ(f.widthTwips(), row.inside ? 1500.0f : 435.1f);
    }
    EXPECT_EQ(f.FoldState, 1);
    f.Claws_MouseMove(0, 0, 10, 10); // folded again, the next hover unfolds
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    f.tmrWaitFade().stop();
}

TEST_F(ToolbarTest, AutoHideOffStopsTheWatchAndRestoresTheSize)
{
    FTb& f = built(1, {Btn("A"), Btn("B")}, {AutoHide});
    f.Claws_MouseMove(0, 0, 10, 10);
    ASSERT_TRUE(f.tmrWaitFade().isActive());
    windows->ApplyMode(1, AutoHide);
    EXPECT_FALSE(f.tmrWaitFade().isActive());
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
    f.Claws_MouseMove(0, 0, 10, 10); // a hover leaves it so
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
    windows->ApplyMode(1, AutoHide);
    EXPECT_EQ(f.widthTwips(), 435.1f);

    // Without buttons: folded once, a hover never unfolds it, switching off gives back 420.
    FTb& empty = built(2, {}, {AutoHide});
    EXPECT_EQ(empty.widthTwips(), 435.1f);
    empty.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(empty.widthTwips(), 435.1f);
    EXPECT_FALSE(empty.tmrWaitFade().isActive());
    windows->ApplyMode(2, AutoHide);
    EXPECT_EQ(empty.widthTwips(), 420.0f);
    EXPECT_EQ(empty.heightTwips(), 420.0f);
}

TEST_F(ToolbarTest, EventsRunDuringAFoldCannotStartAnotherFold)
{
    FTb& f = built(1, ThreeAndASep);
    rec(1).AutoHide = True16;
    int hovers = 0;
    QTimer hover; // a hover arriving between two fold steps
    QObject::connect(&hover, &QTimer::timeout, &f, [&] {
        ++hovers;
        f.Claws_MouseMove(0, 0, 10, 10);
        windows->FoldTbr(1, 1);
    });
    hover.start(0);
    windows->FoldTbr(1, -1);
    hover.stop();
    EXPECT_GT(hovers, 0);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_FALSE(f.tmrWaitFade().isActive());
}

TEST_F(ToolbarTest, AHiddenWindowFoldsAtOnceToExactlyWhereTheStepsEnd)
{
    std::vector<BtnRec> many;
    for (int k = 0; k < 40; ++k)
        many.push_back(k % 10 == 9 ? Sep() : Btn("B" + std::to_string(k)));
    const struct {
        std::vector<BtnRec> buttons;
        bool vertical;
        float width, height; // 0: as built
    } rows[] = {
        {ThreeAndASep, false, 0, 0},  {ThreeAndASep, true, 0, 0}, {many, false, 0, 0},
        {many, true, 0, 0},           {{Btn("A")}, true, 0, 0},   {{}, false, 0, 0},
        {{}, true, 0, 0},             {ThreeAndASep, false, 1000.3f, 437.7f},
        {ThreeAndASep, true, 611.9f, 2001.45f}, {ThreeAndASep, true, 436.0f, 434.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.buttons.size()) + (row.vertical ? " vertical " : " lying ")
                     + std::to_string(row.width));
        FTb& stepped = built(1, row.buttons);
        FTb& direct = built(2, row.buttons);
        for (int t : {1, 2}) {
            rec(t).Vertical = toBool16(row.vertical);
            windows->RefreshTbrWindow(std::uint8_t(t));
        }
        windows->ApplyMode(2, Visible); // hidden from here on
        ASSERT_TRUE(stepped.isVisible());
        ASSERT_FALSE(direct.isVisible());
        if (row.width > 0) {
            stepped.moveTwips(stepped.leftTwips(), stepped.topTwips(), row.width, row.height);
            direct.moveTwips(direct.leftTwips(), direct.topTwips(), row.width, row.height);
        }
        Trace steps(stepped, row.vertical), once(direct, row.vertical);
        windows->FoldTbr(1, -1);
        windows->FoldTbr(2, -1);
        EXPECT_EQ(once.sizes.size(), 1u);
        if (row.buttons.size() > 1 && row.width == 0) {
            EXPECT_GT(steps.sizes.size(), 2u);
        }
        EXPECT_EQ(direct.widthTwips(), stepped.widthTwips());
        EXPECT_EQ(direct.heightTwips(), stepped.heightTwips());
        EXPECT_EQ(direct.leftTwips(), stepped.leftTwips());
        EXPECT_EQ(direct.topTwips(), stepped.topTwips());
        EXPECT_EQ(direct.geometry(), stepped.geometry());
        EXPECT_EQ(direct.claws().Tag, stepped.claws().Tag);
        // And they unfold alike.
        windows->FoldTbr(1, 1);
        windows->FoldTbr(2, 1);
        EXPECT_EQ(direct.widthTwips(), stepped.widthTwips());
        EXPECT_EQ(direct.heightTwips(), stepped.heightTwips());
        rec(2).Visible = True16;
    }
}
