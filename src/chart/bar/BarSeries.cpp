// Bar series settings, the bar series of a chart acting together (MultiBar, SideMargins, order,
// depth), the bar width and the legend symbol.

#include "bar/BarSeries.h"

#include "canvas/ChartCanvas3D.h"

#include <algorithm>

namespace tarvo
{

TCustomBarSeries::TCustomBarSeries()
{
    m_barPen.SetOnChange([this] { RequestRepaint(); });
    m_barBrush.SetOnChange([this] { RequestRepaint(); });
    Marks().SetVisible(true);
    Marks().SetArrowLength(20);
    YValues().SetName("Bar");
    YValues().SetOrder(loNone);
}

TCustomBarSeries::~TCustomBarSeries() = default;

void TCustomBarSeries::Assign(const TChartSeries& source)
{
    if (const auto* bar = dynamic_cast<const TCustomBarSeries*>(&source); bar != nullptr && bar != this) {
        m_autoMarkPosition = bar->m_autoMarkPosition;
        m_barWidthPercent = bar->m_barWidthPercent;
        m_barStyle = bar->m_barStyle;
        m_barPen.Assign(bar->m_barPen);
        m_barBrush.Assign(bar->m_barBrush);
        m_customBarWidth = bar->m_customBarWidth;
        m_dark3D = bar->m_dark3D;
        m_multiBar = bar->m_multiBar;
        m_offsetPercent = bar->m_offsetPercent;
        m_yOrigin = bar->m_yOrigin;
        m_sideMargins = bar->m_sideMargins;
        m_useYOrigin = bar->m_useYOrigin;
    }
    TChartSeries::Assign(source);
}

void TCustomBarSeries::SetBarWidthPercent(int value)
{
    if (value < 1 || value > 100)
        throw BarException("Bar Width Percent must be between 1 and 100");
    Store(m_barWidthPercent, value);
}

void TCustomBarSeries::SetOffsetPercent(int value)
{
    if (value < -100 || value > 100)
        throw BarException("Bar Offset Percent must be between -100% and 100%");
    Store(m_offsetPercent, value);
}

template <typename F> void TCustomBarSeries::ForEachSameClass(bool activeOnly, F&& f) const
{
    const TChartSeriesHost* chart = ParentChart();
    if (chart == nullptr)
        return;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* other = chart->Series(i);
        if (other != nullptr && (!activeOnly || other->Active()) && SameBarClass(*other))
            f(*static_cast<TCustomBarSeries*>(other));
    }
}

bool TCustomBarSeries::SameBarClass(const TChartSeries& other) const
{
    const auto* bar = dynamic_cast<const TCustomBarSeries*>(&other);
    return bar != nullptr && (IsOfThisClass(*bar) || bar->IsOfThisClass(*this));
}

void TCustomBarSeries::SetMultiBar(TMultiBar value)
{
    if (m_multiBar == value)
        return;
    m_multiBar = value;
    ForEachSameClass(false, [value](TCustomBarSeries& series) { series.m_multiBar = value; });
    RequestRepaint();
}

void TCustomBarSeries::SetSideMargins(bool value)
{
    Store(m_sideMargins, value);
    ForEachSameClass(false, [value](TCustomBarSeries& series) { series.m_sideMargins = value; });
}

int TCustomBarSeries::AddBar(double value, const std::string& label, TColor color)
{
    return Append(value, label, color);
}

TBarStyle TCustomBarSeries::PointBarStyle(int index)
{
    TBarStyle style = m_barStyle;
    if (OnGetBarStyle)
        OnGetBarStyle(*this, index, style);
    return style;
}

int TCustomBarSeries::BarOrder() const
{
    int order = 1;
    const TChartSeriesHost* chart = ParentChart();
    if (chart == nullptr)
        return order;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        const TChartSeries* other = chart->Series(i);
        if (other == this)
            break;
        if (other != nullptr && other->Active() && SameBarClass(*other))
            ++order;
    }
    return order;
}

