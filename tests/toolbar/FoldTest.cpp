// Auto-hide: folding down to the handle, unfolding on a hover, and the timer that folds
// again when the cursor has left the window.
#include "ToolbarFixture.h"

namespace {

// Every width (or height) the window is given, in order.
struct Trace {
    Trace(FTb& f, bool heights)
    {
        QObject::connect(&f, &FTb::geometryTwipsChanged, &f,
                         [this, &f, heights] { sizes.push_back(heights ? f.heightTwips() : f.widthTwips()); });
    }
    std::vector<float> sizes;
};

} // namespace

TEST_F(ToolbarTest, HorizontalBarFoldsInStepsOf90AndUnfoldsToItsFullLength)
{
    toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    ASSERT_EQ(f.widthTwips(), 1715.0f);

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
    ASSERT_GE(unfold.sizes.size(), 2u);
    EXPECT_EQ(unfold.sizes.size(), 16u); // 525.1 ... 1785.1, then the full length
    EXPECT_NEAR(unfold.sizes[0], 525.1f, 0.01);
    EXPECT_NEAR(unfold.sizes[unfold.sizes.size() - 2], 1785.1f, 0.01);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
}

TEST_F(ToolbarTest, VerticalBarFoldsToASquareAndBack)
{
    TbrRec& r = toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    r.Vertical = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    ASSERT_EQ(f.heightTwips(), 1670.0f);

    Trace fold(f, true);
    windows->FoldTbr(1, -1);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_EQ(f.heightTwips(), 435.1f);
    EXPECT_EQ(fold.sizes.front(), 1580.0f);
    EXPECT_NEAR(f.claws().Tag.toDouble(), (435 - 434.9) * 90 / (1670 - 434.9), 1e-12);

    windows->FoldTbr(1, 1);
    EXPECT_EQ(f.heightTwips(), 1670.0f);
    EXPECT_EQ(f.widthTwips(), 435.0f);
}

TEST_F(ToolbarTest, HoverUnfoldsAndTheTimerFoldsOnceTheCursorIsOutside)
{
    TbrRec& r = toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    r.AutoHide = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_EQ(f.FoldState, 0);
    EXPECT_FALSE(f.tmrWaitFade().isActive());

    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.FoldState, -1);
    EXPECT_TRUE(f.tmrWaitFade().isActive());

    // A hover while watched changes nothing.
    f.setWidthTwips(1000);
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 1000.0f);
    f.setWidthTwips(1800); // 120 px from 200 px: the right edge is at exactly 320 px

    // The edge counts as inside; one pixel further the window folds.
    pointer.cursor = QPoint(320, 110);
    f.tmrWaitFade_Timer();
    EXPECT_EQ(f.widthTwips(), 1800.0f);
    EXPECT_EQ(f.FoldState, -1);
    pointer.cursor = QPoint(321, 110);
    f.tmrWaitFade_Timer();
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_EQ(f.FoldState, 1);
    EXPECT_FALSE(f.tmrWaitFade().isActive());

    // The next hover unfolds it again.
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
}

TEST_F(ToolbarTest, TimerChecksEveryEdgeOfTheWindow)
{
    TbrRec& r = toolbar(1, {Btn("A")});
    r.AutoHide = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    f.moveTwips(1500, 1500, 1500, 1500); // 100..200 px both ways
    const QPoint inside[] = {{100, 100}, {200, 200}, {150, 100}, {100, 200}};
    const QPoint outside[] = {{99, 150}, {201, 150}, {150, 99}, {150, 201}};
    for (QPoint p : inside) {
        pointer.cursor = p;
        f.tmrWaitFade().start();
        f.tmrWaitFade_Timer();
        EXPECT_TRUE(f.tmrWaitFade().isActive()) << p.x() << "," << p.y();
    }
    for (QPoint p : outside) {
        f.moveTwips(1500, 1500, 1500, 1500);
        pointer.cursor = p;
        f.tmrWaitFade().start();
        f.tmrWaitFade_Timer();
        EXPECT_FALSE(f.tmrWaitFade().isActive()) << p.x() << "," << p.y();
    }
    f.tmrWaitFade().stop();
}

TEST_F(ToolbarTest, ToolbarWithoutButtonsFoldsOnceAndNeverUnfoldsOnAHover)
{
    TbrRec& r = toolbar(1);
    r.AutoHide = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    EXPECT_FALSE(f.tmrWaitFade().isActive());

    // Switching auto-hide off gives it back the size it was placed with.
    windows->ApplyMode(1, AutoHide);
    EXPECT_EQ(f.widthTwips(), 420.0f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
}

TEST_F(ToolbarTest, SwitchingAutoHideOffStopsTheWatch)
{
    TbrRec& r = toolbar(1, {Btn("A"), Btn("B")});
    r.AutoHide = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    f.Claws_MouseMove(0, 0, 10, 10);
    ASSERT_TRUE(f.tmrWaitFade().isActive());

    windows->ApplyMode(1, AutoHide);
    EXPECT_FALSE(f.tmrWaitFade().isActive());
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
    f.Claws_MouseMove(0, 0, 10, 10); // a hover leaves it so
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);

    // Switched on again it folds, and a hover unfolds it once more.
    windows->ApplyMode(1, AutoHide);
    EXPECT_EQ(f.widthTwips(), 435.1f);
    f.Claws_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
}

TEST_F(ToolbarTest, EventsRunDuringAFoldCannotStartAnotherFold)
{
    TbrRec& r = toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    windows->RebuildTbr(1);
    r.AutoHide = True16;
    FTb& f = form(1);
    // A hover arriving between two fold steps.
    int hovers = 0;
    QTimer hover;
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
