// Folding and the hover watch, on a bar that is only a size: the steps the clock paces,
// the folds a hidden bar takes at once, hovers, drops, the keyboard's hold and the mode.
#include "support/FakeClock.h"

#include "toolbar/FoldWatch.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using std::chrono::milliseconds;
using HoverState = FoldWatch::HoverState;

namespace {

constexpr float Full = 1715.0f; // three buttons and a separator, lying
constexpr float Folded = geometry::FoldedTwips;

// A bar of a given size that unfolds to Full long; every size it is given is kept.
struct Bar final : FoldedBar {
    bool autoHide{true}, buttons{true}, vertical{false}, shown{true}, cursor{false};
    int builds{0};
    geometry::Size size{Full, 420.0f};
    std::vector<geometry::Size> sizes;

    void ensureBuilt() override { ++builds; }
    bool autoHides() const override { return autoHide; }
    bool unfoldable() const override { return buttons; }
    bool standing() const override { return vertical; }
    bool seen() const override { return shown; }
    geometry::Size sizeTwips() const override { return size; }
    void resizeTwips(geometry::Size s) override
    {
        size = s;
        sizes.push_back(s);
    }
    geometry::Size unfoldTo(geometry::Size now) const override
    {
        return geometry::unfoldedSize(now, vertical, Full, 435.0f);
    }
    bool cursorOver() const override { return cursor; }
};

struct FoldWatchTest : testing::Test {
    FakeClock clock;
    Bar bar;
    milliseconds stepPause{15};
    milliseconds budget{240};
    FoldWatch folds{clock, bar, stepPause, budget};

    void foldAway()
    {
        folds.fold(FoldDirection::Fold);
        clock.settle();
    }
    // The bar's width, whether the watch runs, and whether a fold is under way.
    std::tuple<float, bool, bool> state() const { return {bar.size.width, folds.watching(), folds.folding()}; }
};

} // namespace

TEST_F(FoldWatchTest, AFoldTakesItsFirstStepAtOnceThenOnePerPauseAndAnUnfoldAtOnce)
{
    folds.fold(FoldDirection::Fold);
    EXPECT_EQ(std::pair(bar.sizes.size(), state()), std::pair(1ul, std::tuple(Full - 90, false, true)));
    clock.advance(milliseconds(15));
    EXPECT_EQ(bar.sizes.size(), 2u);
    clock.settle();
    EXPECT_EQ(std::pair(bar.size, folds.folding()), std::pair(geometry::Size{Folded, 420.0f}, false));
    folds.fold(FoldDirection::Unfold);
    EXPECT_EQ(bar.size.width, Full);

    // The pause is read at each fold: a long bar takes shorter ones to fold within the budget.
    bar.size.width = 40 * 345.0f + 560;
    folds.fold(FoldDirection::Fold);
    clock.advance(budget);
    EXPECT_FALSE(folds.folding());
}

TEST_F(FoldWatchTest, ABarNobodySeesFoldsAtOnceToExactlyWhereTheStepsEnd)
{
    for (const bool standing : {false, true}) {
        for (const geometry::Size from : {geometry::Size{Full, 420.0f}, geometry::Size{611.9f, 2001.45f}}) {
            SCOPED_TRACE(std::to_string(standing) + " " + std::to_string(from.width));
            std::tie(bar.vertical, bar.shown, bar.size) = std::tuple(standing, true, from);
            foldAway();
            const geometry::Size stepped = bar.size;
            std::tie(bar.shown, bar.size) = std::pair(false, from);
            bar.sizes.clear();
            folds.fold(FoldDirection::Fold);
            EXPECT_EQ(std::tuple(folds.folding(), bar.sizes), std::tuple(false, std::vector{stepped}));
        }
    }
}

