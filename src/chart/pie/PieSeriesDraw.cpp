// Drawing a pie: slice angles, exploded slices and the smaller circle they leave room for, the
// back-to-front order of a 3D pie, each slice flat or as a 3D wedge, and marks outside the rim.

#include "pie/PieSeries.h"

#include "canvas/ChartCanvas3D.h"

#include <cstdlib>
#include <memory>

namespace tarvo
{

void TPieSeries::CalcAngles()
{
    const int count = PointCount();
    std::vector<double> values(static_cast<std::size_t>(count));
    // std::vector<bool> has no contiguous storage for a span.
    std::unique_ptr<bool[]> folded(new bool[static_cast<std::size_t>(count)]);
    for (int i = 0; i < count; ++i) {
        values[static_cast<std::size_t>(i)] = PieValues().Value(i);
        folded[static_cast<std::size_t>(i)] = IsFolded(i);
    }
    m_angles = CalcSliceAngles(
        values, std::span<const bool>(folded.get(), static_cast<std::size_t>(count)), PieValues().AbsSum());
}

QPoint TPieSeries::ExplodedOffset(int index) const
{
    if (!m_hasExploded || index < 0 || index >= static_cast<int>(m_angles.size()))
        return { 0, 0 };
    return tarvo::ExplodedOffset(
        m_circle, RotationRadians(), m_angles[static_cast<std::size_t>(index)].MidAngle, ExplodePercent(index));
}

QPoint TPieSeries::ExplodedRadius(int index) const { return tarvo::ExplodedRadius(m_circle, ExplodePercent(index)); }

std::vector<QPoint> TPieSeries::ExplodedOffsets() const
{
    std::vector<QPoint> offsets(m_angles.size());
    for (std::size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = ExplodedOffset(static_cast<int>(i));
    return offsets;
}

void TPieSeries::DrawValues()
{
    ApplyExplodeBiggest();
    const int count = PointCount();
    std::vector<int> percents(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        percents[static_cast<std::size_t>(i)] = ExplodePercent(i);
    const int exploded = MostExplodedIndex(percents);

    CalcAngles();
    m_hasExploded = exploded >= 0;
    if (m_hasExploded) {
        // The whole pie gets smaller so that the slice pulled out furthest still fits.
        const QPoint offset = ExplodedOffset(exploded);
        TRect& rect = m_circle.Rect;
        rect.Left += std::abs(offset.x()) / 2;
        rect.Right -= std::abs(offset.x()) / 2;
        rect.Top += std::abs(offset.y()) / 2;
        rect.Bottom -= std::abs(offset.y()) / 2;
        AdjustCircleRect();
        CalcRadius();
    }
    m_lastEnd = AngleToPos(0, XRadius(), YRadius());

    if (ParentChart() && ParentChart()->View3D() && m_hasExploded) {
        for (const int index : BackToFrontOrder(m_angles, RotationRadians()))
            DrawPoint(index);
        return;
    }
    TCircledSeries::DrawValues();
}

void TPieSeries::DrawPoint(int index)
{
    if (CircleWidth() < 5 || CircleHeight() < 5 || IsFolded(index) || !ParentChart())
        return;
    ParentChart()->ApplyBrush(
        PointColor(index), m_pieSettings.usePatterns ? SlicePattern(index) : bsSolid, ResolvedCircleBackColor());
    DrawSlice(index);
}

void TPieSeries::DrawSlice(int index)
{
    TChartSeriesHost* chart = ParentChart();
    if (!chart || index < 0 || index >= static_cast<int>(m_angles.size()))
        return;
    TChartCanvas3D& canvas = chart->Canvas();
    canvas.ApplyPen(m_pieSettings.piePen);
    const QPoint offset = ExplodedOffset(index);
    const TPieAngle& slice = m_angles[static_cast<std::size_t>(index)];

    if (chart->View3D()) {
        canvas.PieSlice3D(CircleCenterX() + offset.x(), CircleCenterY() - offset.y(), XRadius(), YRadius(), StartZ(),
            EndZ(), slice.StartAngle + RotationRadians(), slice.EndAngle + RotationRadians(), m_pieSettings.dark3D,
            m_hasExploded);
        return;
    }

    m_currentEnd = AngleToPos(slice.EndAngle, XRadius(), YRadius());
    // Two radial points on the same pixel make the canvas draw the whole ellipse: right for a
    // lone slice or one of (almost) a full turn, wrong for a sliver, which is skipped instead.
    const int count = PointCount();
    const bool draw = m_currentEnd != m_lastEnd || count == 1 || (count > 1 && slice.EndAngle - slice.StartAngle > 1);
    if (!draw)
        return;
    const TRect& rect = CircleRect();
    const int dx = offset.x();
    const int dy = -offset.y();
    canvas.Pie2D(rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy, m_lastEnd.x() + dx,
        m_lastEnd.y() + dy, m_currentEnd.x() + dx, m_currentEnd.y() + dy);
    m_lastEnd = m_currentEnd;
}

bool TPieSeries::ShowsMark(int index) const { return TCircledSeries::ShowsMark(index) && !IsFolded(index); }

void TPieSeries::DrawMark(int index, const std::string& text, TSeriesMarkPosition& position)
{
    if (index < 0 || index >= static_cast<int>(m_angles.size()) || IsFolded(index))
        return;
    TCircledSeries::DrawMark(index, text, position);
}

void TPieSeries::PlaceMark(int index, TSeriesMarkPosition& position)
{
    if (index < 0 || index >= static_cast<int>(m_angles.size()))
        return;
    const QPoint radius = ExplodedRadius(index);
    const double angle = m_angles[static_cast<std::size_t>(index)].MidAngle;
    Marks().SetMarkDepth(EndZ());
    int textWidth = 0;
    int lineHeight = 0;
    if (ParentChart()) {
        const TChartCanvas3D& canvas = ParentChart()->Canvas();
        textWidth = canvas.TextWidth(QStringLiteral("W"));
        lineHeight = canvas.LineHeight();
    }
    const int length = Marks().ArrowLength();
    const QPoint end = AngleToPos(angle, radius.x() + textWidth + length, radius.y() + lineHeight + length);
    position.ArrowEnd = end;
    position.ArrowStart = AngleToPos(angle, radius.x(), radius.y());
    // The box lies on the far side of the arrow's end, away from the centre.
    position.BoxCorner = QPoint(end.x() > CircleCenterX() ? end.x() : end.x() - position.BoxWidth,
        end.y() > CircleCenterY() ? end.y() : end.y() - position.BoxHeight);
}

} // namespace tarvo
