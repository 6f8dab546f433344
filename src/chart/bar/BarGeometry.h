#pragma once

// The bars' geometry apart from painting: the width a bar gets from its axis, where a bar of a
// side-by-side group starts, the stacked-100 scaling, the hit test of each shape and where a
// bar's mark goes. Pixels with y growing downward.

#include "series/ChartSeriesMarkPositions.h"

namespace tarvo
{

// How several bar series of one chart share a slot: not at all (drawn over each other), side
// by side, stacked, stacked to 100 %, or one behind the other in depth.
enum class TMultiBar { mbNone, mbSide, mbStacked, mbStacked100, mbSeries };
using enum TMultiBar;

// The shape of a bar. The spelling of bsCilinder is the property value's own.
enum class TBarStyle { bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow, bsRectGradient, bsCone };
using enum TBarStyle;

// What the width of a bar depends on.
struct TBarWidthInput {
    int CustomBarWidth = 0; // pixels; 0 = computed
    int PointCount = 0; // the most points of any series in the group
    int Groups = 1; // series side by side in one slot
    int MaxPointsPerPage = 0; // the chart's paging; 0 = off
    bool AutoBarSize = false;
    bool SideMargins = true;
    int AxisSize = 0; // pixels along the bars' axis
    double AxisMinimum = 0;
    double AxisMaximum = 0;
    int BarWidthPercent = 70;
};

// Width in pixels of one bar: the slot's share by BarWidthPercent, split among the groups and
// made even so that a bar centres on its value's pixel; 0 without points.
[[nodiscard]] int ComputeBarWidth(const TBarWidthInput& input);

// Left edge of a bar whose value lies at xPixel. Side by side, bar order (1-based) of count
// takes its place in a group centred on the value; otherwise the bar is centred itself.
// offsetPercent shifts the bar by that share of its width.
[[nodiscard]] int BarLeftEdge(int xPixel, TMultiBar mode, int barOrder, int barCount, int barWidth, int offsetPercent);

// value as a percentage of total, 0 for a zero total (an empty stack).
[[nodiscard]] double PercentOfTotal(double value, double total);

// A bar's box: x from Left to Right, y from Upper (the smaller y) to Lower. Edges belong to it.
struct TBarBox {
    int Left = 0;
    int Right = 0;
    int Upper = 0;
    int Lower = 0;
};

// Whether (x, y) lies in a bar of the given shape drawn in box, edges included. Pyramids are
// triangles on their base (bsInvPyramid standing on its tip), ellipses fill the box, every
// other shape is the box itself.
[[nodiscard]] bool BarContains(TBarStyle style, const TBarBox& box, int x, int y);

// Moves a mark that the base placement centred above the bar's left edge over the bar's
// centre, arrowLength pixels beyond its value end: above for an upward bar, below for a
// downward one (whose origin lies above the value end on screen).
void PlaceMarkOverBar(TSeriesMarkPosition& position, int barWidth, int arrowLength, int originY);

// Extra room across the bars for the marks: s is the mark's height plus its arrow. The margin
// at the origin's side grows when values lie beyond the origin there. With invertedAxis the
// vertical axis grows downward and the two sides trade places.
struct TBarMarkMargins {
    int Top = 0;
    int Bottom = 0;
};
[[nodiscard]] TBarMarkMargins MarkMargins(
    int markSpace, bool useOrigin, double origin, double lowest, double highest, bool invertedAxis);

} // namespace tarvo
