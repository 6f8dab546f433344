// Vertical bars: where each bar stands and how high it reaches, the room the bars and their
// marks need, and the drawing of each shape flat and in 3D.

#include "bar/BarSeries.h"

#include "canvas/ChartCanvas3D.h"
#include "canvas/View3DOptions.h"
#include "style/GradientBands.h"

#include <algorithm>
#include <array>
#include <typeinfo>

namespace tarvo
{

TBarSeries::TBarSeries() = default;

TBarSeries::~TBarSeries() = default;

bool TBarSeries::IsOfThisClass(const TCustomBarSeries& other) const
{
    return dynamic_cast<const TBarSeries*>(&other) != nullptr;
}

TChartSeriesAxis* TBarSeries::BarsAxis() const { return GetHorizAxis(); }

int TBarSeries::PointX(int index) const
{
    const int x = TChartSeries::PointX(index);
    return BarLeftEdge(x, MultiBar(), BarOrder(), BarCount(), m_barWidth, OffsetPercent());
}

double TBarSeries::StackedValue(int index, double above) const
{
    const double below = TChartSeries::StackedSum(index, false) + above;
    if (MultiBar() == mbStacked100)
        return PercentOfTotal(below, StackTotal(index));
    return below;
}

double TBarSeries::StackTotal(int index) const
{
    // The whole stack at index: the sum up to and including the last series of the stack. The
    // sum up to this series alone would put every series' top at 100 %.
    const TChartSeries* last = this;
    if (const TChartSeriesHost* chart = ParentChart()) {
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            const TChartSeries* other = chart->Series(i);
            if (other != nullptr && other->Active() && typeid(*other) == typeid(*this))
                last = other;
        }
    }
    return last->TChartSeries::StackedSum(index, true);
}

int TBarSeries::PointY(int index) const
{
    const TChartSeriesAxis* axis = GetVertAxis();
    if (axis == nullptr)
        return 0;
    if (MultiBar() == mbNone || MultiBar() == mbSide)
        return axis->ValueToPixel(YValue(index));
    return axis->ValueToPixel(StackedValue(index, YValue(index)));
}

int TBarSeries::OriginPosition(int index) const
{
    const TChartSeriesAxis* axis = GetVertAxis();
    if (axis == nullptr)
        return 0;
    if (MultiBar() == mbStacked || MultiBar() == mbStacked100)
        return axis->ValueToPixel(StackedValue(index, 0));
    if (UseYOrigin())
        return axis->ValueToPixel(YOrigin());
    return axis->EndPos();
}

double TBarSeries::MaxYValue() const
{
    if (MultiBar() == mbStacked100)
        return 100;
    double result = TChartSeries::MaxYValue();
    if (MultiBar() == mbStacked)
        for (int i = 0; i < PointCount(); ++i)
            result = std::max(result, TChartSeries::StackedSum(i, false) + YValue(i));
    return UseYOrigin() ? std::max(result, YOrigin()) : result;
}

double TBarSeries::MinYValue() const
{
    if (MultiBar() == mbStacked100)
        return 0;
    const double result = TChartSeries::MinYValue();
    return UseYOrigin() ? std::min(result, YOrigin()) : result;
}

void TBarSeries::HorizMargins(int& left, int& right)
{
    CalcBarWidth();
    int margin = BarCount() * m_barWidth;
    if (!SideMargins())
        margin /= 2;
    left = margin;
    right = margin;
}

int TBarSeries::MarkSpace() const
{
    TChartSeriesHost* chart = ParentChart();
    if (chart == nullptr)
        return 0;
    Marks().ApplyFont(chart->Canvas());
    return chart->Canvas().LineHeight();
}

void TBarSeries::VertMargins(int& top, int& bottom)
{
    top = 0;
    bottom = 0;
    if (PointCount() == 0 || !Marks().Visible())
        return;
    int space = MarkSpace() + Marks().ArrowLength();
    if (Marks().Frame().Visible())
        space += 2 * Marks().Frame().Width();
    const TChartSeriesAxis* axis = GetVertAxis();
    const TBarMarkMargins margins = MarkMargins(space, UseYOrigin(), YOrigin(), TChartSeries::MinYValue(),
        TChartSeries::MaxYValue(), axis != nullptr && axis->Inverted());
    top = margins.Top;
    bottom = margins.Bottom;
}

bool TBarSeries::DrawForward() const
{
    const TChartSeriesAxis* axis = GetHorizAxis();
    return axis == nullptr || !axis->Inverted();
}

bool TBarSeries::DrawForwardAt(int) const
{
    if (MultiBar() == mbSide || MultiBar() == mbNone)
        return true;
    const TChartSeriesAxis* axis = GetVertAxis();
    return axis == nullptr || !axis->Inverted();
}

