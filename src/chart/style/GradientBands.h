#pragma once

// Colour bands of a gradient fill, computed apart from painting.

#include "core/ChartColor.h"
#include "core/Rect.h"

#include <vector>

namespace tarvo
{

enum class TGradientDirection {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft
};
using enum TGradientDirection;

// At most this many bands, whatever the size of the rectangle.
inline constexpr int kMaxGradientBands = 256;

struct TGradientBand {
    TRect Rect;
    TColor Color = clBlack;
    bool operator==(const TGradientBand&) const = default;
};

// The bands of a linear gradient: for the vertical directions rows, band 0 (color1) at the bottom
// and color2 at the top; for the horizontal ones columns, band 0 at the right. Band i has
// color1 + (color2 − color1) · i / (n − 1) in each channel. Neighbouring bands of equal colour are
// merged, so a caller fills one rectangle per colour change. Empty for an empty rectangle and for
// the directions that are not linear.
[[nodiscard]] std::vector<TGradientBand> LinearGradientBands(
    const TRect& rect, TColor color1, TColor color2, TGradientDirection direction);

// Colour at step i of n (0 … n − 1) between two plain colours.
[[nodiscard]] TColor GradientStepColor(TColor color1, TColor color2, int step, int steps);

} // namespace tarvo
