#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"
#include "core/Rect.h"
#include "series/ChartSeriesTypes.h"

namespace tarvo
{

// What the chart's drawing pipeline asks of its legend: one stage of the layout. The chart calls
// DrawLegend once per repaint, between BeginFlatDrawing and EndFlatDrawing, only while Visible
// is on and a series is active; the legend lays itself out in the plotting rectangle it is given
// (and the chart's PanelRect), draws, and answers the rectangle it leaves to the plot. The chart
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
    // The background the legend is drawn on; the chart holds it up to the series' legend
    // symbols while the legend draws.
    [[nodiscard]] virtual TColor Color() const = 0;
    // chartRect is what the titles (and a legend drawn before) left of the plot.
    [[nodiscard]] virtual TRect DrawLegend(const TRect& chartRect) = 0;
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
