// Which slice lies under the mouse: the slice drawn at that pixel. In 3D the pixel's line of sight
// runs through the pie's depth, from the face drawn on top (at EndZ) to the back (at StartZ), and
// the first part of the pie it meets is what the pixel shows: the face or the rim below it, or,
// with slices pulled out, the front-most wedge.

#include "pie/PieSeries.h"

#include "canvas/ChartCanvas3D.h"

#include <cmath>
#include <numeric>

namespace tarvo
{

int TPieSeries::PointAt(int x, int y) const
{
    const int inherited = TCircledSeries::PointAt(x, y);
    return inherited != -1 ? inherited : SliceAt(x, y);
}

int TPieSeries::SliceAt(int x, int y) const
{
    TChartSeriesHost* chart = ParentChart();
    // Offsets are all 0 unless something is pulled out; no list of them is made then.
    const std::vector<QPoint> offsets = m_hasExploded ? ExplodedOffsets() : std::vector<QPoint> {};
    if (chart == nullptr)
        return SliceAtPoint(m_circle, RotationRadians(), m_angles, offsets, x, y);
    const bool view3D = chart->View3D();
    if (!view3D && !m_hasExploded)
        return SliceAtPoint(m_circle, RotationRadians(), m_angles, offsets, x, y);

    const TProjection& projection = chart->Canvas().Projection();
    const QPointF pixel(x + 0.5, y + 0.5);
    const TSightLine sight = view3D
        ? TSightLine { projection.UnprojectExact(pixel, EndZ()), projection.UnprojectExact(pixel, StartZ()) }
        : TSightLine { pixel, pixel };
    int seen = -1;
    if (!m_hasExploded) {
        seen = SliceSeenOnDisc(m_circle, RotationRadians(), m_angles, sight);
    } else {
        // The order DrawValues drew the slices in.
        std::vector<int> order;
        if (view3D) {
            order = BackToFrontOrder(m_angles, RotationRadians());
        } else {
            order.resize(m_angles.size());
            std::iota(order.begin(), order.end(), 0);
        }
        seen = SliceSeenAmongWedges(m_circle, RotationRadians(), m_angles, offsets, order, sight);
    }
    if (seen != -1)
        return seen;
    // Off the drawn pie, the box around the face still answers the slice of its angle.
    return SliceAtPoint(m_circle, RotationRadians(), m_angles, offsets, static_cast<int>(std::floor(sight.Face.x())),
        static_cast<int>(std::floor(sight.Face.y())));
}

} // namespace tarvo
