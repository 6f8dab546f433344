// Which slice lies under the mouse: the angles, radii and offsets of the last drawing, with the
// click taken back from the screen to the pie's own plane.

#include "pie/PieSeries.h"

#include "canvas/ChartCanvas3D.h"

namespace tarvo
{

int TPieSeries::PointAt(int x, int y) const
{
    const int inherited = TCircledSeries::PointAt(x, y);
    return inherited != -1 ? inherited : SliceAt(x, y);
}

int TPieSeries::SliceAt(int x, int y) const
{
    if (TChartSeriesHost* chart = ParentChart())
        chart->Canvas().UnprojectPoint(x, y, 0);
    const std::vector<QPoint> offsets = ExplodedOffsets();
    return SliceAtPoint(m_circle, RotationRadians(), m_angles, offsets, x, y);
}

} // namespace tarvo
