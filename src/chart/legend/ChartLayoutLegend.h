#pragma once

#include "core/ChangeNotifier.h"
#include "series/ChartSeriesTypes.h"

namespace tarvo
{

// What the chart's drawing pipeline asks of its legend. The chart calls DrawLegend once per
// repaint, between BeginFlatDrawing and EndFlatDrawing, only while Visible is on and a series
// is active; the legend lays itself out from the chart's ChartRect and PanelRect, draws, takes
// its room from ChartRect and calls the chart's RecalcPlotSize and SetLegendColor. The chart
// installs the change handler (its repaint) when it takes the legend.
class TChartLayoutLegend : public TChangeNotifier
{
public:
    virtual ~TChartLayoutLegend() = default;

    [[nodiscard]] virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;
    // A legend at the left or right side is laid out before the titles, one at the top or
    // bottom after them.
    [[nodiscard]] virtual bool Vertical() const = 0;
    virtual void DrawLegend() = 0;
    // The item position under a point of the last drawing, or -1.
    [[nodiscard]] virtual int RowAt(int x, int y) const = 0;
    // How the legend words its items; marks of the legend style use the same words.
    [[nodiscard]] virtual TLegendTextStyle TextStyle() const = 0;

protected:
    TChartLayoutLegend() = default;
    TChartLayoutLegend(const TChartLayoutLegend&) = default;
    TChartLayoutLegend& operator=(const TChartLayoutLegend&) = default;
};

} // namespace tarvo
