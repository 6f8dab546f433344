#pragma once

// What every part that draws itself on a chart (a series, an axis, the legend, a title) asks of
// the chart's panel: the canvas and the panel's helpers on it, and the rectangles of the current
// layout. The chart panel implements it; parts are handed it, never the panel itself.

#include "core/ChartColor.h"
#include "core/Rect.h"
#include "style/ChartBrush.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"

namespace tarvo
{

class TChartCanvas3D;

class TChartDrawHost
{
public:
    virtual ~TChartDrawHost() = default;

    [[nodiscard]] virtual TChartCanvas3D& Canvas() = 0;
    // Canvas brush colour and style; a hatch gets backColor behind it (see the chart panel).
    virtual void ApplyBrush(TColor color, TBrushStyle style, TColor backColor) = 0;
    // The canvas font becomes a copy of font at the resolution of the panel's device.
    virtual void UseFont(const TChartFont& font) = 0;
    // pen as the current output draws it (a printer draws thin dashed lines at width 0).
    [[nodiscard]] virtual TChartPen AdjustPrintPen(const TChartPen& pen) const = 0;

    // The panel colour.
    [[nodiscard]] virtual TColor Color() const = 0;
    [[nodiscard]] virtual bool View3D() const = 0;
    // The whole drawing area and the plotting rectangle of the current layout (pixels).
    [[nodiscard]] virtual TRect PanelRect() const = 0;
    [[nodiscard]] virtual TRect ChartRect() const = 0;

protected:
    TChartDrawHost() = default;
    TChartDrawHost(const TChartDrawHost&) = default;
    TChartDrawHost& operator=(const TChartDrawHost&) = default;
};

} // namespace tarvo
