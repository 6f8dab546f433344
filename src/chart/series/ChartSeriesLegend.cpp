// The series' part of the legend: the coloured box in front of each row.

#include "series/ChartSeries.h"

#include "canvas/ChartCanvas3D.h"

namespace tarvo
{

void TChartSeries::DrawLegendSymbol(int index, const TRect& rect)
{
    if (!m_parentChart)
        return;
    TColor color = m_seriesColor;
    if (index == -1) {
        if (m_colorEachPoint)
            return; // the points have many colours; no single one stands for the series
    } else {
        color = LegendItemColor(index);
    }
    if (color == clNone)
        return;
    TColor backColor = m_parentChart->LegendColor();
    TBrushStyle style = bsSolid;
    LegendSymbolBrush(index, backColor, style);
    if (backColor == clDefaultColor) {
        backColor = m_parentChart->LegendColor();
        if (backColor == clDefaultColor)
            backColor = m_parentChart->Color();
    }
    m_parentChart->ApplyBrush(color, style, backColor);
    DrawLegendShape(index, rect);
}

void TChartSeries::DrawLegendShape(int, const TRect& rect)
{
    TChartCanvas3D& canvas = m_parentChart->Canvas();
    canvas.Rectangle2D(rect.Left, rect.Top, rect.Right, rect.Bottom);
    const TColor brushColor = canvas.Brush().Color();
    if (brushColor != m_parentChart->LegendColor())
        return;
    // A box in the legend's own colour would vanish: outline it once more, white on black.
    if (brushColor == clBlack)
        canvas.Pen().SetColor(clWhite);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle2D(rect.Left, rect.Top, rect.Right, rect.Bottom);
    canvas.Pen().SetColor(clBlack);
}

void TChartSeries::LegendSymbolBrush(int, TColor&, TBrushStyle&) { }

} // namespace tarvo
