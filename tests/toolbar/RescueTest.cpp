// Toolbars whose handle is out of the screens' reach are shown within reach when they
// come up and when the screens change; their records keep the place the user gave them
// until the user moves them, and they go back there once a screen holds it again.
#include "ToolbarFixture.h"
#include "toolbar/ScreenRescue.h"

#include <QScreen>

#include <optional>

namespace {

TEST_F(ToolbarTest, AHandleOutOfReachComesBackWholeWhileTheRecordKeepsTheUsersPlace)
{
    TbrRec& lost = toolbar(0, ThreeAndASep);
    std::tie(lost.Left, lost.Top) = std::pair(-50000.0f, -50000.0f);
    TbrRec& fixed = toolbar(1);
    std::tie(fixed.Left, fixed.Unmoveable) = std::pair(900000.0f, True16);

    toolbars.ready(0);
    toolbars.ready(1);
    clock.settle();

    EXPECT_EQ(window(0).handlePixelRect().topLeft(), QPoint(0, 0));
    // Where exactly a handle is brought is the rescue's own test; here: that it is.
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(window(1).handlePixelRect()));
    EXPECT_EQ(window(1).geometry(), window(1).pixelRect());

    // Saving takes no place the program chose; a layout keeps the window within reach.
    toolbars.takePositions();
    window(0).applyMode(Vertical);
    EXPECT_EQ(std::tuple(rec(0).Left, rec(0).Top, rec(1).Left, window(0).handlePixelRect().topLeft()),
              std::tuple(-50000.0f, -50000.0f, 900000.0f, QPoint(0, 0)));
}

TEST_F(ToolbarTest, ARescuedToolbarGoesBackToItsPlaceWhenItIsReachableAndTheUsersDragIsKept)
{
    toolbar(0, ThreeAndASep).Left = -90000;
    toolbar(1).Left = -90000;
    toolbars.ready(0);
    toolbars.ready(1);
    ASSERT_TRUE(window(0).rescued());
    EXPECT_EQ(window(0).pixelRect().topLeft(), QPoint(-6, 100)); // its row kept

    // The screen that held the place is back (here: the place is on the screen now).
    rec(0).Left = 1500;
    toolbars.rescueOffScreen();
    EXPECT_EQ(std::pair(window(0).rescued(), window(0).geometry().topLeft()), std::pair(false, QPoint(100, 100)));

    // A click on the handle keeps the program's choice; a drag makes the place the user's.
    const QPoint at = grab(1);
    drag(1, at, at);
    EXPECT_EQ(rec(1).Left, -90000.0f);
    drag(1, at, at + QPoint(30, 0));
    EXPECT_EQ(std::pair(window(1).rescued(), rec(1).Left), std::pair(false, 360.0f)); // 30 px right of where it was shown
}

// The rescue on its own: a handle not wholly on one screen is brought back whole by the
// least move; one wholly on a screen stays where it is.
TEST(ScreenRescue, AHandleNotWhollyOnAScreenComesWhollyOnTheNearestByTheLeastMove)
{
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1920, 1080);
    const std::vector<std::tuple<const char*, QRect, std::vector<QRect>, std::optional<QPoint>>> rows{
        {"inside", QRect(100, 100, 17, 17), {left}, std::nullopt},
        {"touching the corner from inside", QRect(0, 0, 17, 17), {left}, std::nullopt},
        {"5 px across the left edge", QRect(-5, 100, 17, 17), {left}, QPoint(0, 100)},
        {"5 px inside the right edge of the window, handle across", QRect(1268, 300, 17, 17), {left},
         QPoint(1263, 300)},
        {"one pixel on screen", QRect(-16, -16, 17, 17), {left}, QPoint(0, 0)},
        {"right of the last screen", QRect(4000, 500, 17, 17), {left, right}, QPoint(3183, 500)},
        {"across two screens: the nearer whole place", QRect(1275, 100, 17, 17), {left, right}, QPoint(1280, 100)},
        {"on the second screen", QRect(2000, 500, 17, 17), {left, right}, std::nullopt},
        {"in the hole beside a smaller screen, keeps its x", QRect(400, 900, 17, 17), {left, right}, QPoint(400, 783)},
        {"no screens", QRect(-5000, 10, 17, 17), {}, std::nullopt},
        {"an empty area does not count", QRect(-500, 10, 17, 17), {QRect(), left}, QPoint(0, 10)},
    };
    for (const auto& [what, handle, areas, expected] : rows)
        EXPECT_EQ(rescuedPosition(handle, areas), expected) << what;
}

TEST(ScreenRescue, TheHandleAlwaysEndsWhollyInsideTheAreaItWasBroughtTo)
{
    const QRect area(-1920, 200, 1920, 1080); // a screen left of and below the primary
    for (const QPoint at : {QPoint(-90000, -90000), QPoint(90000, 90000), QPoint(-90000, 90000), QPoint(0, 0)}) {
        const QRect handle(at, QSize(17, 17));
        const auto moved = rescuedPosition(handle, {area});
        ASSERT_TRUE(moved.has_value());
        EXPECT_TRUE(area.contains(QRect(*moved, handle.size()))) << at.x() << "," << at.y();
    }
}

} // namespace
