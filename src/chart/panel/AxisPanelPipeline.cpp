// One repaint of an axis panel, in its fixed order: background, series preparation, titles and
// legend, depth orders, axis layout, series depths and margins, projection, walls, axes,
// series with their marks, canvas reset, OnAfterDraw.

#include "panel/AxisPanel.h"

#include "core/ChartRounding.h"
#include "series/ChartSeries.h"

#include <algorithm>
#include <cstdlib>

namespace tarvo
{

void TCustomAxisPanel::RenderChart(const TRect& rect)
{
    static_cast<void>(rect); // PanelRect, already known to the panel
    TChartCanvas3D& canvas = Canvas();
    canvas.ForgetDrawnTexts();
    FillPanel();

    const std::vector<TChartSeries*> active = ActiveSeries();
    for (TChartSeries* series : active)
        series->PrepareDraw();

    canvas.BeginFlatDrawing();
    LayoutTitlesAndLegend();
    canvas.EndFlatDrawing();

    ComputeDepths(active);
    LayoutAxes(active);
    AssignSeriesDepths(active);
    ApplySeriesMargins(active);

    canvas.PrepareProjection(m_totalDepth, PanelRect(), ChartRect());
    if (canvas.IsFull3D()) {
        // A true 3D canvas places titles and legend in the whole panel.
        const TRect plot = ChartRect();
        SetChartRect(PanelRect());
        RecalcPlotSize();
        canvas.BeginFlatDrawing();
        LayoutTitlesAndLegend();
        canvas.EndFlatDrawing();
        SetChartRect(plot);
        RecalcPlotSize();
    }

    PaintWalls();

    if (m_axisVisible) {
        if (OnBeforeDrawAxes)
            OnBeforeDrawAxes(*this);
        for (const auto& axis : m_axes)
            if (axis && IsAxisShown(*axis))
                axis->Draw(false);
    }

    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries(*this);
    PaintAllSeries(active);

    if (ZoomState().Active)
        DrawZoomRectangle();
    ResetCanvas();
    if (OnAfterDraw)
        OnAfterDraw(*this);
}

void TCustomAxisPanel::ComputeDepths(const std::vector<TChartSeries*>& active)
{
    m_maxDepthOrder = 0;
    const bool perSeries = m_depthPerSeries && View3D();
    if (perSeries) {
        m_maxDepthOrder = -1;
        for (TChartSeries* series : active)
            series->ComputeDepthOrder();
    }
    // The first series lies deepest, the last in front.
    m_depthSlots.clear();
    for (const TChartSeries* series : active)
        m_depthSlots.push_back(perSeries ? m_maxDepthOrder - series->ComputedDepthOrder() : 0);
}

void TCustomAxisPanel::LayoutAxes(const std::vector<TChartSeries*>& active)
{
    static_cast<void>(active);
    for (const auto& axis : m_axes)
        if (axis)
            axis->ScaleFromSeries();

    m_seriesDepth = 0;
    m_totalDepth = 0;
    m_totalRise = 0;
    if (View3D()) {
        const int k = View3DOptions().Orthogonal() ? 1 : 2;
        m_seriesDepth = Round(PlotWidth() * Chart3DPercent() * 0.001 * k);
        const int n = m_depthPerSeries ? std::max(1, m_maxDepthOrder + 1) : 1;
        m_totalDepth = n * m_seriesDepth;
        m_totalRise = m_totalDepth;
        if (View3DOptions().Orthogonal()) {
            const int wall = m_view3DWalls ? BackWallSize() : 0;
            TRect r = ChartRect();
            r.Right -= std::abs(m_totalDepth) + wall;
            r.Top += std::abs(m_totalRise) + wall;
            SetChartRect(r);
        }
    }
    RecalcPlotSize();

    for (const auto& axis : m_axes) {
        if (!axis || !IsAxisShown(*axis))
            continue;
        const TRect current = ChartRect();
        const TRect claimed = axis->ClaimSpace(current);
        SetChartRect({ std::max(current.Left, claimed.Left), std::max(current.Top, claimed.Top),
            std::min(current.Right, claimed.Right), std::min(current.Bottom, claimed.Bottom) });
    }
    RecalcPlotSize();
    for (const auto& axis : m_axes)
        if (axis)
            axis->ComputePosition();
}

void TCustomAxisPanel::AssignSeriesDepths(const std::vector<TChartSeries*>& active)
{
    for (std::size_t i = 0; i < active.size(); ++i) {
        const int startZ = m_seriesDepth * m_depthSlots[i];
        active[i]->SetDepths(startZ, startZ + m_seriesDepth);
        active[i]->Marks().SetMarkDepth(active[i]->MiddleZ());
    }
}

void TCustomAxisPanel::ApplySeriesMargins(const std::vector<TChartSeries*>& active)
{
    for (const TChartAxisRole role : { carTop, carLeft, carRight, carBottom }) {
        TChartLayoutAxis* axis = Axis(role);
        if (!axis)
            continue;
        int start = 0;
        int end = 0;
        for (TChartSeries* series : active) {
            if (!series->IsAxisRelated(*axis))
                continue;
            int a = 0;
            int b = 0;
            if (axis->Horizontal())
                series->HorizMargins(a, b);
            else
                series->VertMargins(a, b);
            start = std::max(start, a);
            end = std::max(end, b);
        }
        axis->WidenForMargins(start, end);
    }
}

} // namespace tarvo
