#pragma once

// The default colours of series and of points that have none of their own.

#include "core/ChartColor.h"

#include <span>

namespace tarvo
{

inline constexpr int kSeriesPaletteSize = 16;

// Palette entry index mod 16 (negative indices count back from the end): red, green, yellow,
// blue, white, gray, fuchsia, teal, navy, maroon, lime, olive, purple, silver, aqua, black.
[[nodiscard]] TColor SeriesPaletteColor(int index);

// The colour a series without one receives when it joins a chart: the first palette colour that
// no series of the chart has and that differs from the chart's panel and back wall colours; when
// all sixteen are taken, the first palette colour.
[[nodiscard]] TColor FreeSeriesColor(std::span<const TColor> takenColors, TColor panelColor, TColor backWallColor);

} // namespace tarvo
