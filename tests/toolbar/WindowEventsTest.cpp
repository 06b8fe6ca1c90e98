// What the user does with the handle and the popup menu.
#include "ToolbarFixture.h"

#include <QAction>
#include <QMenu>

TEST_F(ToolbarTest, DragMovesWindowExactlyAndStoresThePlaceOnlyOnRelease)
{
    FTb& f = built(1, {Btn("A")});
    const QPoint from = grab(1);
    drag(1, from, from + QPoint(7, 3), false);
    EXPECT_TRUE(f.Dragging);
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, from + QPoint(20, 10));
    EXPECT_EQ(f.leftTwips(), 3300.0f);
    EXPECT_EQ(f.topTwips(), 1650.0f);
    EXPECT_EQ(f.geometry().topLeft(), QPoint(220, 110));
    EXPECT_EQ(rec(1).Left, 3000.0f);
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, from + QPoint(20, 10));
    EXPECT_FALSE(f.Dragging);
    EXPECT_EQ(rec(1).Left, 3300.0f);
    EXPECT_EQ(rec(1).Top, 1650.0f);
    // Off the screen is fine: positions are stored as they are.
    drag(1, from + QPoint(20, 10), from + QPoint(-300, -200));
    EXPECT_EQ(rec(1).Left, -1500.0f);
    EXPECT_EQ(rec(1).Top, -1500.0f);

    // A release without a drag stores where the window is.
    f.moveTwips(4500, 6000, 500, 420);
    f.Claws_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(rec(1).Left, 4500.0f);
    EXPECT_EQ(rec(1).Top, 6000.0f);
}

TEST_F(ToolbarTest, UnmoveableToolbarKeepsItsStoredPlaceWhateverTheWindowDoes)
{
    FTb& f = built(1, {Btn("A")}, {Unmoveable});
    drag(1, grab(1), grab(1) + QPoint(20, 10), false);
    f.moveTwips(0, 0, f.widthTwips(), f.heightTwips()); // moved by other means meanwhile
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab(1) + QPoint(20, 10));
    EXPECT_FALSE(f.Dragging);
    windows->takePositions();
    EXPECT_EQ(rec(1).Left, 3000.0f);
    EXPECT_EQ(rec(1).Top, 1500.0f);
}

TEST_F(ToolbarTest, RightPressEndsTheDragAndOpensTheMenuTickedForTheToolbar)
{
    FTb& f = built(0, {Btn("A")}, {AutoHide});
    const QPoint from = grab(0);
    mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
    mouse(0, QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, from);
    EXPECT_FALSE(f.Dragging);
    ASSERT_TRUE(f.C_mnuPOPUP->isVisible());
    EXPECT_EQ(f.C_mnuPOPUP->pos(), f.geometry().topLeft() + QPoint(13, 13)); // (45 + 150) / 15
    mouse(0, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, from + QPoint(20, 10));
    EXPECT_EQ(f.leftTwips(), 3000.0f);
    EXPECT_EQ(f.C_mnuPOPUP->defaultAction(), f.C_mnuCFG);
    EXPECT_TRUE(f.C_mnuCFG->font().bold());
    EXPECT_FALSE(f.M_mnuVIS->isEnabled());
    EXPECT_TRUE(f.M_mnuVIS->isChecked());
    EXPECT_TRUE(f.M_mnuAHIDE->isChecked());
    EXPECT_FALSE(f.M_mnuVERT->isChecked());
    f.C_mnuPOPUP->hide();

    // Both buttons at once neither drag nor open the menu.
    f.Claws_MouseDown(3, 0, 10, 10);
    EXPECT_FALSE(f.Dragging);
    EXPECT_FALSE(f.C_mnuPOPUP->isVisible());
}

TEST_F(ToolbarTest, MenuItemsReachTheirCommands)
{
    FTb& f = built(2, {Btn("A")});
    f.menu();
    f.C_mnuCFG->trigger();
    f.Claws_DblClick();
    EXPECT_EQ(host.configShown, std::vector<int>({2, 2}));
    f.C_mnuABOUT->trigger();
    EXPECT_EQ(host.abouts, 1);
    f.C_mnuEND->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(host.terminations, 1);
    f.M_mnuAHIDE->trigger();
    EXPECT_TRUE(isTrue(rec(2).AutoHide));
    EXPECT_TRUE(f.M_mnuAHIDE->isChecked());
    EXPECT_EQ(f.widthTwips(), 435.1f);
    f.M_mnuAHIDE->trigger();
    EXPECT_FALSE(f.M_mnuAHIDE->isChecked());
    EXPECT_EQ(f.widthTwips(), 345.0f + 560);
    EXPECT_EQ(host.saves, 2);
}

TEST_F(ToolbarTest, HandlersOfAWindowWhoseToolbarIsGoneDoNothing)
{
    FTb& f = built(1, {Btn("A")});
    f.menu();
    f.Tag = "7";
    drag(1, grab(1), grab(1) + QPoint(20, 10));
    f.C_mnuCFG->trigger();
    f.M_mnuVERT->trigger();
    f.tmrWaitFade_Timer();
    EXPECT_FALSE(f.Dragging);
    EXPECT_TRUE(host.configShown.empty());
    EXPECT_EQ(host.saves, 0);
}

TEST_F(ToolbarTest, MenuIsMadeOnFirstNeedAndTicksFromTheModesThen)
{
    FTb& f = built(1, ThreeAndASep, {AutoHide});
    windows->ApplyMode(1, Vertical);
    windows->ApplyMode(1, Captions);
    windows->ApplyMode(1, Captions);
    EXPECT_EQ(f.C_mnuPOPUP, nullptr);
    EXPECT_EQ(f.modeItem(Vertical), nullptr);
    QMenu& menu = f.menu();
    EXPECT_EQ(&menu, f.C_mnuPOPUP);
    EXPECT_EQ(&f.menu(), &menu); // made once
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(f.modeItem(m)->isChecked(), isTrue(rec(1).mode(m))) << m;
    EXPECT_TRUE(f.M_mnuVIS->isEnabled());
    // A flag changed behind the menu's back shows when it opens.
    rec(1).Unmoveable = True16;
    f.Claws_MouseDown(2, 0, 10, 10);
    EXPECT_TRUE(f.M_mnuUNMOVE->isChecked());
    menu.hide();
}
