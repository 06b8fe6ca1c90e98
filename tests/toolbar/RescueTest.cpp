// Toolbars out of every screen's reach are brought back when they come up and when the
// screens change; the record keeps the new place.
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

TEST_F(ToolbarTest, AToolbarOffEveryScreenComesUpOnOneAPartlyVisibleOneStays)
{
    TbrRec& lost = toolbar(0, ThreeAndASep);
    lost.Left = -50000;
    lost.Top = -50000;
    TbrRec& edge = toolbar(1);
    edge.Left = -150;
    edge.Top = -150;
    TbrRec& fixed = toolbar(2);
    fixed.Left = 900000;
    fixed.Unmoveable = True16;

    for (int t = 0; t <= 2; ++t)
        toolbars.ready(std::uint8_t(t));
    clock.settle();

    EXPECT_TRUE(onScreen(window(0).geometry())) << window(0).geometry().x() << "," << window(0).geometry().y();
    EXPECT_EQ(window(0).geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(rec(0).Left, 0.0f);
    EXPECT_EQ(rec(0).Top, 0.0f);
    EXPECT_EQ(window(1).geometry().topLeft(), QPoint(-10, -10));
    EXPECT_EQ(rec(1).Left, -150.0f);
    // Unmoveable, yet out of reach: brought back, and the record with it.
    EXPECT_TRUE(onScreen(window(2).geometry()));
    EXPECT_EQ(rec(2).Left, window(2).leftTwips());
}

TEST_F(ToolbarTest, AWindowLeftOffScreenIsBroughtBackWhenTheScreensAreLookedAtAgain)
{
    ToolbarWindow& w = built(0, ThreeAndASep);
    w.moveTwips(-90000, 1500, w.widthTwips(), w.heightTwips());
    ASSERT_FALSE(onScreen(w.geometry()));
    toolbars.rescueOffScreen();
    EXPECT_TRUE(onScreen(w.geometry()));
    EXPECT_EQ(w.geometry().topLeft(), QPoint(0, 100)); // the nearest place: its row kept
    EXPECT_EQ(rec(0).Left, 0.0f);
    EXPECT_EQ(rec(0).Top, 1500.0f);
}

} // namespace
