// The six display modes as ApplyMode toggles them, and RefreshTbrWindow.
#include "ToolbarFixture.h"

#include <QAction>
#include <QWindow>

TEST_F(ToolbarTest, ApplyModeTogglesTicksAndSavesUnderTheBusyMarkAndIgnoresUnknownModes)
{
    built(1, ThreeAndASep).menu(); // an open menu follows every switch
    TbrRec& r = rec(1);
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
    std::vector<Bool16> before;
    for (int m = 0; m < ModeCount; ++m)
        before.push_back(r.mode(m));
    const int saves = host.saves;
    windows->ApplyMode(1, 6);
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(r.mode(m), before[std::size_t(m)]);
    EXPECT_EQ(host.saves, saves);
    EXPECT_EQ(host.mark, "0");
}

TEST_F(ToolbarTest, VerticalTwiceGivesBackTheFirstLayout)
{
    FTb& f = built(1, ThreeAndASep);
    windows->ApplyMode(1, Vertical);
    EXPECT_EQ(f.widthTwips(), 435.0f);
    EXPECT_EQ(f.heightTwips(), 1670.0f);
    windows->ApplyMode(1, Vertical);
    EXPECT_EQ(f.widthTwips(), 1715.0f);
    EXPECT_EQ(f.heightTwips(), 420.0f);
}

TEST_F(ToolbarTest, VisibleShowsAndHidesButToolbarZeroCanNeverBeHidden)
{
    toolbar(0, {Btn("A")}).Visible = False16;
    toolbar(1, {Btn("A")}).Visible = False16;
    windows->RebuildTbr(0);
    windows->RebuildTbr(1);
    EXPECT_TRUE(form(0).isVisible());
    EXPECT_FALSE(form(1).isVisible());
    form(0).menu();
    form(1).menu();
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
    rec(1).Visible = True16;
    windows->RefreshTbrWindow(1);
    EXPECT_FALSE(form(1).isVisible());
}

TEST_F(ToolbarTest, CaptionsRelabelAndResizeFromTheStoredPlace)
{
    FTb& f = built(1, {Btn("Alpha"), Btn("Skipped", ""), Btn("A rather long caption")});
    f.moveTwips(0, 0, 600, 420); // a window folded or dragged meanwhile
    windows->ApplyMode(1, Captions);
    EXPECT_EQ(f.tbar().caption(3), "Alpha");
    EXPECT_EQ(f.tbar().caption(4), "A rather long caption");
    EXPECT_EQ(f.tbar().toolTipText(3), "");
    const float bw = f.tbar().buttonWidth();
    EXPECT_GT(bw, 345.0f);
    EXPECT_EQ(f.leftTwips(), rec(1).Left);
    EXPECT_EQ(f.widthTwips(), bw * 2 + 470 + 90);
    windows->ApplyMode(1, Captions);
    EXPECT_EQ(f.tbar().caption(3), "");
    EXPECT_EQ(f.tbar().toolTipText(4), "A rather long caption");
    EXPECT_EQ(f.widthTwips(), 345.0f * 2 + 560);
}

TEST_F(ToolbarTest, AlwaysOnTopChangesInPlaceAndHoldsForAFirstShow)
{
    FTb& f = built(1, {Btn("A")});
    const QRect before = f.geometry();
    const WId id = f.winId();
    windows->ApplyMode(1, AlwaysOnTop);
    EXPECT_TRUE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    windows->ApplyMode(1, AlwaysOnTop);
    EXPECT_FALSE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.geometry(), before);
    EXPECT_EQ(f.winId(), id);

    TbrRec& hidden = toolbar(2, {Btn("A")});
    hidden.AlwaysOnTop = True16;
    hidden.Visible = False16;
    windows->RebuildTbr(2);
    windows->ApplyMode(2, Visible);
    ASSERT_TRUE(form(2).windowHandle());
    EXPECT_TRUE(form(2).windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(ToolbarTest, SwitchingAToolbarNotBuiltYetBuildsItAsItStandsThenSwitches)
{
    const struct {
        int mode;
        bool visible;    // the window afterwards
        float width;     // twips
    } rows[] = {
        {Visible, true, 1715},       // a recall
        {Vertical, false, 435},      // from the configuration window, still hidden
        {AutoHide, false, 435.1f},   // folded at once
        {Captions, false, 0},        // wider than plain: checked against the buttons
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        TbrRec& r = toolbar(1, ThreeAndASep);
        r.Visible = False16;
        set.Tbrs[1].Form.reset();
        windows->ApplyMode(1, std::uint8_t(row.mode));
        ASSERT_NE(set.Tbrs[1].Form, nullptr);
        FTb& f = form(1);
        EXPECT_TRUE(f.built());
        EXPECT_TRUE(isTrue(r.mode(row.mode)));
        EXPECT_EQ(f.isVisible(), row.visible);
        EXPECT_EQ(f.tbar().buttonCount(), 2 + 4);
        EXPECT_EQ(f.leftTwips(), 3000.0f);
        EXPECT_EQ(f.topTwips(), 1500.0f);
        if (row.mode == Captions)
            EXPECT_EQ(f.widthTwips(), f.tbar().buttonWidth() * 3 + 120 + 470 + 90);
        else
            EXPECT_EQ(f.widthTwips(), row.width);
        r.mode(row.mode) = False16;
    }
}
