// The six display modes as a toolbar switches them.
#include "ToolbarFixture.h"

#include <QWindow>

TEST_F(ToolbarTest, ApplyModeTogglesTicksTheMenuAndTheConfigWindowAndSavesOnce)
{
    built(1, ThreeAndASep).menu(); // an open menu follows every switch
    host.configOn = 1;
    TbrRec& r = rec(1);
    for (int m = 0; m < ModeCount; ++m) {
        const bool on = !isTrue(r.mode(m));
        const int saves = host.saves;
        host.modeChecks.clear();
        toolbars.applyMode(1, m);
        EXPECT_EQ(std::tuple(r.mode(m), window(1).modeAction(m)->isChecked(), host.saves, host.modeChecks),
                  std::tuple(toBool16(on), on, saves + 1, std::vector{std::pair(m, on)})) << m;
    }
    // Unknown modes change nothing and save nothing.
    const auto before = std::pair(host.saves, host.modeChecks);
    toolbars.applyMode(1, 6);
    toolbars.applyMode(1, -1);
    EXPECT_EQ(std::pair(host.saves, host.modeChecks), before);
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
    EXPECT_EQ(std::tuple(isTrue(rec(1).Unmoveable), isTrue(rec(1).Captions), isTrue(rec(2).Vertical), host.saves),
              std::tuple(true, false, false, 1));
    toolbars.applyMode(2, Vertical); // and once it is over, they go through again
    EXPECT_TRUE(isTrue(rec(2).Vertical));
}

TEST_F(ToolbarTest, VisibleShowsAndHidesButToolbarZeroCanNeverBeHidden)
{
    toolbar(0, {Btn("A")}).Visible = False16;
    toolbar(1, {Btn("A")}).Visible = False16;
    toolbars.ready(0);
    toolbars.ready(1);
    const auto shown = [&] { return std::pair(window(0).isVisible(), window(1).isVisible()); };
    EXPECT_EQ(shown(), std::pair(true, false));
    EXPECT_EQ(std::pair(item(0, "M_mnuVIS")->isEnabled(), item(1, "M_mnuVIS")->isEnabled()), std::pair(false, true));
    toolbars.applyMode(1, Visible);
    EXPECT_EQ(shown(), std::pair(true, true));
    toolbars.applyMode(1, Visible);
    toolbars.applyMode(0, Visible);
    toolbars.applyMode(0, Visible);
    EXPECT_EQ(shown(), std::pair(true, false));

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
    const float bw = w.strip().buttonWidth();
    EXPECT_GT(bw, 345.0f);
    EXPECT_EQ(std::tuple(w.strip().caption(3), w.strip().caption(4), w.strip().toolTipText(3), w.leftTwips(), w.widthTwips()),
              std::tuple("Alpha", "A rather long caption", "", rec(1).Left, bw * 2 + 470 + 90));
    toolbars.applyMode(1, Captions);
    EXPECT_EQ(std::tuple(w.strip().caption(3), w.strip().toolTipText(4), w.widthTwips()),
              std::tuple("", "A rather long caption", 345.0f * 2 + 560));
}

TEST_F(ToolbarTest, AlwaysOnTopChangesInPlaceAndHoldsForAFirstShow)
{
    ToolbarWindow& w = built(1, {Btn("A")});
    const auto before = std::pair(w.geometry(), w.winId());
    const auto onTop = [](ToolbarWindow& w) { return w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    toolbars.applyMode(1, AlwaysOnTop);
    EXPECT_TRUE(onTop(w));
    toolbars.applyMode(1, AlwaysOnTop);
    EXPECT_EQ(std::tuple(onTop(w), w.isVisible(), std::pair(w.geometry(), w.winId())), std::tuple(false, true, before));

    // Activation sets the stacking again from the flag, whatever changed it meanwhile.
    setTopmost(w, true);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(onTop(w));

    TbrRec& hidden = toolbar(2, {Btn("A")});
    std::tie(hidden.AlwaysOnTop, hidden.Visible) = std::pair(True16, False16);
    toolbars.ready(2);
    toolbars.applyMode(2, Visible);
    ASSERT_TRUE(window(2).windowHandle());
    EXPECT_TRUE(onTop(window(2)));
}

TEST_F(ToolbarTest, SwitchingAToolbarNotBuiltYetBuildsItAsItStandsThenSwitches)
{
    // The mode, whether the window shows afterwards, its width in twips (0: by the buttons):
    // a recall; from the configuration window, still hidden; folded at once; captions.
    for (auto [mode, visible, width] : {std::tuple(int(Visible), true, 1715.0f), {Vertical, false, 435},
                                        {AutoHide, false, 435.1f}, {Captions, false, 0}}) {
        SCOPED_TRACE(mode);
        toolbars.remove(1);
        toolbar(1, ThreeAndASep).Visible = False16;
        ASSERT_EQ(toolbars.find(1), nullptr);
        toolbars.applyMode(1, mode);
        ToolbarWindow& w = window(1);
        EXPECT_EQ(std::tuple(w.built(), isTrue(rec(1).mode(mode)), w.isVisible(), w.strip().buttonCount(), w.leftTwips(),
                             w.topTwips(), w.widthTwips()),
                  std::tuple(true, true, visible, 2 + 4, 3000.0f, 1500.0f,
                             width > 0 ? width : w.strip().buttonWidth() * 3 + 120 + 470 + 90));
    }
}