TEST_F(FoldWatchTest, AHoverUnfoldsAndTheWatchFoldsOnceTheCursorHasLeftOrADropHasLanded)
{
    foldAway();
    bar.cursor = true;
    folds.hovered();
    EXPECT_EQ(std::pair(state(), folds.hoverState()), std::pair(std::tuple(Full, true, false), HoverState::Watched));
    bar.size.width = 1000; // a hover while watched changes nothing
    folds.hovered();
    clock.advance(milliseconds(1000));
    EXPECT_EQ(bar.size.width, 1000.0f);
    bar.cursor = false;
    clock.advance(FoldWatch::WatchInterval); // within a quarter second
    EXPECT_EQ(state(), std::tuple(bar.size.width, false, true));
    clock.settle();
    EXPECT_EQ(std::pair(bar.size.width, folds.hoverState()), std::pair(Folded, HoverState::Folded));

    // Neither a bar that does not hide nor one without buttons opens.
    bar.autoHide = false;
    folds.hovered();
    std::tie(bar.autoHide, bar.buttons) = std::pair(true, false);
    folds.hovered();
    EXPECT_EQ(state(), std::tuple(Folded, false, false));

    // A drop folds it at the watch's next look, though the mouse is still over it.
    std::tie(bar.buttons, bar.cursor) = std::pair(true, true);
    folds.hovered();
    clock.advance(FoldWatch::WatchInterval);
    ASSERT_EQ(bar.size.width, Full);
    folds.dropped();
    clock.advance(FoldWatch::WatchInterval);
    clock.settle();
    EXPECT_EQ(std::pair(bar.size.width, folds.hoverState()), std::pair(Folded, HoverState::Folded));
    // A drop on a bar nobody opened leaves the next watch alone.
    folds.dropped();
    folds.hovered();
    clock.advance(FoldWatch::WatchInterval * 3);
    EXPECT_EQ(bar.size.width, Full);
}

TEST_F(FoldWatchTest, AHoverDuringAFoldDoesNotTurnItBackAndALayoutRespectsAHeldBar)
{
    folds.fold(FoldDirection::Fold);
    for (int i = 0; i < 5; ++i) {
        folds.hovered();
        clock.advance(milliseconds(15));
    }
    EXPECT_TRUE(folds.folding());
    clock.settle();
    EXPECT_EQ(state(), std::tuple(Folded, false, false));

    // Laid out anew under the mouse, the bar stays open; not held, it folds.
    bar.cursor = true;
    folds.hovered();
    folds.laidOut();
    clock.advance(milliseconds(1000));
    EXPECT_EQ(bar.size.width, Full);
    bar.cursor = false;
    clock.settle();
    folds.fold(FoldDirection::Unfold);
    folds.laidOut();
    clock.settle();
    EXPECT_EQ(bar.size.width, Folded);
}

TEST_F(FoldWatchTest, AutoHideOffEndsTheWatchAndUnfoldsAndOnAgainFolds)
{
    foldAway();
    folds.hovered();
    folds.autoHideSwitched(false);
    EXPECT_EQ(std::pair(state(), folds.hoverState()), std::pair(std::tuple(Full, false, false), HoverState::Folded));
    folds.autoHideSwitched(true);
    clock.settle();
    EXPECT_EQ(bar.size.width, Folded);
    folds.hovered();
    // Off in the middle of a fold: the unfold takes over.
    clock.advance(FoldWatch::WatchInterval);
    ASSERT_TRUE(folds.folding());
    folds.autoHideSwitched(false);
    clock.settle();
    EXPECT_EQ(bar.size.width, Full);
}

TEST_F(FoldWatchTest, AHeldBarStaysOpenAndFoldsWhenLetGo)
{
    foldAway();
    folds.holdOpen();
    clock.advance(milliseconds(1000));
    EXPECT_EQ(state(), std::tuple(Full, false, false));
    folds.letGo(FoldWatch::FoldAfter::Now);
    clock.settle();
    EXPECT_EQ(bar.size.width, Folded);

    // Let go while the mouse is over it: it folds once the mouse has left.
    folds.holdOpen();
    bar.cursor = true;
    folds.letGo(FoldWatch::FoldAfter::MouseLeft);
    clock.advance(milliseconds(1000));
    EXPECT_EQ(bar.size.width, Full);
    bar.cursor = false;
    clock.settle();
    EXPECT_EQ(bar.size.width, Folded);
}

TEST_F(FoldWatchTest, StoppedNothingFoldsOrTicks)
{
    folds.hovered();
    folds.fold(FoldDirection::Fold);
    folds.stop();
    EXPECT_EQ(state(), std::tuple(bar.size.width, false, false));
    const std::size_t made = bar.sizes.size();
    folds.hovered();
    folds.holdOpen();
    folds.fold(FoldDirection::Unfold);
    clock.settle();
    EXPECT_EQ(bar.sizes.size(), made);
}
