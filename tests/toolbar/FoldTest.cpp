// Auto-hide on a real window: a hover unfolds it, the watch folds it again once the cursor
// has left the window, a drag opens it. (The steps and sizes of a fold are the geometry's
// and the fold watch's own tests.)
#include "ToolbarFixture.h"

#include "toolbar/FoldGeometry.h"

#include <QMimeData>
#include <QUrl>

using std::chrono::milliseconds;


TEST_F(ToolbarTest, HoverUnfoldsAndTheWatchFoldsOnlyOnceTheCursorIsOutside)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    EXPECT_EQ(w.widthTwips(), 435.1f);
    EXPECT_FALSE(w.watching());
    hover(1);
    EXPECT_EQ(w.widthTwips(), 1715.0f);
    EXPECT_EQ(w.hoverState(), ToolbarWindow::HoverState::Watched);
    EXPECT_TRUE(w.watching());

    // The window covers 100..200 px both ways; its edges count as inside.
    const struct {
        QPoint at;
        bool inside;
    } rows[] = {{{100, 100}, true}, {{200, 200}, true}, {{150, 100}, true}, {{100, 200}, true},
                {{99, 150}, false}, {{201, 150}, false}, {{150, 99}, false}, {{150, 201}, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.at.x()) + "," + std::to_string(row.at.y()));
        hover(1);
        w.moveTwips(1500, 1500, 1500, 1500);
        ASSERT_TRUE(w.watching());
        pointer.cursor = row.at;
        clock.advance(ToolbarWindow::WatchInterval);
        EXPECT_EQ(w.watching(), row.inside);
        EXPECT_EQ(w.folding(), !row.inside);
        clock.settle();
        EXPECT_EQ(w.widthTwips(), row.inside ? 1500.0f : 435.1f);
        pointer.cursor = {};
        clock.settle();
        EXPECT_FALSE(w.watching());
        EXPECT_EQ(w.hoverState(), ToolbarWindow::HoverState::Folded);
    }
}

TEST_F(ToolbarTest, ANewLayoutInTheMiddleOfAFoldReplacesIt)
{
    ToolbarWindow& w = built(1, ThreeAndASep);
    w.fold(FoldDirection::Fold);
    clock.advance(std::chrono::milliseconds(15));
    toolbars.applyMode(1, Vertical);
    clock.settle();
    EXPECT_EQ(w.heightTwips(), 1670.0f);
    EXPECT_EQ(w.widthTwips(), 435.0f);
}

TEST_F(ToolbarTest, AFileDragOpensAFoldedBarWhichFoldsAgainAfterTheDropOrOnceTheDragHasGone)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    ASSERT_EQ(w.widthTwips(), 435.1f);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x")});

    // The drag comes over the handle: the buttons come out, and a drop lands on one.
    pointer.cursor = grab(1) + QPoint(20, 0); // over the bar, where the drop will be
    emit w.handle().dragEntered();
    ASSERT_EQ(w.widthTwips(), 1715.0f);
    clock.advance(ToolbarWindow::WatchInterval);
    ASSERT_EQ(w.widthTwips(), 1715.0f);
    emit w.strip().dropped(&files, QPointF(600, 100));
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0].k, 1);
    // The mouse is still over the bar, yet the drag it opened for is over.
    clock.advance(ToolbarWindow::WatchInterval);
    clock.settle();
    EXPECT_EQ(w.widthTwips(), 435.1f);
    EXPECT_EQ(w.hoverState(), ToolbarWindow::HoverState::Folded);

    // A drag over the buttons opens it as well.
    emit w.strip().dragEntered();
    EXPECT_EQ(w.widthTwips(), 1715.0f);

    // A bar that does not hide stays as it is.
    ToolbarWindow& plain = built(2, ThreeAndASep);
    emit plain.handle().dragEntered();
    EXPECT_EQ(plain.widthTwips(), 1715.0f);
    EXPECT_FALSE(plain.watching());
}
