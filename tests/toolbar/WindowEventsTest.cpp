// What the user does with the handle and the popup menu.
#include "ToolbarFixture.h"

#include <QAction>
#include <QMenu>

TEST_F(ToolbarTest, DraggingTheHandleMovesWindowAndRecordExactly)
{
    TbrRec& r = toolbar(1, {Btn("A")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    const QPoint grab = clawsOrigin(1) + QPoint(5, 5);
    mouse(1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    EXPECT_TRUE(f.Dragging);
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(7, 3));
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(20, 10));
    EXPECT_EQ(f.leftTwips(), 3300.0f);
    EXPECT_EQ(f.topTwips(), 1650.0f);
    EXPECT_EQ(f.geometry().topLeft(), QPoint(220, 110));
    EXPECT_EQ(r.Left, 3000.0f); // not before the release
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab + QPoint(20, 10));
    EXPECT_FALSE(f.Dragging);
    EXPECT_EQ(r.Left, 3300.0f);
    EXPECT_EQ(r.Top, 1650.0f);

    // Off the screen is fine: positions are stored as they are.
    mouse(1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab + QPoint(20, 10));
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(-300, -200));
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab + QPoint(-300, -200));
    EXPECT_EQ(r.Left, -1500.0f);
    EXPECT_EQ(r.Top, -1500.0f);
}

TEST_F(ToolbarTest, UnmoveableToolbarStaysAndKeepsItsStoredPlace)
{
    TbrRec& r = toolbar(1, {Btn("A")});
    r.Unmoveable = True16;
    windows->RebuildTbr(1);
    FTb& f = form(1);
    const QPoint grab = clawsOrigin(1) + QPoint(5, 5);
    mouse(1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(20, 10));
    f.moveTwips(0, 0, f.widthTwips(), f.heightTwips()); // moved by other means meanwhile
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab + QPoint(20, 10));
    EXPECT_FALSE(f.Dragging);
    EXPECT_EQ(r.Left, 3000.0f);
    EXPECT_EQ(r.Top, 1500.0f);
    windows->takePositions();
    EXPECT_EQ(r.Left, 3000.0f);
}

TEST_F(ToolbarTest, AReleaseWithoutADragStoresTheWindowPosition)
{
    TbrRec& r = toolbar(1, {Btn("A")});
    windows->RebuildTbr(1);
    form(1).moveTwips(4500, 6000, 500, 420);
    form(1).Claws_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(r.Left, 4500.0f);
    EXPECT_EQ(r.Top, 6000.0f);
}

TEST_F(ToolbarTest, RightPressEndsTheDragAndOpensTheMenuAtItsPlace)
{
    TbrRec& r = toolbar(0, {Btn("A")});
    r.AutoHide = True16;
    windows->RebuildTbr(0);
    FTb& f = form(0);
    const QPoint grab = clawsOrigin(0) + QPoint(5, 5);
    mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    mouse(0, QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, grab);
    EXPECT_FALSE(f.Dragging);
    ASSERT_TRUE(f.C_mnuPOPUP->isVisible());
    EXPECT_EQ(f.C_mnuPOPUP->pos(), f.geometry().topLeft() + QPoint(13, 13)); // (45 + 150) / 15
    mouse(0, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(20, 10));
    EXPECT_EQ(f.leftTwips(), 3000.0f);

    EXPECT_EQ(f.C_mnuPOPUP->defaultAction(), f.C_mnuCFG);
    EXPECT_TRUE(f.C_mnuCFG->font().bold());
    EXPECT_FALSE(f.M_mnuVIS->isEnabled());
    EXPECT_TRUE(f.M_mnuVIS->isChecked());
    EXPECT_TRUE(f.M_mnuAHIDE->isChecked());
    EXPECT_FALSE(f.M_mnuVERT->isChecked());
    f.C_mnuPOPUP->hide();
}

TEST_F(ToolbarTest, BothButtonsAtOnceNeitherDragNorOpenTheMenu)
{
    toolbar(1, {Btn("A")});
    windows->RebuildTbr(1);
    form(1).Claws_MouseDown(3, 0, 10, 10);
    EXPECT_FALSE(form(1).Dragging);
    EXPECT_FALSE(form(1).C_mnuPOPUP->isVisible());
}

TEST_F(ToolbarTest, MenuItemsReachTheirCommands)
{
    TbrRec& r = toolbar(2, {Btn("A")});
    windows->RebuildTbr(2);
    FTb& f = form(2);
    f.C_mnuCFG->trigger();
    f.Claws_DblClick();
    EXPECT_EQ(host.configShown, std::vector<int>({2, 2}));
    f.C_mnuABOUT->trigger();
    EXPECT_EQ(host.abouts, 1);
    f.C_mnuEND->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(host.terminations, 1);

    f.M_mnuAHIDE->trigger();
    EXPECT_TRUE(isTrue(r.AutoHide));
    EXPECT_TRUE(f.M_mnuAHIDE->isChecked());
    EXPECT_EQ(f.widthTwips(), 435.1f);
    f.M_mnuAHIDE->trigger();
    EXPECT_FALSE(isTrue(r.AutoHide));
    EXPECT_FALSE(f.M_mnuAHIDE->isChecked());
    EXPECT_EQ(f.widthTwips(), 345.0f + 560);
    EXPECT_EQ(host.saves, 2);
}

TEST_F(ToolbarTest, HandlersOfAWindowWhoseToolbarIsGoneDoNothing)
{
    toolbar(1, {Btn("A")});
    windows->RebuildTbr(1);
    FTb& f = form(1);
    f.Tag = "7";
    const QPoint grab = clawsOrigin(1) + QPoint(5, 5);
    mouse(1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(20, 10));
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab + QPoint(20, 10));
    f.C_mnuCFG->trigger();
    f.M_mnuVERT->trigger();
    f.tmrWaitFade_Timer();
    EXPECT_FALSE(f.Dragging);
    EXPECT_TRUE(host.configShown.empty());
    EXPECT_EQ(host.saves, 0);
}
