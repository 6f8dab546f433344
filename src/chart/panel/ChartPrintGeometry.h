#pragma once

// Where a chart goes on a printed page, apart from any printer: percentages of the page kept
// free on each side, and the page rectangle they leave. Page sizes are in printer pixels.

#include "core/Rect.h"

namespace tarvo
{

struct TPrintMarginPercents {
    int Left = 15;
    int Top = 15;
    int Right = 15;
    int Bottom = 15;
    bool operator==(const TPrintMarginPercents&) const = default;
};

// Margins that keep the chart's shape on the page: the long side of the chart gets 15 % on
// both ends and the other side whatever keeps the proportions of a chart of clientWidth ×
// clientHeight screen pixels drawn at 60 % of the page. pixelAspect is the printer's horizontal
// over vertical resolution. A chart without area keeps current.
[[nodiscard]] TPrintMarginPercents ProportionalPrintMargins(const TPrintMarginPercents& current, int clientWidth,
    int clientHeight, int pageWidth, int pageHeight, double pixelAspect);

// The rectangle of a page of pageWidth × pageHeight that the margins leave.
[[nodiscard]] TRect PrintPageRect(const TPrintMarginPercents& margins, int pageWidth, int pageHeight);

} // namespace tarvo
