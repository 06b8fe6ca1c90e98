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
    using State = ToolbarWindow::HoverState;
    EXPECT_EQ(std::pair(w.widthTwips(), w.watching()), std::pair(435.1f, false));
    hover(1);
    EXPECT_EQ(std::tuple(w.widthTwips(), w.hoverState(), w.watching()), std::tuple(1715.0f, State::Watched, true));

    // The window covers 100..200 px both ways; its edges count as inside.
    for (auto [at, inside] : {std::pair(QPoint(100, 100), true), {{200, 200}, true}, {{150, 100}, true}, {{100, 200}, true},
                              {{99, 150}, false}, {{201, 150}, false}, {{150, 99}, false}, {{150, 201}, false}}) {
        SCOPED_TRACE(std::to_string(at.x()) + "," + std::to_string(at.y()));
        hover(1);
        w.moveTwips(1500, 1500, 1500, 1500);
        pointer.cursor = at;
        clock.advance(ToolbarWindow::WatchInterval);
        EXPECT_EQ(std::pair(w.watching(), w.folding()), std::pair(inside, !inside));
        clock.settle();
        EXPECT_EQ(w.widthTwips(), inside ? 1500.0f : 435.1f);
        pointer.cursor = {};
        clock.settle();
        EXPECT_EQ(std::pair(w.watching(), w.hoverState()), std::pair(false, State::Folded));
    }
}

TEST_F(ToolbarTest, ANewLayoutInTheMiddleOfAFoldReplacesIt)
{
    ToolbarWindow& w = built(1, ThreeAndASep);
    w.fold(FoldDirection::Fold);
    clock.advance(std::chrono::milliseconds(15));
    toolbars.applyMode(1, Vertical);
    clock.settle();
    EXPECT_EQ(std::pair(w.widthTwips(), w.heightTwips()), std::pair(435.0f, 1670.0f));
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
    EXPECT_EQ(host.drops, (std::vector<FakeToolbarHost::Drop>{{1, 1, {"/tmp/x"}}}));
    // The mouse is still over the bar, yet the drag it opened for is over.
    clock.advance(ToolbarWindow::WatchInterval);
    clock.settle();
    EXPECT_EQ(std::pair(w.widthTwips(), w.hoverState()), std::pair(435.1f, ToolbarWindow::HoverState::Folded));

    // A drag over the buttons opens it as well.
    emit w.strip().dragEntered();
    EXPECT_EQ(w.widthTwips(), 1715.0f);

    // A bar that does not hide stays as it is.
    ToolbarWindow& plain = built(2, ThreeAndASep);
    emit plain.handle().dragEntered();
    EXPECT_EQ(std::pair(plain.widthTwips(), plain.watching()), std::pair(1715.0f, false));
}
