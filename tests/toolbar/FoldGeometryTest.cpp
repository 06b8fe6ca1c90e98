// The size and fold arithmetic on its own, in twips.
#include "toolbar/FoldGeometry.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace geometry;

namespace {

// Every size a fold passes through, the folded one last.
std::vector<Size> foldSizes(Size from, bool vertical)
{
    const double step = vertical ? verticalFoldStep(from) : 0.0;
    std::vector<Size> sizes;
    for (FoldStep s{from, false}; !s.last && sizes.size() < 100'000;) {
        s = nextFoldStep(s.size, vertical, step, static_cast<int>(sizes.size()));
        sizes.push_back(s.size);
    }
    return sizes;
}

} // namespace

TEST(FoldGeometry, WindowSizeFromButtonsLyingStandingAndBare)
{
    // 345 * 3 + 120 + 470, + 90 of frame; standing 330 * 3 + 120 + 470 + 90 high; no shown
    // button: one button's room; separators only.
    for (auto [vertical, count, separators, expected] :
         {std::tuple(false, 4, 1, Size{1715, 420}), {true, 4, 1, {435, 1670}}, {false, 0, 0, {435, 420}},
          {true, 0, 0, {435, 420}}, {false, 2, 2, {800, 420}}})
        EXPECT_EQ(windowSize(vertical, 345, 330, 330, count, separators), expected) << vertical << " " << count;
    EXPECT_EQ(unfoldLength(345, 4, 1), 1715.0f);
    EXPECT_EQ(unfoldLength(330, 4, 1), 1670.0f);
}

TEST(FoldGeometry, LyingBarFoldsBy90AlongItsLengthAndOvershootsToTheHandle)
{
    const std::vector<Size> sizes = foldSizes({1715, 420}, false);
    std::vector<Size> expected;
    for (float w = 1625; w >= 365; w -= 90)
        expected.push_back({w, 420});
    expected.push_back({435.1f, 420});
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(foldedSize({1715, 420}, false), expected.back());
    // Exactly at the end length it takes one step more; already short, none.
    EXPECT_EQ(foldSizes({435, 420}, false), std::vector<Size>({{345, 420}, {435.1f, 420}}));
    EXPECT_EQ(foldSizes({420, 420}, false), std::vector<Size>({{435.1f, 420}}));
}

TEST(FoldGeometry, StandingBarShrinksBothWaysIntoTheFoldedSquare)
{
    const Size from{435, 1670};
    const double step = verticalFoldStep(from);
    EXPECT_DOUBLE_EQ(step, (435 - 434.9) * 90 / (1670 - 434.9));
    const std::vector<Size> sizes = foldSizes(from, true);
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes.front(), (Size{float(435.0 - step), 1580}));
    EXPECT_EQ(sizes.back(), (Size{435.1f, 435.1f}));
    EXPECT_EQ(foldedSize(from, true), sizes.back());
    // A wide standing bar loses width in proportion: both reach the square together.
    const std::vector<Size> wide = foldSizes({1335, 1335}, true);
    EXPECT_EQ(wide[wide.size() - 2].width, wide[wide.size() - 2].height);
}

TEST(FoldGeometry, AFoldEndsWithinItsStepBoundHoweverLongTheBar)
{
    // An ordinary bar: 90 a step, then folded; one still 90 a step; where every step
    // changes it, bounded all the same; past 2^31, where a step of 90 no longer changes a
    // float, and at infinity or NaN (which compares false), folded at once.
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    for (auto [from, vertical, steps] : {std::tuple(Size{1715, 420}, false, std::size_t(16)),
                                         {{435.0f + 90.0f * (MaxFoldSteps - 3), 420}, false, MaxFoldSteps - 1},
                                         {{1.0e8f, 420}, false, MaxFoldSteps}, {{435, 1.0e8f}, true, MaxFoldSteps},
                                         {{4.0e9f, 420}, false, 1}, {{inf, 420}, false, 1}, {{nan, 420}, false, 1}}) {
        const std::vector<Size> sizes = foldSizes(from, vertical);
        EXPECT_EQ(std::pair(sizes.size(), sizes.back()), std::pair(steps, foldedSize(from, vertical))) << from.width;
    }
}