TRect TBarSeries::DrawnBounds(int index) const
{
    const std::size_t slot = static_cast<std::size_t>(index - m_boundsFrom);
    if (index >= m_boundsFrom && slot < m_bounds.size())
        return m_bounds[slot];
    const int left = PointX(index);
    return { left, PointY(index), left + m_barWidth, OriginPosition(index) };
}

void TBarSeries::BeginDrawValues()
{
    TCustomBarSeries::BeginDrawValues();
    // Every visible bar's bounds, once: a bar's drawing looks at the bars after it.
    m_bounds.clear();
    m_boundsFrom = FirstVisible();
    if (m_boundsFrom < 0 || ParentChart() == nullptr)
        return;
    const int last = std::min(LastVisible(), PointCount() - 1);
    std::vector<TRect> bounds;
    bounds.reserve(static_cast<std::size_t>(std::max(0, last - m_boundsFrom + 1)));
    for (int i = m_boundsFrom; i <= last; ++i)
        bounds.push_back(DrawnBounds(i));
    m_bounds = std::move(bounds);
}

void TBarSeries::EndDrawValues()
{
    m_bounds.clear();
    TCustomBarSeries::EndDrawValues();
}

void TBarSeries::DrawPoint(int index)
{
    m_barColor = PointColor(index);
    m_sideCovers.clear();
    if (m_barColor == clNone || ParentChart() == nullptr)
        return;
    m_barBounds = DrawnBounds(index);
    CoverSideByNextBars(index);
    DrawBar(index, std::min(m_barBounds.Top, m_barBounds.Bottom), std::max(m_barBounds.Top, m_barBounds.Bottom));
}

void TBarSeries::CoverSideByNextBars(int index)
{
    // In a 3D chart seen obliquely, a bar drawn later in the same slice of depth, on the same
    // origin, covers this bar's right side face beyond the gap g between them, below its own top
    // plus g: depth goes right and up at the same rate, so its top face hides exactly that much.
    // Two pixels inside those lines the side is left unfilled: in a dense chart, most of every
    // side face. The bars after this one cover it step by step, each as far as it reaches.
    TChartSeriesHost* chart = ParentChart();
    const TProjection& projection = chart->Canvas().Projection();
    if (!chart->View3D() || !projection.Oblique || projection.Scale < 0.5 || !DrawForward()
        || (MultiBar() != mbNone && MultiBar() != mbSide) || BarBrush().Style() != bsSolid || BarBrush().HasImage()
        || BarPen().Width() > 1 || OnGetBarStyle != nullptr
        || (BarStyle() != bsRectangle && BarStyle() != bsRectGradient) || m_barBounds.Top >= m_barBounds.Bottom)
        return;
    constexpr int kInside = 2;
    const int depth = EndZ() - StartZ();
    const int last = std::min(LastVisible(), PointCount() - 1);
    int belowY = m_barBounds.Bottom;
    for (int next = index + 1; next <= last; ++next) {
        const TRect after = DrawnBounds(next);
        const int gap = after.Left - m_barBounds.Right;
        if (gap < 0 || gap + kInside >= depth || PointColor(next) == clNone || after.Bottom != m_barBounds.Bottom
            || after.Top >= after.Bottom)
            break;
        const int covers = after.Top + gap + kInside;
        if (covers >= belowY)
            continue;
        belowY = covers;
        m_sideCovers.push_back({ StartZ() + gap + kInside, std::max(belowY, m_barBounds.Top) });
        if (belowY <= m_barBounds.Top)
            break;
    }
}

bool TBarSeries::ShowsMark(int index) const
{
    return TCustomBarSeries::ShowsMark(index) && (!Marks().HideOverlapping() || m_barWidth >= kMarkedBarWidth);
}

void TBarSeries::PlaceMark(int index, TSeriesMarkPosition& position)
{
    PlaceMarkOverBar(position, m_barWidth, Marks().ArrowLength(), OriginPosition(index));
}

void TBarSeries::DrawBar(int index, int upperY, int lowerY)
{
    ApplyBarPenAndBrush();
    const TRect bar { m_barBounds.Left, upperY, m_barBounds.Right, lowerY };
    const TBarStyle style = PointBarStyle(index);
    if (ParentChart()->View3D())
        DrawShape3D(style, bar);
    else
        DrawShape2D(style, bar);
}

void TBarSeries::DrawBarRectangle(const TRect& bar)
{
    TChartCanvas3D& canvas = ParentChart()->Canvas();
    // A bar without width or height would vanish under a clear pen, and one thinner than the pen
    // would be all outline: both are drawn in the bar's own colour instead.
    auto penInBrushColour = [&canvas] {
        canvas.Pen().SetColor(canvas.Brush().Color());
        if (canvas.Pen().Style() == psClear)
            canvas.Pen().SetStyle(psSolid);
    };
    const int width = bar.Right - bar.Left;
    const int height = bar.Bottom - bar.Top;
    if (BarBrush().Style() == bsSolid && (width == 0 || height == 0)) {
        penInBrushColour();
        canvas.Line2D(bar.Left, bar.Top, bar.Right, bar.Bottom);
    } else if (canvas.Pen().Width() > width || canvas.Pen().Width() > height) {
        penInBrushColour();
        canvas.Brush().SetStyle(bsClear);
    }
    canvas.Rectangle2D(bar.Left, bar.Top, bar.Right, bar.Bottom);
}

