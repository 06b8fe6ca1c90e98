// The six display modes as a toolbar switches them.
#include "ToolbarFixture.h"

#include <QWindow>

TEST_F(ToolbarTest, ApplyModeTogglesTicksTheMenuAndTheConfigWindowAndSavesOnce)
{
    built(1, ThreeAndASep).menu(); // an open menu follows every switch
    host.configOn = 1;
    TbrRec& r = rec(1);
    for (int m = 0; m < ModeCount; ++m) {
        SCOPED_TRACE(m);
        const Bool16 before = r.mode(m);
        const int saves = host.saves;
        host.modeChecks.clear();
        toolbars.applyMode(1, m);
        EXPECT_EQ(r.mode(m), isTrue(before) ? False16 : True16);
        EXPECT_EQ(window(1).modeAction(m)->isChecked(), isTrue(r.mode(m)));
        EXPECT_EQ(host.saves, saves + 1);
        ASSERT_FALSE(host.modeChecks.empty());
        EXPECT_EQ(host.modeChecks.back(), std::make_pair(m, isTrue(r.mode(m))));
    }
    // Unknown modes change nothing and save nothing.
    const TbrRec before = r;
    const int saves = host.saves;
    toolbars.applyMode(1, 6);
    toolbars.applyMode(1, -1);
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(r.mode(m), before.mode(m));
    EXPECT_EQ(host.saves, saves);
}

TEST_F(ToolbarTest, ASecondModeChangeFromInsideTheFirstIsRefused)
{
    built(1, ThreeAndASep);
    built(2, ThreeAndASep);
    // The save's failure box lets the user click on: in this toolbar's menu or another's.
    host.onSave = [&] {
        host.onSave = nullptr;
        toolbars.applyMode(1, Captions);
        toolbars.applyMode(2, Vertical);
    };
    toolbars.applyMode(1, Unmoveable);
    EXPECT_TRUE(isTrue(rec(1).Unmoveable));
    EXPECT_FALSE(isTrue(rec(1).Captions));
    EXPECT_FALSE(isTrue(rec(2).Vertical));
    EXPECT_EQ(host.saves, 1);
    toolbars.applyMode(2, Vertical); // and once it is over, they go through again
    EXPECT_TRUE(isTrue(rec(2).Vertical));
}

TEST_F(ToolbarTest, VisibleShowsAndHidesButToolbarZeroCanNeverBeHidden)
{
    toolbar(0, {Btn("A")}).Visible = False16;
    toolbar(1, {Btn("A")}).Visible = False16;
    toolbars.ready(0);
    toolbars.ready(1);
    EXPECT_TRUE(window(0).isVisible());
    EXPECT_FALSE(window(1).isVisible());
    EXPECT_FALSE(item(0, "M_mnuVIS")->isEnabled());
    EXPECT_TRUE(item(1, "M_mnuVIS")->isEnabled());
    toolbars.applyMode(1, Visible);
    EXPECT_TRUE(window(1).isVisible());
    toolbars.applyMode(1, Visible);
    EXPECT_FALSE(window(1).isVisible());
    toolbars.applyMode(0, Visible);
    toolbars.applyMode(0, Visible);
    EXPECT_TRUE(window(0).isVisible());

    // While the button editor is open, a refresh leaves visibility alone.
    host.editorOpen = true;
    rec(1).Visible = True16;
    window(1).refresh();
    EXPECT_FALSE(window(1).isVisible());
}

TEST_F(ToolbarTest, CaptionsRelabelAndResizeFromTheStoredPlace)
{
    ToolbarWindow& w = built(1, {Btn("Alpha"), Btn("Skipped", ""), Btn("A rather long caption")});
    w.moveTwips(0, 0, 600, 420); // a window folded or dragged meanwhile
    toolbars.applyMode(1, Captions);
    EXPECT_EQ(w.strip().caption(3), "Alpha");
    EXPECT_EQ(w.strip().caption(4), "A rather long caption");
    EXPECT_EQ(w.strip().toolTipText(3), "");
    const float bw = w.strip().buttonWidth();
    EXPECT_GT(bw, 345.0f);
    EXPECT_EQ(w.leftTwips(), rec(1).Left);
    EXPECT_EQ(w.widthTwips(), bw * 2 + 470 + 90);
    toolbars.applyMode(1, Captions);
    EXPECT_EQ(w.strip().caption(3), "");
    EXPECT_EQ(w.strip().toolTipText(4), "A rather long caption");
    EXPECT_EQ(w.widthTwips(), 345.0f * 2 + 560);
}

TEST_F(ToolbarTest, AlwaysOnTopChangesInPlaceAndHoldsForAFirstShow)
{
    ToolbarWindow& w = built(1, {Btn("A")});
    const QRect before = w.geometry();
    const WId id = w.winId();
    toolbars.applyMode(1, AlwaysOnTop);
    EXPECT_TRUE(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    toolbars.applyMode(1, AlwaysOnTop);
    EXPECT_FALSE(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.geometry(), before);
    EXPECT_EQ(w.winId(), id);

    // Activation sets the stacking again from the flag, whatever changed it meanwhile.
    setTopmost(w, true);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

    TbrRec& hidden = toolbar(2, {Btn("A")});
    hidden.AlwaysOnTop = True16;
    hidden.Visible = False16;
    toolbars.ready(2);
    toolbars.applyMode(2, Visible);
    ASSERT_TRUE(window(2).windowHandle());
    EXPECT_TRUE(window(2).windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(ToolbarTest, SwitchingAToolbarNotBuiltYetBuildsItAsItStandsThenSwitches)
{
    const struct {
        int mode;
        bool visible; // the window afterwards
        float width;  // twips; 0: checked against the buttons
    } rows[] = {
        {Visible, true, 1715},     // a recall
        {Vertical, false, 435},    // from the configuration window, still hidden
        {AutoHide, false, 435.1f}, // folded at once
        {Captions, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        toolbars.remove(1);
        TbrRec& r = toolbar(1, ThreeAndASep);
        r.Visible = False16;
        ASSERT_EQ(toolbars.find(1), nullptr);
        toolbars.applyMode(1, row.mode);
        ToolbarWindow& w = window(1);
        EXPECT_TRUE(w.built());
        EXPECT_TRUE(isTrue(r.mode(row.mode)));
        EXPECT_EQ(w.isVisible(), row.visible);
        EXPECT_EQ(w.strip().buttonCount(), 2 + 4);
        EXPECT_EQ(w.leftTwips(), 3000.0f);
        EXPECT_EQ(w.topTwips(), 1500.0f);
        EXPECT_EQ(w.widthTwips(), row.width > 0 ? row.width : w.strip().buttonWidth() * 3 + 120 + 470 + 90);
    }
}
