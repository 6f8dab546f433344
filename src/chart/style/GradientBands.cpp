#include "style/GradientBands.h"

#include "core/ChartRounding.h"

#include <algorithm>

namespace tarvo
{

TColor GradientStepColor(TColor color1, TColor color2, int step, int steps)
{
    if (steps <= 1)
        return ColorToRGB(color1);
    const TColor from = ColorToRGB(color1);
    const TColor to = ColorToRGB(color2);
    auto channel = [step, steps](int a, int b) { return a + MulDiv(b - a, step, steps - 1); };
    return RGBColor(
        channel(RedOf(from), RedOf(to)), channel(GreenOf(from), GreenOf(to)), channel(BlueOf(from), BlueOf(to)));
}

std::vector<TGradientBand> LinearGradientBands(
    const TRect& rect, TColor color1, TColor color2, TGradientDirection direction)
{
    std::vector<TGradientBand> bands;
    const bool vertical = direction == gdTopBottom || direction == gdBottomTop;
    const bool horizontal = direction == gdLeftRight || direction == gdRightLeft;
    if (rect.IsEmpty() || !(vertical || horizontal))
        return bands;
    const int length = vertical ? rect.Height() : rect.Width();
    const int n = std::min(length, kMaxGradientBands);
    const int far = vertical ? rect.Bottom : rect.Right;
    for (int i = 0; i < n; ++i) {
        const TColor color = GradientStepColor(color1, color2, i, n);
        // Band i ends where band i − 1 began, so the bands tile the rectangle exactly.
        const int outer = far - static_cast<int>(static_cast<long long>(i) * length / n);
        const int inner = far - static_cast<int>(static_cast<long long>(i + 1) * length / n);
        if (!bands.empty() && bands.back().Color == color) {
            (vertical ? bands.back().Rect.Top : bands.back().Rect.Left) = inner;
            continue;
        }
        bands.push_back(
            { vertical ? TRect { rect.Left, inner, rect.Right, outer } : TRect { inner, rect.Top, outer, rect.Bottom },
                color });
    }
    return bands;
}

} // namespace tarvo
