// Auto-hide on a real window: a hover unfolds it, the watch folds it again once the cursor
// has left the window, a drag opens it. (The steps and sizes of a fold are the geometry's
// and the fold watch's own tests.)
#include "ToolbarFixture.h"

TEST_F(ToolbarTest, HoverUnfoldsAndTheWatchFoldsOnlyOnceTheCursorIsOutside)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    hover(1);
    EXPECT_EQ(std::tuple(w.widthTwips(), w.hoverState(), w.watching()),
              std::tuple(1715.0f, ToolbarWindow::HoverState::Watched, true));

    // The window covers 100..200 px both ways; its edges count as inside.
    for (auto [at, inside] : {std::pair(QPoint(100, 100), true), {{200, 200}, true}, {{150, 100}, true}, {{100, 200}, true},
                              {{99, 150}, false}, {{201, 150}, false}, {{150, 99}, false}, {{150, 201}, false}}) {
        hover(1);
        w.moveTwips(1500, 1500, 1500, 1500);
        pointer.cursor = at;
        clock.advance(ToolbarWindow::WatchInterval);
        EXPECT_EQ(std::pair(w.watching(), w.folding()), std::pair(inside, !inside)) << at.x() << "," << at.y();
        pointer.cursor = {};
        clock.settle();
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

TEST_F(ToolbarTest, AFileDragOverTheHandleOrTheButtonsOpensAFoldedBarAndADropFoldsItAgain)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x")});
    pointer.cursor = grab(1) + QPoint(20, 0); // over the bar, where the drop will be
    emit w.handle().dragEntered();
    ASSERT_EQ(w.widthTwips(), 1715.0f);
    emit w.strip().dropped(&files, QPointF(600, 100));
    // The mouse is still over the bar, yet the drag it opened for is over.
    clock.advance(ToolbarWindow::WatchInterval);
    clock.settle();
    EXPECT_EQ(std::pair(w.widthTwips(), w.hoverState()), std::pair(435.1f, ToolbarWindow::HoverState::Folded));
    emit w.strip().dragEntered();
    EXPECT_EQ(w.widthTwips(), 1715.0f);
}
