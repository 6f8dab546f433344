// Bar series settings, the bar series of a chart acting together (MultiBar, SideMargins, order,
// depth), the bar width and the legend symbol.

#include "bar/BarSeries.h"

#include "canvas/ChartCanvas3D.h"

#include <algorithm>

namespace tarvo
{

TCustomBarSeries::TCustomBarSeries()
{
    m_settings.barPen.SetOnChange([this] { RequestRepaint(); });
    m_settings.barBrush.SetOnChange([this] { RequestRepaint(); });
    Marks().SetVisible(true);
    Marks().SetArrowLength(20);
    YValues().SetName("Bar");
    YValues().SetOrder(loNone);
}

TCustomBarSeries::~TCustomBarSeries() = default;

void TCustomBarSeries::Assign(const TChartSeries& source)
{
    if (const auto* bar = dynamic_cast<const TCustomBarSeries*>(&source); bar != nullptr && bar != this) {
        m_settings = bar->m_settings;
    }
    TChartSeries::Assign(source);
}

void TCustomBarSeries::SetBarWidthPercent(int value)
{
    if (value < 1 || value > 100)
        throw BarException("Bar Width Percent must be between 1 and 100");
    Store(m_settings.barWidthPercent, value);
}

void TCustomBarSeries::SetOffsetPercent(int value)
{
    if (value < -100 || value > 100)
        throw BarException("Bar Offset Percent must be between -100% and 100%");
    Store(m_settings.offsetPercent, value);
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
    if (m_settings.multiBar == value)
        return;
    m_settings.multiBar = value;
    ForEachSameClass(false, [value](TCustomBarSeries& series) { series.m_settings.multiBar = value; });
    RequestRepaint();
}

void TCustomBarSeries::SetSideMargins(bool value)
{
    Store(m_settings.sideMargins, value);
    ForEachSameClass(false, [value](TCustomBarSeries& series) { series.m_settings.sideMargins = value; });
}

int TCustomBarSeries::AddBar(double value, const std::string& label, TColor color)
{
    return Append(value, label, color);
}

TBarStyle TCustomBarSeries::PointBarStyle(int index)
{
    TBarStyle style = m_settings.barStyle;
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
    if (m_settings.multiBar != mbSide || ParentChart() == nullptr)
        return 1;
    int count = 0;
    ForEachSameClass(true, [&count](const TCustomBarSeries&) { ++count; });
    return std::max(1, count);
}

int TCustomBarSeries::SlotPointCount() const
{
    int count = PointCount();
    if (ParentChart() != nullptr && m_settings.multiBar == mbSide)
        ForEachSameClass(true, [&count](const TCustomBarSeries& s) { count = std::max(count, s.PointCount()); });
    return count;
}

void TCustomBarSeries::CalcBarWidth()
{
    TBarWidthInput input;
    input.CustomBarWidth = m_settings.customBarWidth;
    input.PointCount = SlotPointCount();
    input.Groups = m_settings.multiBar == mbSide ? BarCount() : 1;
    if (const TChartSeriesHost* chart = ParentChart())
        input.MaxPointsPerPage = chart->MaxPointsPerPage();
    input.AutoBarSize = m_autoBarSize;
    input.SideMargins = m_settings.sideMargins;
    if (const TChartSeriesAxis* axis = BarsAxis()) {
        input.AxisSize = axis->AxisSize();
        input.AxisMinimum = axis->Minimum();
        input.AxisMaximum = axis->Maximum();
    }
    input.BarWidthPercent = m_settings.barWidthPercent;
    m_barWidth = ComputeBarWidth(input);
}

void TCustomBarSeries::ComputeDepthOrder()
{
    TChartSeriesHost* chart = ParentChart();
    const TChartSeries* leader = nullptr;
    if (chart != nullptr && m_settings.multiBar != mbNone && DepthOrder() < 0) {
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
    if (m_settings.multiBar == mbStacked || m_settings.multiBar == mbStacked100)
        return TChartSeries::StackedSum(index, includeSelf);
    return m_settings.yOrigin;
}

TColor TCustomBarSeries::BrushBackColor() const
{
    if (m_settings.barBrush.Color() != clDefaultColor || ParentChart() == nullptr)
        return m_settings.barBrush.Color();
    return ParentChart()->Color();
}

void TCustomBarSeries::LegendSymbolBrush(int, TColor& backColor, TBrushStyle& style)
{
    if (TChartSeriesHost* chart = ParentChart())
        chart->Canvas().ApplyPen(m_settings.barPen);
    style = m_settings.barBrush.Style();
    backColor = BrushBackColor();
}

void TCustomBarSeries::DrawLegendShape(int index, const TRect& rect)
{
    TChartBrush& brush = ParentChart()->Canvas().Brush();
    if (!m_settings.barBrush.HasImage()) {
        TChartSeries::DrawLegendShape(index, rect);
        return;
    }
    brush.SetImage(m_settings.barBrush.Image());
    TChartSeries::DrawLegendShape(index, rect);
    brush.SetImage(QImage()); // the next symbol or shape brings its own fill
}

void TCustomBarSeries::ApplyBarPenAndBrush()
{
    TChartSeriesHost* chart = ParentChart();
    chart->Canvas().ApplyPen(m_settings.barPen);
    if (m_settings.barBrush.HasImage()) {
        chart->Canvas().Brush().Assign(m_settings.barBrush);
        return;
    }
    chart->ApplyBrush(m_barColor, m_settings.barBrush.Style(), BrushBackColor());
}

} // namespace tarvo
