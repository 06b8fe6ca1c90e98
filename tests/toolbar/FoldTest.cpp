// Auto-hide: folding down to the handle step by step on the clock, unfolding on a hover,
// and the watch that folds again once the cursor has left the window.
#include "ToolbarFixture.h"

#include "toolbar/FoldGeometry.h"

#include <QMimeData>
#include <QUrl>

using std::chrono::milliseconds;

namespace {

// Every width (or height) the window is given, in order.
struct Trace {
    Trace(ToolbarWindow& w, bool heights)
        : connection(QObject::connect(&w, &ToolbarWindow::geometryTwipsChanged, &w, [this, &w, heights] {
            sizes.push_back(heights ? w.heightTwips() : w.widthTwips());
        }))
    {
    }
    ~Trace() { QObject::disconnect(connection); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    std::vector<float> sizes;
    QMetaObject::Connection connection;
};

} // namespace

TEST_F(ToolbarTest, AWindowFoldsToItsHandleAndUnfoldsToItsButtons)
{
    ToolbarWindow& w = built(1, ThreeAndASep);
    Trace trace(w, false);
    w.fold(FoldDirection::Fold);
    clock.settle();
    EXPECT_GT(trace.sizes.size(), 10u); // in steps
    EXPECT_EQ(w.widthTwips(), 435.1f);
    EXPECT_EQ(w.heightTwips(), 420.0f);
    w.fold(FoldDirection::Unfold);
    EXPECT_EQ(w.widthTwips(), 1715.0f);
    EXPECT_EQ(w.heightTwips(), 420.0f);

    // Standing, each step takes some width off too, not only height.
    ToolbarWindow& v = built(2, ThreeAndASep, {Vertical});
    v.fold(FoldDirection::Fold);
    EXPECT_LT(v.widthTwips(), 435.0f);
    EXPECT_EQ(v.heightTwips(), 1670.0f - 90);
}

TEST_F(ToolbarTest, HoverUnfoldsAndTheWatchFoldsOnlyOnceTheCursorIsOutside)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    EXPECT_EQ(w.widthTwips(), 435.1f);
    EXPECT_FALSE(w.watching());
    hover(1);
    EXPECT_EQ(w.widthTwips(), 1715.0f);
    EXPECT_EQ(w.hoverState(), ToolbarWindow::HoverState::Watched);
    EXPECT_TRUE(w.watching());
    // A hover while watched changes nothing.
    w.moveTwips(w.leftTwips(), w.topTwips(), 1000, 420);
    hover(1);
    EXPECT_EQ(w.widthTwips(), 1000.0f);

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

TEST_F(ToolbarTest, ABarTheMouseHoldsOpenStaysOpenWhenRebuiltUnderItAndFoldsOnceItLeaves)
{
    ToolbarWindow& w = built(1, ThreeAndASep, {AutoHide});
    pointer.cursor = grab(1);
    hover(1);
    w.rebuild(); // a button moved on the open bar
    clock.advance(milliseconds(1000));
    EXPECT_EQ(w.widthTwips(), 1715.0f);
    pointer.cursor = {1000, 700};
    clock.settle();
    EXPECT_EQ(w.widthTwips(), 435.1f);
    // Not held open, a rebuild folds it as ever.
    w.rebuild();
    clock.settle();
    EXPECT_EQ(w.widthTwips(), 435.1f);
    EXPECT_FALSE(w.watching());
}

TEST_F(ToolbarTest, AutoHideOffGivesBackTheSizeFromTheButtonsOrTheBareHandle)
{
    ToolbarWindow& w = built(1, {Btn("A"), Btn("B")}, {AutoHide});
    hover(1);
    ASSERT_TRUE(w.watching());
    toolbars.applyMode(1, AutoHide);
    EXPECT_FALSE(w.watching());
    EXPECT_EQ(w.widthTwips(), 345.0f * 2 + 560);

    // Without buttons: folded once, a hover never unfolds it, switching off gives back 420.
    ToolbarWindow& empty = built(2, {}, {AutoHide});
    EXPECT_EQ(empty.widthTwips(), 435.1f);
    hover(2);
    EXPECT_EQ(empty.widthTwips(), 435.1f);
    EXPECT_FALSE(empty.watching());
    toolbars.applyMode(2, AutoHide);
    EXPECT_EQ(empty.widthTwips(), 420.0f);
    EXPECT_EQ(empty.heightTwips(), 420.0f);
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

    // A drag over the buttons opens it as well; it leaves without a drop.
    emit w.strip().dragEntered();
    ASSERT_EQ(w.widthTwips(), 1715.0f);
    clock.advance(ToolbarWindow::WatchInterval);
    ASSERT_EQ(w.widthTwips(), 1715.0f);
    pointer.cursor = {1000, 700};
    clock.advance(ToolbarWindow::WatchInterval);
    clock.settle();
    EXPECT_EQ(w.widthTwips(), 435.1f);

    // A bar that does not hide stays as it is.
    ToolbarWindow& plain = built(2, ThreeAndASep);
    emit plain.handle().dragEntered();
    EXPECT_EQ(plain.widthTwips(), 1715.0f);
    EXPECT_FALSE(plain.watching());
}
