// A toolbar out of every screen's reach is brought back; one the user left partly off
// screen stays where it is.
#include "toolbar/ScreenRescue.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Row {
    const char* what;
    QRect window;
    std::vector<QRect> areas;
    std::optional<QPoint> expected;
};

TEST(ScreenRescue, WhollyOutsideComesFullyInsideTheNearestAreaPartlyVisibleStays)
{
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1920, 1080);
    const std::vector<Row> rows{
        {"inside", QRect(100, 100, 50, 30), {left}, std::nullopt},
        {"partly off the left edge", QRect(-40, 100, 50, 30), {left}, std::nullopt},
        {"one pixel on screen", QRect(-49, -29, 50, 30), {left}, std::nullopt},
        {"just off the top-left corner", QRect(-50, -30, 50, 30), {left}, QPoint(0, 0)},
        {"far up and left", QRect(-3333, -3333, 28, 28), {left}, QPoint(0, 0)},
        {"below, keeps its x", QRect(300, 900, 50, 30), {left}, QPoint(300, 770)},
        {"right of the last screen", QRect(4000, 500, 60, 40), {left, right}, QPoint(3140, 500)},
        {"nearer the right screen", QRect(1500, 1200, 60, 40), {left, right}, QPoint(1500, 1040)},
        {"nearer the left screen", QRect(100, 900, 60, 40), {left, right}, QPoint(100, 760)},
        {"on the second screen", QRect(2000, 500, 60, 40), {left, right}, std::nullopt},
        {"in the hole beside a smaller screen", QRect(400, 900, 60, 40), {left, right}, QPoint(400, 760)},
        {"wider than the area: its corner comes inside", QRect(-5000, 10, 3000, 30), {left}, QPoint(0, 10)},
        {"no screens", QRect(-5000, 10, 30, 30), {}, std::nullopt},
        {"an empty area does not count", QRect(-500, 10, 30, 30), {QRect(), left}, QPoint(0, 10)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(rescuedPosition(r.window, r.areas), r.expected);
    }
}

TEST(ScreenRescue, TheWindowAlwaysEndsInsideTheAreaItWasBroughtTo)
{
    const QRect area(-1920, 200, 1920, 1080); // a screen left of and below the primary
    for (const QPoint at : {QPoint(-90000, -90000), QPoint(90000, 90000), QPoint(-90000, 90000), QPoint(0, 0)}) {
        const QRect window(at, QSize(200, 30));
        const auto moved = rescuedPosition(window, {area});
        ASSERT_TRUE(moved.has_value());
        EXPECT_TRUE(area.contains(QRect(*moved, window.size()))) << at.x() << "," << at.y();
    }
}

} // namespace
