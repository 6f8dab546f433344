#include "axes/ChartDepthAxis.h"

#include "canvas/ChartCanvas3D.h"
#include "core/ChartRounding.h"
#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

TChartDepthAxis::TChartDepthAxis(TChartAxisHost& chart)
    : TCustomChartAxis(chart, carDepth)
{
}

TAxisLabelStyle TChartDepthAxis::ResolvedLabelStyle() const
{
    if (LabelStyle() != talAuto)
        return LabelStyle();
    for (int i = 0; i < m_chart.SeriesCount(); ++i) {
        const TChartSeries& s = *m_chart.Series(i);
        if (s.Active() && s.MinZValue() != s.MaxZValue())
            return talValue;
    }
    return talText;
}

TAxisExtent TChartDepthAxis::ExtentFromChart() const
{
    const int depth = m_chart.TotalDepth();
    return { Round(depth * 0.01 * StartPosition()), Round(depth * 0.01 * EndPosition()) };
}

void TChartDepthAxis::ComputePosition()
{
    m_extent = ExtentFromChart();
    m_posAxis = m_chart.ChartRect().Right;
    m_posLabels = m_posAxis + TickSpace();
}

TRect TChartDepthAxis::ClaimSpace(const TRect& chartRect)
{
    TRect r = chartRect;
    m_labelsBand = 0;
    if (Labels()) {
        m_chart.UseFont(LabelsFont());
        int lines = 1;
        if (ResolvedLabelStyle() == talText) {
            for (int i = 0; i < m_chart.SeriesCount(); ++i)
                m_labelsBand
                    = std::max(m_labelsBand, m_chart.Canvas().TextBlockWidth(m_chart.Series(i)->Title(), lines));
        } else {
            m_labelsBand = std::max(m_chart.Canvas().TextBlockWidth(AxisLabelText(WorkMinimum()), lines),
                m_chart.Canvas().TextBlockWidth(AxisLabelText(WorkMaximum()), lines));
        }
        if (LabelsSize() != 0)
            m_labelsBand = LabelsSize();
    }
    r.Right -= m_labelsBand + TickSpace();
    return r;
}

void TChartDepthAxis::DrawLabels()
{
    if (ResolvedLabelStyle() != talText) {
        TCustomChartAxis::DrawLabels();
        return;
    }
    // Each active series is named at the middle of its slice of depth.
    m_tickPixels.clear();
    for (int i = 0; i < m_chart.SeriesCount(); ++i) {
        const TChartSeries& s = *m_chart.Series(i);
        if (!s.Active())
            continue;
        if (!TickOnLabelsOnly())
            RecordTick(s.MiddleZ());
        if (Labels())
            DrawLabelText(s.MiddleZ(), QString::fromStdString(s.Title()));
    }
}

void TChartDepthAxis::DrawLabelText(int pixel, const QString& text)
{
    if (TickOnLabelsOnly())
        RecordTick(pixel);
    TChartCanvas3D& canvas = m_chart.Canvas();
    canvas.Brush().SetStyle(bsClear);
    canvas.SetBackgroundMode(TRANSPARENT);
    canvas.SetTextAlignment(TA_LEFT | TA_TOP);
    canvas.Text3D(m_posLabels, m_chart.ChartRect().Bottom, text, pixel);
}

void TChartDepthAxis::DrawLineTicksAndGrid()
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    const int bottom = m_chart.ChartRect().Bottom;
    if (Axis().Visible()) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(Axis()));
        canvas.DepthLine3D(m_posAxis, bottom, StartPos(), EndPos());
    }
    if (Ticks().Visible() && TickLength() != 0) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(Ticks()));
        for (const int z : m_tickPixels)
            canvas.Line3D(m_posAxis, bottom, m_posAxis + TickLength(), bottom, z);
    }
}

} // namespace tarvo