void TBarSeries::DrawShape2D(TBarStyle style, const TRect& bar)
{
    TChartCanvas3D& canvas = ParentChart()->Canvas();
    const int centreX = (bar.Left + bar.Right) / 2;
    switch (style) {
    case bsRectangle:
    case bsCilinder:
        DrawBarRectangle(bar);
        return;
    case bsPyramid:
    case bsCone: {
        const std::array<QPoint, 3> triangle { QPoint(bar.Left, bar.Bottom), QPoint(centreX, bar.Top),
            QPoint(bar.Right, bar.Bottom) };
        canvas.Polygon2D(triangle);
        return;
    }
    case bsInvPyramid: {
        const std::array<QPoint, 3> triangle { QPoint(bar.Left, bar.Top), QPoint(centreX, bar.Bottom),
            QPoint(bar.Right, bar.Top) };
        canvas.Polygon2D(triangle);
        return;
    }
    case bsEllipse:
        canvas.Ellipse2D(bar.Left, bar.Top, bar.Right, bar.Bottom);
        return;
    case bsArrow: {
        // Shaft half the bar wide, head the full width and at most half the bar high.
        const int quarter = (bar.Right - bar.Left) / 4;
        const int head = std::min((bar.Right - bar.Left) / 2, (bar.Bottom - bar.Top) / 2);
        const std::array<QPoint, 7> arrow { QPoint(centreX - quarter, bar.Bottom),
            QPoint(centreX - quarter, bar.Top + head), QPoint(bar.Left, bar.Top + head), QPoint(centreX, bar.Top),
            QPoint(bar.Right, bar.Top + head), QPoint(centreX + quarter, bar.Top + head),
            QPoint(centreX + quarter, bar.Bottom) };
        canvas.Polygon2D(arrow);
        return;
    }
    case bsRectGradient:
        canvas.FillGradient(bar, clWhite, m_barColor, TGradientDirection::gdTopBottom);
        if (BarPen().Visible()) {
            canvas.Brush().SetStyle(bsClear);
            DrawBarRectangle(bar);
        }
        return;
    }
}

void TBarSeries::DrawShape3D(TBarStyle style, const TRect& bar)
{
    TChartCanvas3D& canvas = ParentChart()->Canvas();
    const int centreX = (bar.Left + bar.Right) / 2;
    switch (style) {
    case bsRectangle:
        canvas.Box3DCoveredSide(bar.Left, bar.Right, bar.Top, bar.Bottom, StartZ(), EndZ(), Dark3D(), m_sideCovers);
        return;
    case bsPyramid:
        canvas.PyramidShape(true, bar.Left, bar.Top, bar.Right, bar.Bottom, StartZ(), EndZ(), Dark3D());
        return;
    case bsInvPyramid:
        // The apex lies at the "top" argument: here the bar's lower end.
        canvas.PyramidShape(true, bar.Left, bar.Bottom, bar.Right, bar.Top, StartZ(), EndZ(), Dark3D());
        return;
    case bsCilinder:
        canvas.CylinderShape(true, bar.Left, bar.Top, bar.Right, bar.Bottom, StartZ(), EndZ(), Dark3D());
        return;
    case bsEllipse:
        canvas.Ellipse3D(bar.Left, bar.Top, bar.Right, bar.Bottom, MiddleZ());
        return;
    case bsArrow:
        canvas.Arrow3D(true, QPoint(centreX, bar.Bottom), QPoint(centreX, bar.Top), (bar.Right - bar.Left) / 2,
            std::min((bar.Right - bar.Left) / 2, (bar.Bottom - bar.Top) / 2), MiddleZ());
        return;
    case bsRectGradient: {
        canvas.Box3DCoveredSide(bar.Left, bar.Right, bar.Top, bar.Bottom, StartZ(), EndZ(), Dark3D(), m_sideCovers);
        const TView3DOptions* options = canvas.Options();
        if (options != nullptr && options->Orthogonal()) {
            const QPoint topLeft = canvas.ProjectXY(bar.Left, bar.Top, StartZ());
            const QPoint bottomRight = canvas.ProjectXY(bar.Right, bar.Bottom, StartZ());
            canvas.FillGradient({ topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y() }, clWhite, m_barColor,
                TGradientDirection::gdTopBottom);
        }
        return;
    }
    case bsCone:
        canvas.ConeShape(true, bar.Left, bar.Top, bar.Right, bar.Bottom, StartZ(), EndZ(), Dark3D());
        return;
    }
}

} // namespace tarvo
