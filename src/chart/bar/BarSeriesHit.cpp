// Which bar lies under the mouse: the bar drawn at that pixel. Flat, and for shapes other than
// boxes, the click is taken back from the screen to the front of the series' slice of depth; a
// 3D box also shows its side and top, and where boxes overlap on screen the one drawn last is
// the one seen.

#include "bar/BarSeries.h"

#include "canvas/ChartCanvas3D.h"
#include "canvas/ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace tarvo
{

int TCustomBarSeries::PointAt(int x, int y) const
{
    const int inherited = TChartSeries::PointAt(x, y);
    if (inherited != -1)
        return inherited;
    if (FirstVisible() < 0)
        return -1;
    const int last = std::min(LastVisible(), PointCount() - 1);
    TChartSeriesHost* chart = ParentChart();
    const TBarStyle style = BarStyle();
    if (chart != nullptr && chart->View3D() && (style == bsRectangle || style == bsRectGradient))
        return BoxSeenAt(*chart, x, y, last);
    if (chart != nullptr)
        chart->Canvas().UnprojectPoint(x, y, StartZ());
    const auto [first, end] = BarsAcross(x, x, FirstVisible(), last);
    for (int i = first; i < end; ++i)
        if (InBar(i, x, y))
            return i;
    return -1;
}

int TCustomBarSeries::BoxSeenAt(TChartSeriesHost& chart, int x, int y, int last) const
{
    const TProjection& projection = chart.Canvas().Projection();
    const QPointF pixel(x + 0.5, y + 0.5);
    // The pixel's line of sight crosses the bars' slice of depth between these two x.
    const QPointF front = projection.UnprojectExact(pixel, StartZ());
    const QPointF back = projection.UnprojectExact(pixel, EndZ());
    const auto low = static_cast<int>(std::floor(std::min(front.x(), back.x()))) - 1;
    const auto high = static_cast<int>(std::ceil(std::max(front.x(), back.x()))) + 1;
    const auto [first, end] = BarsAcross(low, high, FirstVisible(), last);
    // Where boxes overlap on screen the one drawn last is seen, so they are asked in the reverse
    // of their drawing order and the first that shows the pixel answers.
    const bool forward = DrawForward();
    for (int k = 0; k < end - first; ++k) {
        const int i = forward ? end - 1 - k : first + k;
        const std::optional<TRect> box = BarBox(i);
        if (!box)
            continue;
        const TBoxFaces faces = BoxFaces(projection, box->Left, box->Right, box->Top, box->Bottom, StartZ(), EndZ());
        if (InsidePolygonF(pixel, faces.Front) || InsidePolygonF(pixel, faces.Side)
            || (faces.Top && InsidePolygonF(pixel, *faces.Top)))
            return i;
    }
    return -1;
}

bool TCustomBarSeries::InBar(int, int, int) const { return false; }

std::optional<TRect> TCustomBarSeries::BarBox(int) const { return std::nullopt; }

std::pair<int, int> TCustomBarSeries::BarsAcross(int, int, int first, int last) const { return { first, last + 1 }; }

std::pair<int, int> TBarSeries::BarsAcross(int xLow, int xHigh, int first, int last) const
{
    if (first > last || !XValues().Ascending())
        return { first, last + 1 };
    // Ascending X values on an axis that maps them in order put the bars' left edges in order
    // too (falling on an inverted axis), so the bars across the range are one run of indices:
    // the lowest index of the run is still the first bar a scan in index order would find.
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
    const int begin = boundary([&](int left) { return rising ? left + m_barWidth < xLow : left > xHigh; });
    const int end = boundary([&](int left) { return rising ? left <= xHigh : left + m_barWidth >= xLow; });
    return { begin, std::max(begin, end) };
}

std::optional<TRect> TBarSeries::BarBox(int index) const
{
    if (PointColor(index) == clNone)
        return std::nullopt;
    const int left = PointX(index);
    const int valueY = PointY(index);
    const int originY = OriginPosition(index);
    return TRect { left, std::min(valueY, originY), left + m_barWidth, std::max(valueY, originY) };
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
