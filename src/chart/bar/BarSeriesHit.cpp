// Which bar lies under the mouse: the width and axes of the last layout, with the click taken
// back from the screen to the front of the series' slice of depth.

#include "bar/BarSeries.h"

#include "canvas/ChartCanvas3D.h"

#include <algorithm>

namespace tarvo
{

int TCustomBarSeries::PointAt(int x, int y) const
{
    const int inherited = TChartSeries::PointAt(x, y);
    if (inherited != -1)
        return inherited;
    if (FirstVisible() < 0)
        return -1;
    if (TChartSeriesHost* chart = ParentChart())
        chart->Canvas().UnprojectPoint(x, y, StartZ());
    const int last = std::min(LastVisible(), PointCount() - 1);
    const auto [first, end] = BarsAcross(x, FirstVisible(), last);
    for (int i = first; i < end; ++i)
        if (InBar(i, x, y))
            return i;
    return -1;
}

bool TCustomBarSeries::InBar(int, int, int) const { return false; }

std::pair<int, int> TCustomBarSeries::BarsAcross(int, int first, int last) const { return { first, last + 1 }; }

std::pair<int, int> TBarSeries::BarsAcross(int x, int first, int last) const
{
    if (first > last || !XValues().Ascending())
        return { first, last + 1 };
    // Ascending X values on an axis that maps them in order put the bars' left edges in order
    // too (falling on an inverted axis), so the bars across x are one run of indices: the lowest
    // index of the run is still the first bar a scan in index order would find.
    const bool rising = PointX(first) <= PointX(last);
    const auto boundary = [&](auto&& before) {
        int low = first;
        int high = last + 1;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (before(PointX(middle)))
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    };
    const int begin = boundary([&](int left) { return rising ? left + m_barWidth < x : left > x; });
    const int end = boundary([&](int left) { return rising ? left <= x : left + m_barWidth >= x; });
    return { begin, std::max(begin, end) };
}

bool TBarSeries::InBar(int index, int x, int y) const
{
    const int left = PointX(index);
    if (x < left || x > left + m_barWidth)
        return false;
    const int valueY = PointY(index);
    const int originY = OriginPosition(index);
    const TBarBox box { left, left + m_barWidth, std::min(valueY, originY), std::max(valueY, originY) };
    return BarContains(BarStyle(), box, x, y);
}

} // namespace tarvo
