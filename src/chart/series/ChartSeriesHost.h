#pragma once

// What a series needs from the chart it belongs to, and from that chart's axes. The axis panel
// implements TChartSeriesHost, its axes implement TChartSeriesAxis; series work without either
// (then axis positions are 0). A series reports its changes through the handler the chart
// installs when the series joins it (InsertSeries), not through this interface.

#include "canvas/ChartDrawHost.h"
#include "core/ChartColor.h"
#include "core/Rect.h"
#include "series/ChartSeriesTypes.h"

#include <string>

namespace tarvo
{

class TChartSeries;

class TChartSeriesAxis
{
public:
    virtual ~TChartSeriesAxis() = default;

    [[nodiscard]] virtual bool Horizontal() const = 0;
    // Values grow towards the start of the axis (left or top edge).
    [[nodiscard]] virtual bool Inverted() const = 0;
    // Pixel of a value along the axis, and back; valid after the chart's last layout.
    [[nodiscard]] virtual int ValueToPixel(double value) const = 0;
    [[nodiscard]] virtual double PixelToValue(int pixel) const = 0;
    // A value as this axis writes its labels.
    [[nodiscard]] virtual std::string AxisLabelText(double value) const = 0;
    // The range as last scaled (automatic ends follow the series).
    [[nodiscard]] virtual double Minimum() const = 0;
    [[nodiscard]] virtual double Maximum() const = 0;
    // Where the axis starts and ends along its direction in the last layout, in pixels (left to
    // right, top to bottom).
    [[nodiscard]] virtual int StartPos() const = 0;
    [[nodiscard]] virtual int EndPos() const = 0;
    [[nodiscard]] int AxisSize() const { return EndPos() - StartPos(); }

protected:
    TChartSeriesAxis() = default;
    TChartSeriesAxis(const TChartSeriesAxis&) = default;
    TChartSeriesAxis& operator=(const TChartSeriesAxis&) = default;
};

class TChartSeriesHost : public virtual TChartDrawHost
{
public:
    // The series list, in drawing order (first = deepest).
    [[nodiscard]] virtual int SeriesCount() const = 0;
    [[nodiscard]] virtual TChartSeries* Series(int index) const = 0;
    // Called by TChartSeries::SetParentChart after the series has taken this chart and its
    // colour: append the series to the list (when not yet there), install its change handler
    // (a repaint of this chart) and invalidate.
    virtual void InsertSeries(TChartSeries& series) = 0;
    // Called when a series leaves: remove it from the list and its change handler, restore the
    // chart's cursor if it showed the series' cursor, invalidate.
    virtual void RemoveSeries(TChartSeries& series) = 0;

    // The back wall colour: a new series' colour must differ from it and from the panel colour.
    [[nodiscard]] virtual TColor BackColor() const = 0;
    // The colour of the legend currently drawn (legend symbols fill their background with it).
    [[nodiscard]] virtual TColor LegendColor() const = 0;
    // How the chart's legend words a point (marks of style smsLegend say the same); a chart
    // without a legend of its own answers the legend's default.
    [[nodiscard]] virtual TLegendTextStyle LegendTextStyle() const { return ltsLeftValue; }

    // Each series gets its own slice of the depth (see ComputeDepthOrder).
    [[nodiscard]] virtual bool DepthPerSeries() const = 0;
    [[nodiscard]] virtual int MaxDepthOrder() const = 0;
    virtual void SetMaxDepthOrder(int value) = 0;
    // Points shown per page; 0 when the chart does not page.
    [[nodiscard]] virtual int MaxPointsPerPage() const { return 0; }

    // The chart's axes; a chart without an axis of that kind answers null.
    [[nodiscard]] virtual TChartSeriesAxis* BottomAxis() const = 0;
    [[nodiscard]] virtual TChartSeriesAxis* TopAxis() const = 0;
    [[nodiscard]] virtual TChartSeriesAxis* LeftAxis() const = 0;
    [[nodiscard]] virtual TChartSeriesAxis* RightAxis() const = 0;

    // A series drawn inside a circle has no use for axes, walls, the plot's frame and clipping,
    // zooming and panning: restore false switches them off, true back on; either way the chart
    // looks down on the circle. A chart without them does nothing.
    virtual void AdjustForCircledSeries(bool restore) { static_cast<void>(restore); }

protected:
    TChartSeriesHost() = default;
    TChartSeriesHost(const TChartSeriesHost&) = default;
    TChartSeriesHost& operator=(const TChartSeriesHost&) = default;
};

} // namespace tarvo
