#include "panel/ChartPrintGeometry.h"

#include "core/ChartRounding.h"

#include <algorithm>

namespace tarvo
{

TPrintMarginPercents ProportionalPrintMargins(const TPrintMarginPercents& current, int clientWidth, int clientHeight,
    int pageWidth, int pageHeight, double pixelAspect)
{
    if (clientWidth <= 0 || clientHeight <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return current;
    const double w = clientWidth;
    const double h = clientHeight;
    // A chart far narrower than the page shape would ask for negative margins; it gets none.
    TPrintMarginPercents result;
    if (h < w) {
        const int m = Round(100.0 * (pageHeight - 0.6 * pageWidth * (h / w) * pixelAspect) / pageHeight) / 2;
        result = { 15, std::max(0, m), 15, std::max(0, m) };
    } else {
        const int m = Round(100.0 * (pageWidth - 0.6 * pageHeight * (w / h) * pixelAspect) / pageWidth) / 2;
        result = { std::max(0, m), 15, std::max(0, m), 15 };
    }
    return result;
}

TRect PrintPageRect(const TPrintMarginPercents& margins, int pageWidth, int pageHeight)
{
    return { Round(margins.Left * static_cast<double>(pageWidth) / 100.0),
        Round(margins.Top * static_cast<double>(pageHeight) / 100.0),
        pageWidth - Round(margins.Right * static_cast<double>(pageWidth) / 100.0),
        pageHeight - Round(margins.Bottom * static_cast<double>(pageHeight) / 100.0) };
}

} // namespace tarvo
