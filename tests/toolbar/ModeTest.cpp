// The six display modes as ApplyMode toggles them, and RefreshTbrWindow.
#include "ToolbarFixture.h"

#include <QAction>
#include <QMenu>
#include <QWindow>

#include <array>

TEST_F(ToolbarTest, ApplyModeTogglesSavesAndHoldsTheBusyMarkMeanwhile)
{
    TbrRec& r = toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    windows->RebuildTbr(1);
    for (int m = 0; m < ModeCount; ++m) {
        SCOPED_TRACE(m);
        const Bool16 before = r.mode(m);
        const int saves = host.saves;
        windows->ApplyMode(1, std::uint8_t(m));
        EXPECT_EQ(r.mode(m), isTrue(before) ? False16 : True16);
        EXPECT_EQ(form(1).modeItem(m)->isChecked(), isTrue(r.mode(m)));
        EXPECT_EQ(host.saves, saves + 1);
        EXPECT_EQ(host.markWhileSaving, "1");
        EXPECT_EQ(host.mark, "0");
    }

    // No such mode: nothing changes and nothing is written.
    const int saves = host.saves;
    const std::array<Bool16, 6> flags{r.Vertical, r.Captions, r.AlwaysOnTop, r.Visible, r.AutoHide, r.Unmoveable};
    windows->ApplyMode(1, 6);
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(r.mode(m), flags[std::size_t(m)]);
    EXPECT_EQ(host.saves, saves);
    EXPECT_EQ(host.mark, "0");
}

TEST_F(ToolbarTest, VerticalTwiceGivesBackTheFirstLayout)
{
    toolbar(1, {Btn("A"), Btn("B"), Sep(), Btn("C")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    windows->ApplyMode(1, Vertical);
    EXPECT_EQ(f.widthTwips(), 435.0f);
    EXPECT_EQ(f.heightTwips(), 1670.0f);
    windows->ApplyMode(1, Vertical);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
    EXPECT_EQ(host.saves, 2);
}

TEST_F(ToolbarTest, ConfigurationCheckBoxesFollowOnlyTheToolbarShown)
{
    toolbar(2, {Btn("A")});
    toolbar(3, {Btn("A")});
    windows->RebuildTbr(2);
    windows->RebuildTbr(3);
    host.configToolbar = 2;
    windows->ApplyMode(3, AutoHide);
    EXPECT_TRUE(host.modeChecks.empty());
    windows->ApplyMode(2, AutoHide);
    windows->ApplyMode(2, Visible);
    const std::vector<std::pair<int, bool>> expected{{AutoHide, true}, {Visible, false}};
    EXPECT_EQ(host.modeChecks, expected);
}

TEST_F(ToolbarTest, VisibleShowsAndHidesButToolbarZeroStaysShown)
{
    TbrRec& zero = toolbar(0, {Btn("A")});
    zero.Visible = False16;
    TbrRec& one = toolbar(1, {Btn("A")});
    one.Visible = False16;
    windows->RebuildTbr(0);
    windows->RebuildTbr(1);
    EXPECT_TRUE(form(0).isVisible());
    EXPECT_FALSE(form(1).isVisible());
    EXPECT_FALSE(form(0).M_mnuVIS->isEnabled());
    EXPECT_TRUE(form(1).M_mnuVIS->isEnabled());

    windows->ApplyMode(1, Visible);
    EXPECT_TRUE(form(1).isVisible());
    windows->ApplyMode(1, Visible);
    EXPECT_FALSE(form(1).isVisible());
    windows->ApplyMode(0, Visible);
    windows->ApplyMode(0, Visible);
    EXPECT_TRUE(form(0).isVisible());

    // While the button editor is open, a refresh leaves visibility alone.
    host.editorOpen = true;
    one.Visible = True16;
    windows->RefreshTbrWindow(1);
    EXPECT_FALSE(form(1).isVisible());
}

TEST_F(ToolbarTest, CaptionsRelabelTheButtonsAndResizeTheBar)
{
    TbrRec& r = toolbar(1, {Btn("Alpha"), Btn("Skipped", ""), Btn("A rather long caption")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    f.moveTwips(0, 0, 600, 420); // a window folded or dragged meanwhile
    windows->ApplyMode(1, Captions);
    EXPECT_EQ(f.tbar().caption(3), "Alpha");
    EXPECT_EQ(f.tbar().caption(4), "A rather long caption");
    EXPECT_EQ(f.tbar().toolTipText(3), "");
    const float bw = f.tbar().buttonWidth();
    EXPECT_GT(bw, 345.0f);
    EXPECT_EQ(f.leftTwips(), r.Left);
    EXPECT_EQ(f.widthTwips(), bw * 2 + 470 + 90);

    windows->ApplyMode(1, Captions);
    EXPECT_EQ(f.tbar().caption(3), "");
    EXPECT_EQ(f.tbar().toolTipText(4), "A rather long caption");
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
}

TEST_F(ToolbarTest, AlwaysOnTopKeepsTheWindowWhereItIs)
{
    toolbar(1, {Btn("A")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    ASSERT_TRUE(f.isVisible());
    const QRect before = f.geometry();
    const WId id = f.winId();
    windows->ApplyMode(1, AlwaysOnTop);
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    windows->ApplyMode(1, AlwaysOnTop);
    EXPECT_FALSE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.geometry(), before);
    EXPECT_EQ(f.winId(), id);
}

TEST_F(ToolbarTest, AToolbarShownForTheFirstTimeIsAlreadyOnTop)
{
    TbrRec& r = toolbar(1, {Btn("A")});
    r.AlwaysOnTop = True16;
    r.Visible = False16;
    windows->RebuildTbr(1);
    windows->ApplyMode(1, Visible);
    ASSERT_TRUE(form(1).windowHandle());
    EXPECT_TRUE(form(1).windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}
