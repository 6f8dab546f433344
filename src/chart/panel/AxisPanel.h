#pragma once

#include "axes/ChartAxis.h"
#include "axes/ChartAxisHost.h"
#include "axes/ChartLayoutAxis.h"
#include "panel/CustomChartPanelExtended.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace tarvo
{

class TChartSeries;

// The panel with a series list, axes and the 3D depth, and the repaint pipeline that lays them
// out and draws them. Titles, walls and legend are hooks that TCustomChart fills in. Series
// added with AddSeries(unique_ptr) belong to the chart; every series leaves the chart before
// the chart is destroyed. Series and axes see it through their host interfaces.
class TCustomAxisPanel : public TCustomChartPanelExtended, public TChartAxisHost
{
public:
    using TChartEvent = std::function<void(TCustomAxisPanel& sender)>;

    explicit TCustomAxisPanel(QWidget* parent = nullptr);
    ~TCustomAxisPanel() override;

    // --- Series list ---
    [[nodiscard]] int SeriesCount() const override { return static_cast<int>(m_series.size()); }
    // Raises ChartListIndexError for an index outside the list.
    [[nodiscard]] TChartSeries* Series(int index) const override;
    // The chart takes ownership; the series joins (palette colour, axes) and the chart repaints.
    TChartSeries& AddSeries(std::unique_ptr<TChartSeries> series);
    // A series owned elsewhere joins the chart.
    void AddSeries(TChartSeries& series);
    void InsertSeries(TChartSeries& series) override;
    void RemoveSeries(TChartSeries& series) override;
    [[nodiscard]] int ActiveSeriesCount() const;
    // The active series in list order.
    [[nodiscard]] std::vector<TChartSeries*> ActiveSeries() const;

    // --- Axes ---
    // Installs the axis of role (replacing any); install axes before series join, which bind
    // them when they do. Axes are listed, scaled and given room in role order.
    void SetAxis(TChartAxisRole role, std::unique_ptr<TChartLayoutAxis> axis);
    // An axis of the chart's own kind, whose settings ChartAxis then gives access to.
    void SetAxis(TChartAxisRole role, std::unique_ptr<TCustomChartAxis> axis);
    [[nodiscard]] TChartLayoutAxis* Axis(TChartAxisRole role) const;
    // The axis of role with its settings; null when another kind of axis (or none) is installed.
    [[nodiscard]] TCustomChartAxis* ChartAxis(TChartAxisRole role) const;
    [[nodiscard]] TChartSeriesAxis* BottomAxis() const override { return Axis(carBottom); }
    [[nodiscard]] TChartSeriesAxis* TopAxis() const override { return Axis(carTop); }
    [[nodiscard]] TChartSeriesAxis* LeftAxis() const override { return Axis(carLeft); }
    [[nodiscard]] TChartSeriesAxis* RightAxis() const override { return Axis(carRight); }
    [[nodiscard]] TChartLayoutAxis* DepthAxis() const { return Axis(carDepth); }
    // Whether the repaint draws axis: AxisVisible, the axis visible, and an active series that
    // uses axes related to it (the depth axis: the chart is 3D).
    [[nodiscard]] bool IsAxisShown(const TChartLayoutAxis& axis) const;

    // --- Properties ---
    [[nodiscard]] bool AxisVisible() const { return m_axisVisible; }
    void SetAxisVisible(bool value) { SetAndInvalidate(m_axisVisible, value); }
    [[nodiscard]] bool View3DWalls() const override { return m_view3DWalls; }
    void SetView3DWalls(bool value) { SetAndInvalidate(m_view3DWalls, value); }
    [[nodiscard]] bool ClipPoints() const { return m_clipPoints; }
    void SetClipPoints(bool value) { SetAndInvalidate(m_clipPoints, value); }
    // Paging is off while MaxPointsPerPage is 0; negative values raise ChartException.
    [[nodiscard]] int MaxPointsPerPage() const override { return m_maxPointsPerPage; }
    void SetMaxPointsPerPage(int value);
    [[nodiscard]] int Page() const { return m_page; }
    // Kept within 1 … NumPages.
    void SetPage(int value);
    [[nodiscard]] int NumPages() const;
    [[nodiscard]] bool ScaleLastPage() const { return m_scaleLastPage; }
    void SetScaleLastPage(bool value) { SetAndInvalidate(m_scaleLastPage, value); }
    [[nodiscard]] bool DepthPerSeries() const override { return m_depthPerSeries; }
    void SetDepthPerSeries(bool value) { SetAndInvalidate(m_depthPerSeries, value); }

    // --- Depth of the last layout, in pixels ---
    [[nodiscard]] int MaxDepthOrder() const override { return m_maxDepthOrder; }
    void SetMaxDepthOrder(int value) override { m_maxDepthOrder = value; }
    [[nodiscard]] int SeriesDepth() const { return m_seriesDepth; }
    [[nodiscard]] int TotalDepth() const override { return m_totalDepth; }
    [[nodiscard]] int TotalRise() const { return m_totalRise; }

    [[nodiscard]] TColor LegendColor() const override { return m_legendColor; }
    // The chart holds up the legend's colour while the legend draws.
    void SetLegendColor(TColor value) { m_legendColor = value; }

    // The zoom band at the zoom state's corners on the canvas, one pixel wide, drawn not-xor in
    // kZoomBandColor: each pixel under it changes by 128 in every channel; drawn twice it leaves
    // no trace.
    static constexpr TColor kZoomBandColor = 0x7F7F7F;
    void DrawZoomRectangle();

    // --- Events ---
    TChartEvent OnAfterDraw;
    TChartEvent OnBeforeDrawAxes;
    TChartEvent OnBeforeDrawSeries;

protected:
    void RenderChart(const TRect& rect) override;
    // Titles and legend take their room off ChartRect (flat drawing is on).
    virtual void LayoutTitlesAndLegend() { }
    virtual void PaintWalls() { }
    // Thickness of the back wall in pixels; the oblique 3D view keeps room for it.
    [[nodiscard]] virtual int BackWallSize() const { return 0; }

private:
    void ComputeDepths(const std::vector<TChartSeries*>& active);
    void LayoutAxes(const std::vector<TChartSeries*>& active);
    void AssignSeriesDepths(const std::vector<TChartSeries*>& active);
    void ApplySeriesMargins(const std::vector<TChartSeries*>& active);
    void PaintAllSeries(const std::vector<TChartSeries*>& active);
    void PaintSeries(TChartSeries& series);
    void PaintSeriesGroup(const std::vector<TChartSeries*>& group);
    void PaintSeriesMarks(TChartSeries& series);
    void ResetCanvas();

    std::vector<TChartSeries*> m_series;
    std::vector<std::unique_ptr<TChartSeries>> m_ownedSeries;
    std::array<std::unique_ptr<TChartLayoutAxis>, kChartAxisCount> m_axes;
    std::array<TCustomChartAxis*, kChartAxisCount> m_chartAxes {}; // the same axes, where they are ours
    std::vector<int> m_depthSlots; // per active series of the current repaint
    bool m_axisVisible = true;
    bool m_view3DWalls = true;
    bool m_clipPoints = true;
    int m_maxPointsPerPage = 0;
    int m_page = 1;
    bool m_scaleLastPage = true;
    bool m_depthPerSeries = true;
    int m_maxDepthOrder = 0;
    int m_seriesDepth = 0;
    int m_totalDepth = 0;
    int m_totalRise = 0;
    TColor m_legendColor = clWhite;
};

// Installs the chart's own five axes on chart, in role order: TChartAxis for the sides,
// TChartDepthAxis for the depth.
void InstallChartAxes(TCustomAxisPanel& chart);

} // namespace tarvo
