#pragma once

// What the legend asks of the chart it belongs to, on top of what a series asks: the chart's
// say over the texts, the rectangle and the row positions the legend is about to use (the
// chart's OnGetLegendText, OnGetLegendRect and OnGetLegendPos). The chart implements it.

#include "core/Rect.h"
#include "series/ChartSeriesHost.h"

#include <string>

namespace tarvo
{

// What the legend lists: its chart's series, or the values of the first active series (lsAuto
// picks values for a single series and series otherwise), or each series' last value.
enum class TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
using enum TLegendStyle;

class TChartLegendHost : public virtual TChartSeriesHost
{
public:
    // May change the text of item index (counted over all items, FirstValue ones included).
    virtual void GetLegendText(TLegendStyle legendStyle, int index, std::string& legendText) = 0;
    // May change where the legend goes, once it is laid out.
    virtual void GetLegendRect(TRect& rect) = 0;
    // May move item index's text (x, y) and its colour box's left edge (xColor).
    virtual void GetLegendPos(int index, int& x, int& y, int& xColor) = 0;

protected:
    TChartLegendHost() = default;
    TChartLegendHost(const TChartLegendHost&) = default;
    TChartLegendHost& operator=(const TChartLegendHost&) = default;
};

} // namespace tarvo
