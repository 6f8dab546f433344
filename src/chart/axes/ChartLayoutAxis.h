#pragma once

#include "core/ChangeNotifier.h"
#include "core/Rect.h"
#include "series/ChartSeriesHost.h"

namespace tarvo
{

// An axis' range settings: what zooming, panning and the wheel change and what undoing a zoom
// puts back.
struct TAxisRangeSettings {
    bool Automatic = true;
    bool AutomaticMinimum = true;
    bool AutomaticMaximum = true;
    double Minimum = 0.0;
    double Maximum = 0.0;
    constexpr bool operator==(const TAxisRangeSettings&) const = default;
};

// What the chart's drawing pipeline asks of an axis, on top of what a series asks of it. The
// chart calls these in a fixed order once per repaint: ScaleFromSeries, ClaimSpace (only for
// axes that are shown), ComputePosition after every change of the plotting rectangle,
// WidenForMargins, and Draw. Pixel values are in the chart's layout coordinates. The chart
// installs the change handler (its repaint) when it takes the axis.
class TChartLayoutAxis : public TChartSeriesAxis, public TChangeNotifier
{
public:
    [[nodiscard]] virtual bool Visible() const = 0;
    // The depth axis is shown only in 3D and runs into the screen.
    [[nodiscard]] virtual bool IsDepthAxis() const = 0;
    // Automatic ends from the related series, before the plotting rectangle is divided.
    virtual void ScaleFromSeries() = 0;
    // The part of chartRect left to the plot once this axis has room for its title, labels
    // and ticks; the chart keeps the intersection with its own rectangle.
    [[nodiscard]] virtual TRect ClaimSpace(const TRect& chartRect) = 0;
    // Pixel extent and axis-line position from the chart's current plotting rectangle.
    virtual void ComputePosition() = 0;
    // Widens the working range so the data keeps startMargin pixels free at the left (top) end
    // and endMargin at the right (bottom) end; an end that is not automatic stays as it is.
    virtual void WidenForMargins(int startMargin, int endMargin) = 0;
    // Line, ticks, grid and labels; calcPosAxis recomputes the line's position first.
    virtual void Draw(bool calcPosAxis) = 0;

    // What the chart's mouse handling asks besides the range: its settings, fixing it, shifting
    // it, and whether a pixel lies on the axis as last drawn.
    [[nodiscard]] virtual TAxisRangeSettings RangeSettings() const = 0;
    virtual void SetRangeSettings(const TAxisRangeSettings& value) = 0;
    virtual void SetMinMax(double minimum, double maximum) = 0;
    virtual void Scroll(double offset, bool checkLimits) = 0;
    [[nodiscard]] virtual bool Clicked(int x, int y) const = 0;

protected:
    TChartLayoutAxis() = default;
    TChartLayoutAxis(const TChartLayoutAxis&) = default;
    TChartLayoutAxis& operator=(const TChartLayoutAxis&) = default;
};

// The chart's axes in the order they are created, listed and given room.
enum class TChartAxisRole { carBottom, carTop, carLeft, carRight, carDepth };
using enum TChartAxisRole;
inline constexpr int kChartAxisCount = 5;

} // namespace tarvo
