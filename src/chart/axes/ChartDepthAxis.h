#pragma once

#include "axes/ChartAxis.h"

namespace tarvo
{

// The axis that runs into the screen in a 3D chart: its pixels are depths (0 at the front, the
// chart's total depth at the back), its labels stand at the bottom right corner of the plot. It
// starts hidden.
class TChartDepthAxis : public TCustomChartAxis
{
public:
    explicit TChartDepthAxis(TChartAxisHost& chart);

    // talText (series titles) when no series is active or none spreads over depth, else talValue.
    [[nodiscard]] TAxisLabelStyle ResolvedLabelStyle() const override;
    // Room for the labels at the right of the plot.
    [[nodiscard]] TRect ClaimSpace(const TRect& chartRect) override;
    void ComputePosition() override;

protected:
    [[nodiscard]] TAxisExtent ExtentFromChart() const override;
    [[nodiscard]] int DrawDepth() const override { return 0; }
    void DrawLabels() override;
    void DrawLabelText(int pixel, const QString& text) override;
    void DrawTitle() override { }
    void DrawLineTicksAndGrid() override;
};

} // namespace tarvo
