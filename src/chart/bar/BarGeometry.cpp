// Bar geometry as plain arithmetic on pixels; the series feeds it from its axes and the chart.

#include "bar/BarGeometry.h"

#include "core/ChartRounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tarvo
{

int ComputeBarWidth(const TBarWidthInput& input)
{
    if (input.CustomBarWidth != 0)
        return input.CustomBarWidth;
    const int count = input.MaxPointsPerPage > 0 ? input.MaxPointsPerPage : input.PointCount;
    if (count <= 0)
        return 0;
    int slot = 0;
    if (input.AutoBarSize) {
        // One slot per unit of the axis range, plus one at each end.
        const double units = input.AxisMaximum + 2 - input.AxisMinimum;
        slot = units > 0 ? Round(input.AxisSize / units) : 0;
    } else {
        slot = input.SideMargins ? input.AxisSize / (count + 1) : input.AxisSize / count;
    }
    const int groups = std::max(1, input.Groups);
    int width = Round(input.BarWidthPercent * 0.01 * slot) / groups;
    // An even width puts the bar's centre on the value's pixel.
    if (width > 0 && width % 2 != 0)
        ++width;
    return width;
}

int BarLeftEdge(int xPixel, TMultiBar mode, int barOrder, int barCount, int barWidth, int offsetPercent)
{
    int x = xPixel;
    if (mode == mbSide)
        x += Round((barOrder - barCount * 0.5 - 1) * barWidth);
    else
        x -= barWidth / 2;
    if (offsetPercent != 0)
        x += Round(offsetPercent * barWidth * 0.01);
    return x;
}

double PercentOfTotal(double value, double total) { return total == 0 ? 0.0 : value * 100.0 / total; }

namespace
{
    // Inside the triangle with its base on baseY (from left to right) and its apex at apexY
    // over the centre; the slanted edges count as inside.
    bool InTriangle(const TBarBox& box, int baseY, int apexY, int x, int y)
    {
        const int low = std::min(baseY, apexY);
        const int high = std::max(baseY, apexY);
        if (y < low || y > high || x < box.Left || x > box.Right)
            return false;
        const int height = high - low;
        if (height == 0)
            return true;
        // Half width of the triangle at y, growing linearly from the apex to the base.
        const double fromApex = std::abs(y - apexY);
        const double halfWidth = (box.Right - box.Left) * 0.5 * fromApex / height;
        const double centre = (box.Left + box.Right) * 0.5;
        return std::abs(x - centre) <= halfWidth + 1e-9;
    }
} // namespace

bool BarContains(TBarStyle style, const TBarBox& box, int x, int y)
{
    switch (style) {
    case bsPyramid:
        return InTriangle(box, box.Lower, box.Upper, x, y);
    case bsInvPyramid:
        return InTriangle(box, box.Upper, box.Lower, x, y);
    case bsEllipse: {
        if (x < box.Left || x > box.Right || y < box.Upper || y > box.Lower)
            return false;
        const double rx = (box.Right - box.Left) * 0.5;
        const double ry = (box.Lower - box.Upper) * 0.5;
        if (rx <= 0 || ry <= 0)
            return true; // a degenerate ellipse is its box's line
        const double dx = (x - (box.Left + rx)) / rx;
        const double dy = (y - (box.Upper + ry)) / ry;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    }
    case bsRectangle:
    case bsCilinder:
    case bsArrow:
    case bsRectGradient:
    case bsCone:
        break;
    }
    return x >= box.Left && x <= box.Right && y >= box.Upper && y <= box.Lower;
}

void PlaceMarkOverBar(TSeriesMarkPosition& position, int barWidth, int arrowLength, int originY)
{
    const int half = barWidth / 2;
    int length = arrowLength;
    if (originY < position.ArrowStart.y())
        length = -length - position.BoxHeight; // a downward bar: the mark hangs below it
    position.BoxCorner.rx() += half;
    position.ArrowEnd.rx() += half;
    position.ArrowStart.rx() += half;
    position.BoxCorner.ry() -= length;
    position.ArrowEnd.ry() -= length;
}

TBarMarkMargins MarkMargins(
    int markSpace, bool useOrigin, double origin, double lowest, double highest, bool invertedAxis)
{
    TBarMarkMargins margins;
    if (markSpace <= 0)
        return margins;
    int below = 0;
    int above = 0;
    if (useOrigin && lowest < origin)
        below = markSpace + 1;
    if (!(useOrigin && highest <= origin))
        above = markSpace + 1;
    if (invertedAxis)
        std::swap(below, above);
    margins.Top = above;
    margins.Bottom = below;
    return margins;
}

} // namespace tarvo
