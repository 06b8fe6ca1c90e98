// A handle not wholly on one screen is brought back whole by the least move; one wholly
// on a screen stays where it is.
#include "toolbar/ScreenRescue.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Row {
    const char* what;
    QRect handle;
    std::vector<QRect> areas;
    std::optional<QPoint> expected;
};

TEST(ScreenRescue, AHandleNotWhollyOnAScreenComesWhollyOnTheNearestByTheLeastMove)
{
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1920, 1080);
    const std::vector<Row> rows{
        {"inside", QRect(100, 100, 17, 17), {left}, std::nullopt},
        {"touching the corner from inside", QRect(0, 0, 17, 17), {left}, std::nullopt},
        {"5 px across the left edge", QRect(-5, 100, 17, 17), {left}, QPoint(0, 100)},
        {"5 px inside the right edge of the window, handle across", QRect(1268, 300, 17, 17), {left},
         QPoint(1263, 300)},
        {"one pixel on screen", QRect(-16, -16, 17, 17), {left}, QPoint(0, 0)},
        {"far up and left", QRect(-3333, -3333, 17, 17), {left}, QPoint(0, 0)},
        {"below, keeps its x", QRect(300, 900, 17, 17), {left}, QPoint(300, 783)},
        {"right of the last screen", QRect(4000, 500, 17, 17), {left, right}, QPoint(3183, 500)},
        {"across two screens: the nearer whole place", QRect(1275, 100, 17, 17), {left, right}, QPoint(1280, 100)},
        {"on the second screen", QRect(2000, 500, 17, 17), {left, right}, std::nullopt},
        {"in the hole beside a smaller screen", QRect(400, 900, 17, 17), {left, right}, QPoint(400, 783)},
        {"no screens", QRect(-5000, 10, 17, 17), {}, std::nullopt},
        {"an empty area does not count", QRect(-500, 10, 17, 17), {QRect(), left}, QPoint(0, 10)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(rescuedPosition(r.handle, r.areas), r.expected);
    }
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
