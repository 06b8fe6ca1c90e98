// Toolbars whose handle is out of the screens' reach are shown within reach when they
// come up and when the screens change; their records keep the place the user gave them
// until the user moves them, and they go back there once a screen holds it again.
#include "ToolbarFixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

bool onScreen(const QRect& r)
{
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().contains(r))
            return true;
    return false;
}

TEST_F(ToolbarTest, AHandleOutOfReachComesBackWholeWhileTheRecordKeepsTheUsersPlace)
{
    TbrRec& lost = toolbar(0, ThreeAndASep);
    lost.Left = -50000;
    lost.Top = -50000;
    TbrRec& edge = toolbar(1);
    edge.Left = -105; // the window 7 px across the edge, its handle 1 px
    edge.Top = 1500;
    TbrRec& inside = toolbar(2);
    inside.Left = -90; // the handle's edge on the screen's edge: wholly on it
    inside.Top = 1500;
    TbrRec& fixed = toolbar(3);
    fixed.Left = 900000;
    fixed.Unmoveable = True16;

    for (int t = 0; t <= 3; ++t)
        toolbars.ready(std::uint8_t(t));
    clock.settle();

    EXPECT_EQ(window(0).handlePixelRect().topLeft(), QPoint(0, 0));
    EXPECT_TRUE(onScreen(window(1).handlePixelRect()));
    EXPECT_EQ(window(1).pixelRect().topLeft(), QPoint(-6, 100)); // the least move: 1 px
    EXPECT_EQ(window(2).pixelRect().topLeft(), QPoint(-6, 100)); // stays
    EXPECT_FALSE(window(2).rescued());
    EXPECT_TRUE(onScreen(window(3).handlePixelRect()));
    EXPECT_EQ(window(3).geometry(), window(3).pixelRect());

    // Saving takes no place the program chose; a layout keeps the window within reach.
    toolbars.takePositions();
    EXPECT_EQ(rec(0).Left, -50000.0f);
    EXPECT_EQ(rec(0).Top, -50000.0f);
    EXPECT_EQ(rec(1).Left, -105.0f);
    EXPECT_EQ(rec(3).Left, 900000.0f);
    window(0).applyMode(Vertical);
    EXPECT_EQ(window(0).handlePixelRect().topLeft(), QPoint(0, 0));
    EXPECT_EQ(rec(0).Left, -50000.0f);
}

TEST_F(ToolbarTest, ARescuedToolbarGoesBackToItsPlaceWhenItIsReachableAndTheUsersDragIsKept)
{
    TbrRec& r0 = toolbar(0, ThreeAndASep);
    r0.Left = -90000;
    toolbar(1).Left = -90000;
    toolbars.ready(0);
    toolbars.ready(1);
    ASSERT_TRUE(window(0).rescued());
    EXPECT_EQ(window(0).pixelRect().topLeft(), QPoint(-6, 100)); // its row kept

    // The screen that held the place is back (here: the place is on the screen now).
    rec(0).Left = 1500;
    toolbars.rescueOffScreen();
    EXPECT_FALSE(window(0).rescued());
    EXPECT_EQ(window(0).geometry().topLeft(), QPoint(100, 100));

    // A click on the handle keeps the program's choice; a drag makes the place the user's.
    const QPoint at = grab(1);
    drag(1, at, at);
    EXPECT_EQ(rec(1).Left, -90000.0f);
    drag(1, at, at + QPoint(30, 0));
    EXPECT_FALSE(window(1).rescued());
    EXPECT_EQ(rec(1).Left, 360.0f); // 30 px right of where it was shown
}

} // namespace
