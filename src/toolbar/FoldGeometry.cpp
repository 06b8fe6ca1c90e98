#include "toolbar/FoldGeometry.h"

#include <algorithm>
#include <cmath>

namespace geometry {

double sanePerPixel(double twipsPerPixel)
{
    return twipsPerPixel > 0.0 && std::isfinite(twipsPerPixel) ? twipsPerPixel : 15.0;
}

float stripLength(float button, int buttons, int separators)
{
    return button * float(buttons) + GapTwips * float(separators) + FixedTwips;
}

Size windowSize(bool vertical, float buttonWidth, float buttonHeight, float rowHeight, int count,
                int separators)
{
    const int buttons = count - separators;
    if (!vertical) {
        const float length = count == 0 ? buttonWidth : stripLength(buttonWidth, buttons, separators);
        return {length + FrameTwips, rowHeight + FrameTwips};
    }
    const float height =
        count == 0 ? EmptyTwips : stripLength(buttonHeight, buttons, separators) + FrameTwips;
    return {buttonWidth + FrameTwips, height};
}

double verticalFoldStep(Size from)
{
    return (double(from.width) - StepRatioOffset) * FoldStepTwips / (double(from.height) - StepRatioOffset);
}

FoldStep nextFoldStep(Size current, bool vertical, double verticalStep, int taken)
{
    const float length = vertical ? current.height : current.width;
    const float shorter = length - FoldStepTwips;
    // NaN compares false as well, and ends the fold.
    if (!(length >= FoldEndTwips) || shorter == length || taken + 1 >= MaxFoldSteps)
        return {foldedSize(current, vertical), true};
    if (vertical)
        return {{float(double(current.width) - verticalStep), shorter}, false};
    return {{shorter, current.height}, false};
}

Size foldedSize(Size current, bool vertical)
{
    // The steps overshoot below 435 and then take the folded size, which depends on nothing
    // but the orientation.
    return vertical ? Size{FoldedTwips, FoldedTwips} : Size{FoldedTwips, current.height};
}

Size unfoldedSize(Size current, bool vertical, float fullLength, float buttonWidth)
{
    // The unfold grows in steps of 90 without letting anything run in between, and then
    // takes the full length: nobody ever sees the steps, so the end is all there is.
    if (vertical)
        return {buttonWidth + FrameTwips, fullLength};
    return {fullLength, current.height};
}

float unfoldLength(float button, int count, int separators)
{
    return float(double(button) * (count - separators) + FrameTwips + FixedTwips + double(GapTwips) * separators);
}

std::chrono::milliseconds foldPause(std::chrono::milliseconds perStep, std::chrono::milliseconds total,
                                    float length)
{
    const double steps = std::clamp(std::ceil((double(length) - FoldEndTwips) / FoldStepTwips), 1.0, 1e9);
    const auto share = std::chrono::milliseconds(static_cast<long long>(double(total.count()) / steps));
    return std::max(std::chrono::milliseconds(0), std::min(perStep, share));
}

} // namespace geometry
