#pragma once

#include <chrono>

// The size and fold arithmetic of a toolbar window, in twips, with no windows in sight.
//
// Sizes are single-precision floats, as the window keeps them: 345 * 3 + 120 + 470 + 90
// is exactly 1715, and a folded window is 435.1 wide. The vertical fold step is a double.
namespace geometry {

inline constexpr float FrameTwips = 90.0f;  // the window's frame, both sides together
inline constexpr float FixedTwips = 470.0f; // the blank under the handle and the gap after it
inline constexpr float GapTwips = 120.0f;   // a separator along the bar
inline constexpr float EmptyTwips = 420.0f; // a window with the handle alone
inline constexpr float FoldStepTwips = 90.0f;
inline constexpr float FoldedTwips = 435.1f;
inline constexpr float FoldEndTwips = 435.0f; // a fold stops once the length is below this
inline constexpr double StepRatioOffset = 434.9;
// A fold takes the folded size after this many steps at the latest, however long the bar:
// the longest bar of 40 captioned buttons folds in about 1,100 steps of 90.
inline constexpr int MaxFoldSteps = 2000;

struct Size {
    float width{0.0f};
    float height{0.0f};
    friend bool operator==(const Size&, const Size&) = default;
};

// The button strip's length: each button, each separator and the two fixed buttons.
float stripLength(float button, int buttons, int separators);

// Twips per pixel as the screen reports them, or 15 (96 dpi) when the report is zero,
// negative or not a number: every size in pixels is divided by it.
double sanePerPixel(double twipsPerPixel);

// The window's size from its buttons. button is BW x BH; count counts the separators too.
// Lying, the strip is one row (rowHeight high); standing, one column BW wide. Without
// buttons a window is 420 long.
Size windowSize(bool vertical, float buttonWidth, float buttonHeight, float rowHeight, int count,
                int separators);

// The width a vertical fold takes off at each step, so that width and height reach the
// folded square together. Computed once at the start of a fold, kept for the unfold.
double verticalFoldStep(Size from);

// One step of a fold from the current size; taken counts the steps already made. last:
// this is the folded size and the fold is over. A length so large that a step of 90 no
// longer changes it, or a fold that has made MaxFoldSteps steps, ends the fold too.
struct FoldStep {
    Size size;
    bool last{false};
};
FoldStep nextFoldStep(Size current, bool vertical, double verticalStep, int taken = 0);

// Where the steps of a fold end, taken at once by a window nobody sees.
Size foldedSize(Size current, bool vertical);

// The size an unfold ends in: the full length from the buttons (fullLength), and standing,
// the width of one button with its frame. A lying bar keeps its height.
Size unfoldedSize(Size current, bool vertical, float fullLength, float buttonWidth);

// The full length an unfold aims for: BW or BH per button, 120 per separator, the fixed
// buttons and the frame.
float unfoldLength(float button, int count, int separators);

// How long to wait between two steps: at most perStep, and all pauses of one fold together
// at most total, however long the bar.
std::chrono::milliseconds foldPause(std::chrono::milliseconds perStep, std::chrono::milliseconds total,
                                    float length);

} // namespace geometry
