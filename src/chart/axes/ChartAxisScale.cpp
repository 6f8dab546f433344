// An axis' range: automatic ends from the related series, the pixel extent, margins and panning.

#include "axes/ChartAxis.h"
#include "core/ChartRounding.h"
#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

std::vector<TChartSeries*> TCustomChartAxis::RelatedSeries(bool activeOnly) const
{
    std::vector<TChartSeries*> related;
    const int count = m_chart.SeriesCount();
    for (int i = 0; i < count; ++i) {
        TChartSeries* series = m_chart.Series(i);
        if ((!activeOnly || series->Active()) && series->IsAxisRelated(*this))
            related.push_back(series);
    }
    return related;
}

bool TCustomChartAxis::SeriesMinMax(double& low, double& high) const
{
    // The active series decide; when none of them is related, every related series does.
    std::vector<TChartSeries*> series = RelatedSeries(true);
    if (series.empty())
        series = RelatedSeries(false);
    bool any = false;
    for (const TChartSeries* s : series) {
        if (s->PointCount() == 0)
            continue;
        double a;
        double b;
        if (IsDepthAxis()) {
            a = s->MinZValue();
            b = s->MaxZValue();
        } else if (m_horizontal) {
            a = s->MinXValue();
            b = s->MaxXValue();
        } else {
            a = s->MinYValue();
            b = s->MaxYValue();
        }
        low = any ? std::min(low, a) : a;
        high = any ? std::max(high, b) : b;
        any = true;
    }
    return any;
}

bool TCustomChartAxis::IsDateTimeAxis() const
{
    if (IsDepthAxis())
        return false;
    for (const TChartSeries* s : RelatedSeries(true))
        if ((m_horizontal ? s->XValues() : s->YValues()).DateTime())
            return true;
    return false;
}

void TCustomChartAxis::ScaleFromSeries()
{
    m_drawn = false;
    if (m_settings.automatic || m_settings.automaticMaximum || m_settings.automaticMinimum) {
        double low = 0.0;
        double high = 0.0;
        if (!SeriesMinMax(low, high))
            low = high = 0.0;
        if (m_settings.automatic || m_settings.automaticMaximum)
            m_settings.maximum = high;
        if (m_settings.automatic || m_settings.automaticMinimum)
            m_settings.minimum = low;
    }
    m_workMaximum = m_settings.maximum;
    m_workMinimum = m_settings.minimum;
}

TAxisExtent TCustomChartAxis::ExtentFromChart() const
{
    return AxisExtentOf(m_chart.ChartRect(), m_horizontal, m_settings.startPosition, m_settings.endPosition);
}

void TCustomChartAxis::ComputePosition()
{
    m_extent = ExtentFromChart();
    ComputePosAxis();
}

void TCustomChartAxis::ComputePosAxis()
{
    const TRect r = m_chart.ChartRect();
    const int shift = Round(m_settings.positionPercent * 0.01 * (m_horizontal ? r.Height() : r.Width()));
    if (m_horizontal)
        m_posAxis = (m_otherSide ? r.Top : r.Bottom) - Outward() * shift;
    else
        m_posAxis = (m_otherSide ? r.Right : r.Left) - Outward() * shift;
}

void TCustomChartAxis::WidenForMargins(int startMargin, int endMargin)
{
    // The start (left, top) holds the low values of a horizontal axis and the high values of a
    // vertical one, unless inverted; a margin only moves an end that is automatic.
    const bool lowAtStart = m_horizontal != m_settings.inverted;
    const bool startAutomatic = lowAtStart ? m_settings.automaticMinimum : m_settings.automaticMaximum;
    const bool endAutomatic = lowAtStart ? m_settings.automaticMaximum : m_settings.automaticMinimum;
    const int m1 = startAutomatic ? startMargin : 0;
    const int m2 = endAutomatic ? endMargin : 0;
    if (m1 == 0 && m2 == 0)
        return;
    const TAxisExtent old = ExtentFromChart();
    if (old.AxisSize() - m1 - m2 < 1)
        return; // no room left for the data: keep the range rather than collapse it
    m_extent = { old.StartPos + m1, old.EndPos - m2 };
    const double a = PixelToValue(old.StartPos);
    const double b = PixelToValue(old.EndPos);
    m_extent = old;
    m_workMinimum = std::min(a, b);
    m_workMaximum = std::max(a, b);
}

void TCustomChartAxis::Scroll(double offset, bool checkLimits)
{
    if (checkLimits) {
        if (offset == 0.0)
            return;
        double low = 0.0;
        double high = 0.0;
        if (!SeriesMinMax(low, high))
            return;
        if (offset > 0.0 ? !(high > m_settings.maximum) : !(low < m_settings.minimum))
            return;
    }
    m_settings.automatic = false;
    m_settings.automaticMinimum = false;
    m_settings.automaticMaximum = false;
    m_settings.maximum += offset;
    m_settings.minimum += offset;
    Changed();
}

} // namespace tarvo
