// Laying out the circle of a pie (any circled series) in the chart's rectangle, once per drawing
// before its slices: room for the marks around it, then round on the physical screen.

#include "pie/CircledSeries.h"

#include "canvas/ChartCanvas3D.h"
#include "core/ChartRounding.h"

#include <algorithm>

namespace tarvo
{

namespace
{
    // The widest mark text of every active series on the chart, in the canvas' current font.
    int WidestMarkOfChart(const TChartSeriesHost& chart, const TChartCanvas& canvas)
    {
        int widest = 0;
        for (int i = 0; i < chart.SeriesCount(); ++i) {
            const TChartSeries* series = chart.Series(i);
            if (series && series->Active())
                widest = std::max(widest, series->Marks().MaxMarkWidth(canvas));
        }
        return widest;
    }
} // namespace

void TCircledSeries::BeginDrawValues()
{
    TChartSeries::BeginDrawValues();
    TChartSeriesHost* chart = ParentChart();
    if (!chart)
        return;
    SetCircleRect(chart->ChartRect());

    TSeriesMarks& marks = Marks();
    if (marks.Visible()) {
        TChartCanvas3D& canvas = chart->Canvas();
        int length = marks.ArrowLength();
        if (marks.Frame().Visible())
            length += 2 * marks.Frame().Width();
        // The marks font at the canvas' resolution, as the marks will measure it.
        TChartFont font = marks.Font();
        font.SetPixelsPerInch(canvas.Font().PixelsPerInch());
        canvas.Font() = font;
        const int vertical = length + canvas.LineHeight();
        const int horizontal = canvas.TextWidth(QStringLiteral("W")) + WidestMarkOfChart(*chart, canvas) + length;
        TRect& rect = m_circle.Rect;
        rect.Top += vertical;
        rect.Bottom -= vertical;
        rect.Left += horizontal;
        rect.Right -= horizontal;
        AdjustCircleRect();
    }

    if (m_circledSettings.circled) {
        const double ratio = CircledAspectRatio(m_screenAspect ? m_screenAspect() : TScreenAspect {});
        CalcRadius();
        TRect& rect = m_circle.Rect;
        const int height = Round(YRadius() * ratio);
        if (height < XRadius()) {
            const int trim = XRadius() - height;
            rect.Left += trim;
            rect.Right -= trim;
        } else {
            const int trim = YRadius() - Round(XRadius() / ratio);
            rect.Top += trim;
            rect.Bottom -= trim;
        }
        AdjustCircleRect();
    }
    CalcRadius();
}

} // namespace tarvo
