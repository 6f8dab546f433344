#include "style/SeriesPalette.h"

#include <algorithm>
#include <array>

namespace tarvo
{

namespace
{
    constexpr std::array<TColor, kSeriesPaletteSize> kPalette = {
        clRed,
        clGreen,
        clYellow,
        clBlue,
        clWhite,
        clGray,
        clFuchsia,
        clTeal,
        clNavy,
        clMaroon,
        clLime,
        clOlive,
        clPurple,
        clSilver,
        clAqua,
        clBlack,
    };
} // namespace

TColor SeriesPaletteColor(int index)
{
    const int slot = ((index % kSeriesPaletteSize) + kSeriesPaletteSize) % kSeriesPaletteSize;
    return kPalette[static_cast<std::size_t>(slot)];
}

TColor FreeSeriesColor(std::span<const TColor> takenColors, TColor panelColor, TColor backWallColor)
{
    for (const TColor candidate : kPalette) {
        const bool taken = std::find(takenColors.begin(), takenColors.end(), candidate) != takenColors.end();
        if (!taken && candidate != panelColor && candidate != backWallColor)
            return candidate;
    }
    return kPalette[0];
}

} // namespace tarvo
