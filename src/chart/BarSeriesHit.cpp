// Which bar lies under the mouse: the width and axes of the last layout, with the click taken
// back from the screen to the front of the series' slice of depth.

#include "BarSeries.h"

#include "ChartCanvas3D.h"

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
    for (int i = FirstVisible(); i <= last; ++i)
        if (InBar(i, x, y))
            return i;
    return -1;
}

bool TCustomBarSeries::InBar(int, int, int) const { return false; }

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
