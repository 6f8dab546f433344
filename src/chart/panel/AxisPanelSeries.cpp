// Drawing the series of one repaint: each in its slice of depth, clipped to the plotting box,
// its marks after its points; series that share a depth slice point by point, interleaved.

#include "panel/AxisPanel.h"

#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

void TCustomAxisPanel::PaintAllSeries(const std::vector<TChartSeries*>& active)
{
    std::vector<const TChartSeries*> drawn;
    for (TChartSeries* series : active) {
        if (std::find(drawn.begin(), drawn.end(), series) != drawn.end())
            continue;
        if (!View3D() || !series->SharesDepthOrder()) {
            PaintSeries(*series);
            drawn.push_back(series);
            continue;
        }
        // The first of a shared slice draws every series in it.
        std::vector<TChartSeries*> group;
        for (TChartSeries* other : active)
            if (other->ComputedDepthOrder() == series->ComputedDepthOrder())
                group.push_back(other);
        PaintSeriesGroup(group);
        drawn.insert(drawn.end(), group.begin(), group.end());
    }
}

void TCustomAxisPanel::PaintSeries(TChartSeries& series)
{
    series.CalcFirstLastVisible();
    if (series.FirstVisible() == -1)
        return;
    series.BeginDrawValues();
    if (ClipPoints())
        Canvas().ClipBox(ChartRect(), 0, TotalDepth());
    series.DrawValues();
    Canvas().RemoveClip();
    PaintSeriesMarks(series);
    series.EndDrawValues();
}

void TCustomAxisPanel::PaintSeriesGroup(const std::vector<TChartSeries*>& group)
{
    int first = -1;
    int last = -1;
    for (TChartSeries* series : group) {
        series->CalcFirstLastVisible();
        if (series->FirstVisible() == -1)
            continue;
        first = first == -1 ? series->FirstVisible() : std::min(first, series->FirstVisible());
        last = std::max(last, series->LastVisible());
    }
    if (first == -1)
        return;
    for (TChartSeries* series : group)
        series->BeginDrawValues();
    if (ClipPoints())
        Canvas().ClipBox(ChartRect(), 0, TotalDepth());
    const TChartSeries& leader = *group.front();
    auto drawAt = [&](int index) {
        auto drawOne = [index](TChartSeries* series) {
            if (index < series->PointCount())
                series->DrawPoint(index);
        };
        if (leader.DrawForwardAt(index))
            std::for_each(group.begin(), group.end(), drawOne);
        else
            std::for_each(group.rbegin(), group.rend(), drawOne);
    };
    if (leader.DrawForward()) {
        for (int i = first; i <= last; ++i)
            drawAt(i);
    } else {
        for (int i = last; i >= first; --i)
            drawAt(i);
    }
    Canvas().RemoveClip();
    for (TChartSeries* series : group) {
        PaintSeriesMarks(*series);
        series->EndDrawValues();
    }
}

void TCustomAxisPanel::PaintSeriesMarks(TChartSeries& series)
{
    if (!series.Marks().Visible())
        return;
    if (series.Marks().Clip())
        Canvas().ClipBox(ChartRect(), 0, TotalDepth());
    series.PaintMarks();
    Canvas().RemoveClip();
}

void TCustomAxisPanel::DrawZoomRectangle()
{
    // Not-xor with 0x7F7F7F flips the top bit of red, green and blue: every pixel under the band
    // changes by exactly 128 in each channel, so the band shows on the dark gradient, on white
    // walls and on a bar of any colour (mid gray turns black, silver dark gray), and drawing it
    // twice restores the picture, so it moves without a repaint. A pen in the panel colour
    // flipped only the low bits of a light panel colour: invisible on the gradient.
    TChartCanvas3D& canvas = Canvas();
    TChartPen pen;
    pen.SetColor(kZoomBandColor);
    pen.SetMode(pmNotXor);
    canvas.Pen() = pen;
    canvas.Brush().SetStyle(bsClear);
    const TZoomPanningRecord& zoom = ZoomState();
    canvas.Rectangle2D(zoom.X0, zoom.Y0, zoom.X1, zoom.Y1);
}

void TCustomAxisPanel::ResetCanvas()
{
    TChartCanvas3D& canvas = Canvas();
    canvas.Pen() = TChartPen();
    canvas.Brush().SetImage(QImage());
    canvas.Brush().SetColor(clWhite);
    canvas.Brush().SetStyle(bsSolid);
    TChartFont font;
    font.SetColor(clBlack);
    font.SetSize(10);
    canvas.Font() = font;
    canvas.SetBackgroundColor(clWhite);
    canvas.SetBackgroundMode(TRANSPARENT);
}

} // namespace tarvo
