#pragma once

// What an axis asks of the chart it belongs to, on top of what a series asks: the depth of the
// 3D view and the walls the axis line runs along. The axis panel implements it.

#include "series/ChartSeriesHost.h"

namespace tarvo
{

class TChartAxisHost : public virtual TChartSeriesHost
{
public:
    // Depth of the whole chart in pixels in the last layout (0 when flat).
    [[nodiscard]] virtual int TotalDepth() const = 0;
    // Walls are drawn in 3D.
    [[nodiscard]] virtual bool View3DWalls() const = 0;
    // Thickness of the left and the bottom wall in pixels; a chart without walls answers 0.
    [[nodiscard]] virtual int LeftWallSize() const { return 0; }
    [[nodiscard]] virtual int BottomWallSize() const { return 0; }

protected:
    TChartAxisHost() = default;
    TChartAxisHost(const TChartAxisHost&) = default;
    TChartAxisHost& operator=(const TChartAxisHost&) = default;
};

} // namespace tarvo
