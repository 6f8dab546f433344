// The series inside its chart: membership, axes, depth, visible range, drawing and mouse.

#include "series/ChartSeries.h"

#include "style/SeriesPalette.h"

#include <algorithm>
#include <typeinfo>
#include <vector>

namespace tarvo
{

void TChartSeries::SetParentChart(TChartSeriesHost* chart)
{
    if (chart == m_parentChart)
        return;
    if (m_parentChart) {
        TChartSeriesHost* old = m_parentChart;
        m_parentChart = nullptr;
        old->RemoveSeries(*this);
    }
    if (chart) {
        if (m_seriesColor == clDefaultColor) {
            std::vector<TColor> taken;
            for (int i = 0; i < chart->SeriesCount(); ++i) {
                if (const TChartSeries* other = chart->Series(i); other && other != this)
                    taken.push_back(other->SeriesColor());
            }
            m_seriesColor = FreeSeriesColor(taken, chart->Color(), chart->BackColor());
        }
        m_parentChart = chart;
        BindAxes();
        CheckDataSource();
        chart->InsertSeries(*this);
    } else {
        BindAxes();
    }
}

void TChartSeries::BindAxes()
{
    m_horizAxis = nullptr;
    m_vertAxis = nullptr;
    if (!m_parentChart)
        return;
    switch (m_horizAxisKind) {
    case aTopAxis:
        m_horizAxis = m_parentChart->TopAxis();
        break;
    case aCustomHorizAxis:
        m_horizAxis = m_customHorizAxis ? m_customHorizAxis : m_parentChart->BottomAxis();
        break;
    case aBottomAxis:
    case aBothHorizAxis:
        m_horizAxis = m_parentChart->BottomAxis();
        break;
    }
    switch (m_vertAxisKind) {
    case aRightAxis:
        m_vertAxis = m_parentChart->RightAxis();
        break;
    case aCustomVertAxis:
        m_vertAxis = m_customVertAxis ? m_customVertAxis : m_parentChart->LeftAxis();
        break;
    case aLeftAxis:
    case aBothVertAxis:
        m_vertAxis = m_parentChart->LeftAxis();
        break;
    }
}

void TChartSeries::SetHorizAxis(THorizAxis value)
{
    if (m_horizAxisKind == value)
        return;
    m_horizAxisKind = value;
    BindAxes();
    RequestRepaint();
}

void TChartSeries::SetVertAxis(TVertAxis value)
{
    if (m_vertAxisKind == value)
        return;
    m_vertAxisKind = value;
    BindAxes();
    RequestRepaint();
}

void TChartSeries::SetCustomHorizAxis(TChartSeriesAxis* axis)
{
    if (m_customHorizAxis == axis)
        return;
    m_customHorizAxis = axis;
    BindAxes();
    RequestRepaint();
}

void TChartSeries::SetCustomVertAxis(TChartSeriesAxis* axis)
{
    if (m_customVertAxis == axis)
        return;
    m_customVertAxis = axis;
    BindAxes();
    RequestRepaint();
}

bool TChartSeries::IsAxisRelated(const TChartSeriesAxis& axis) const
{
    if (!UsesAxes())
        return false;
    if (axis.Horizontal()) {
        if (&axis == m_horizAxis)
            return true;
        return m_horizAxisKind == aBothHorizAxis && m_parentChart
            && (&axis == m_parentChart->TopAxis() || &axis == m_parentChart->BottomAxis());
    }
    if (&axis == m_vertAxis)
        return true;
    return m_vertAxisKind == aBothVertAxis && m_parentChart
        && (&axis == m_parentChart->LeftAxis() || &axis == m_parentChart->RightAxis());
}

int TChartSeries::PointX(int index) const { return m_horizAxis ? m_horizAxis->ValueToPixel(XValue(index)) : 0; }

int TChartSeries::PointY(int index) const { return m_vertAxis ? m_vertAxis->ValueToPixel(YValue(index)) : 0; }

int TChartSeries::PointAt(int, int) const { return -1; }

void TChartSeries::HorizMargins(int& left, int& right) { left = right = 0; }

void TChartSeries::VertMargins(int& top, int& bottom) { top = bottom = 0; }

// --- Depth ---

void TChartSeries::SetDepths(int startZ, int endZ)
{
    m_startZ = startZ;
    m_endZ = endZ;
    m_middleZ = (startZ + endZ) / 2;
}

void TChartSeries::ComputeDepthOrder()
{
    if (m_depthOrder >= 0) {
        m_computedDepthOrder = m_depthOrder;
        if (m_parentChart && m_depthOrder > m_parentChart->MaxDepthOrder())
            m_parentChart->SetMaxDepthOrder(m_depthOrder);
        return;
    }
    if (!m_parentChart) {
        m_computedDepthOrder = 0;
        return;
    }
    m_computedDepthOrder = m_parentChart->MaxDepthOrder() + 1;
    m_parentChart->SetMaxDepthOrder(m_computedDepthOrder);
}

bool TChartSeries::SharesDepthOrder() const
{
    if (!m_parentChart || !m_parentChart->DepthPerSeries())
        return false;
    for (int i = 0; i < m_parentChart->SeriesCount(); ++i) {
        const TChartSeries* other = m_parentChart->Series(i);
        if (other && other != this && other->Active() && other->m_computedDepthOrder == m_computedDepthOrder)
            return true;
    }
    return false;
}

double TChartSeries::StackedSum(int index, bool includeSelf) const
{
    auto positiveAt = [index](const TChartSeries& s) {
        if (index < 0 || index >= s.PointCount())
            return 0.0;
        return std::max(0.0, s.BaseValue(index));
    };
    double sum = 0;
    if (m_parentChart) {
        for (int i = 0; i < m_parentChart->SeriesCount(); ++i) {
            const TChartSeries* other = m_parentChart->Series(i);
            if (other == this)
                break;
            if (other && other->Active() && typeid(*other) == typeid(*this))
                sum += positiveAt(*other);
        }
    }
    return includeSelf ? sum + positiveAt(*this) : sum;
}

// --- Visible range ---

void TChartSeries::CalcFirstLastVisible()
{
    const int count = PointCount();
    m_firstVisible = count > 0 ? 0 : -1;
    m_lastVisible = count - 1;
    const TChartValueList& ordered = IsVertical() ? XValues() : YValues();
    const TChartSeriesAxis* axis = IsVertical() ? m_horizAxis : m_vertAxis;
    if (count == 0 || !m_calcVisiblePoints || ordered.Order() == loNone || !axis || !m_parentChart)
        return;

    const TRect rect = m_parentChart->ChartRect();
    const double a = axis->PixelToValue(axis->Horizontal() ? rect.Left : rect.Bottom);
    const double b = axis->PixelToValue(axis->Horizontal() ? rect.Right : rect.Top);
    // Whichever edge the axis starts at, the range runs from the smaller value to the larger.
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    const bool ascending = ordered.Order() == loAscending;
    // "Before the range" and "past the range" in the list's own direction.
    auto before = [&](double v) { return ascending ? v < low : v > high; };
    auto past = [&](double v) { return ascending ? v > high : v < low; };

    m_firstVisible = -1;
    for (int i = 0; i < count; ++i) {
        if (!before(ordered.Value(i))) {
            m_firstVisible = i;
            break;
        }
    }
    if (m_firstVisible < 0) {
        m_lastVisible = -1;
        return;
    }
    if (past(ordered.Value(count - 1))) {
        int last = count - 1;
        while (last >= 0 && past(ordered.Value(last)))
            --last;
        if (m_drawBetweenPoints && last < count - 1)
            ++last;
        m_lastVisible = last;
    }
}

// --- Drawing ---

void TChartSeries::BeginDrawValues()
{
    if (BeforeDrawValues)
        BeforeDrawValues(*this);
}

void TChartSeries::DrawValues()
{
    if (m_firstVisible < 0)
        return;
    if (DrawForward()) {
        for (int i = m_firstVisible; i <= m_lastVisible; ++i)
            DrawPoint(i);
    } else {
        for (int i = m_lastVisible; i >= m_firstVisible; --i)
            DrawPoint(i);
    }
}

void TChartSeries::DrawPoint(int) { }

void TChartSeries::EndDrawValues()
{
    if (AfterDrawValues)
        AfterDrawValues(*this);
}

bool TChartSeries::DrawForwardAt(int) const { return true; }

// --- Mouse ---

bool TChartSeries::DoClick(int index, TMouseButton button, TShiftState shift, int x, int y)
{
    if (shift.testFlag(ssDouble) && OnDblClick) {
        OnDblClick(*this, index, button, shift, x, y);
        return true;
    }
    if (OnClick) {
        OnClick(*this, index, button, shift, x, y);
        return true;
    }
    return false;
}

void TChartSeries::MouseMoved(TShiftState, int, int) { }

void TChartSeries::MouseReleased(TMouseButton, TShiftState, int, int) { }

} // namespace tarvo