int TCustomBarSeries::BarCount() const
{
    if (m_multiBar != mbSide || ParentChart() == nullptr)
        return 1;
    int count = 0;
    ForEachSameClass(true, [&count](const TCustomBarSeries&) { ++count; });
    return std::max(1, count);
}

int TCustomBarSeries::SlotPointCount() const
{
    int count = PointCount();
    if (ParentChart() != nullptr && m_multiBar == mbSide)
        ForEachSameClass(true, [&count](const TCustomBarSeries& s) { count = std::max(count, s.PointCount()); });
    return count;
}

void TCustomBarSeries::CalcBarWidth()
{
    TBarWidthInput input;
    input.CustomBarWidth = m_customBarWidth;
    input.PointCount = SlotPointCount();
    input.Groups = m_multiBar == mbSide ? BarCount() : 1;
    if (const TChartSeriesHost* chart = ParentChart())
        input.MaxPointsPerPage = chart->MaxPointsPerPage();
    input.AutoBarSize = m_autoBarSize;
    input.SideMargins = m_sideMargins;
    if (const TChartSeriesAxis* axis = BarsAxis()) {
        input.AxisSize = axis->AxisSize();
        input.AxisMinimum = axis->Minimum();
        input.AxisMaximum = axis->Maximum();
    }
    input.BarWidthPercent = m_barWidthPercent;
    m_barWidth = ComputeBarWidth(input);
}

void TCustomBarSeries::ComputeDepthOrder()
{
    TChartSeriesHost* chart = ParentChart();
    const TChartSeries* leader = nullptr;
    if (chart != nullptr && m_multiBar != mbNone && DepthOrder() < 0) {
        for (int i = 0; i < chart->SeriesCount() && leader == nullptr; ++i) {
            const TChartSeries* other = chart->Series(i);
            if (other == this)
                break;
            if (other != nullptr && other->Active() && SameBarClass(*other))
                leader = other;
        }
    }
    if (leader == nullptr) {
        TChartSeries::ComputeDepthOrder();
        return;
    }
    // Side by side or stacked, the bars of one kind stand in the first one's slot.
    SetComputedDepthOrder(leader->ComputedDepthOrder());
}

double TCustomBarSeries::StackedSum(int index, bool includeSelf) const
{
    if (m_multiBar == mbStacked || m_multiBar == mbStacked100)
        return TChartSeries::StackedSum(index, includeSelf);
    return m_yOrigin;
}

TColor TCustomBarSeries::BrushBackColor() const
{
    if (m_barBrush.Color() != clDefaultColor || ParentChart() == nullptr)
        return m_barBrush.Color();
    return ParentChart()->Color();
}

void TCustomBarSeries::LegendSymbolBrush(int, TColor& backColor, TBrushStyle& style)
{
    if (TChartSeriesHost* chart = ParentChart())
        chart->Canvas().ApplyPen(m_barPen);
    style = m_barBrush.Style();
    backColor = BrushBackColor();
}

void TCustomBarSeries::DrawLegendShape(int index, const TRect& rect)
{
    TChartBrush& brush = ParentChart()->Canvas().Brush();
    if (!m_barBrush.HasImage()) {
        TChartSeries::DrawLegendShape(index, rect);
        return;
    }
    brush.SetImage(m_barBrush.Image());
    TChartSeries::DrawLegendShape(index, rect);
    brush.SetImage(QImage()); // the next symbol or shape brings its own fill
}

void TCustomBarSeries::ApplyBarPenAndBrush()
{
    TChartSeriesHost* chart = ParentChart();
    chart->Canvas().ApplyPen(m_barPen);
    if (m_barBrush.HasImage()) {
        chart->Canvas().Brush().Assign(m_barBrush);
        return;
    }
    chart->ApplyBrush(m_barColor, m_barBrush.Style(), BrushBackColor());
}

} // namespace tarvo
