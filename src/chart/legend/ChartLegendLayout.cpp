// Drawing the legend: lay it out in the plotting rectangle it is given, draw box, shadow and rows,
// and answer what is left of the rectangle.

#include "legend/ChartLegend.h"

#include "canvas/ChartCanvas3D.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesFormat.h"

#include "FormatSettings.h"

#include <algorithm>
#include <string>

namespace tarvo
{

TLegendLayoutInput TChartLegend::LayoutInput(const TRect& chartRect, int lineHeight, int itemCount) const
{
    TLegendLayoutInput input;
    input.Alignment = m_alignment;
    input.ChartRect = chartRect;
    input.PanelRect = m_chart.PanelRect();
    input.PlotWidth = chartRect.Width();
    input.PlotHeight = chartRect.Height();
    input.PlotCenterX = (chartRect.Left + chartRect.Right) / 2;
    input.LineHeight = lineHeight;
    input.ItemCount = itemCount;
    input.FrameVisible = m_frame.Visible();
    input.FrameWidth = m_frame.Width();
    input.ShadowSize = m_shadowSize;
    input.TopPos = m_topPos;
    input.ColorWidth = m_colorWidth;
    input.MaxNumRows = m_maxNumRows;
    return input;
}

TRect TChartLegend::DrawLegend(const TRect& chartRect)
{
    m_styleInForce = ResolvedStyle();
    m_drawnItems = 0;
    m_chart.UseFont(m_font);
    TChartCanvas3D& canvas = m_chart.Canvas();
    const int lineHeight = canvas.LineHeight();

    const int itemCount = ItemCountFor(m_styleInForce);
    const TLegendLayoutInput input = LayoutInput(chartRect, lineHeight, itemCount);
    // A legend at the side is as wide as the rows it shows and has as many rows as fit, so only
    // those are measured (a folder of 5,000 entries lists some 50); one at the top or bottom
    // sizes its columns by every item.
    int measured = itemCount;
    if (IsSideLegend(m_alignment))
        measured = std::min(itemCount, LayOutLegend(input, std::vector<int>(itemCount > 0 ? 1 : 0)).RowCount);
    std::vector<int> widths(static_cast<std::size_t>(itemCount), 0);
    for (int k = 0; k < measured; ++k)
        widths[static_cast<std::size_t>(k)]
            = canvas.TextWidth(QString::fromStdString(StyledItemText(m_styleInForce, m_firstValue + k)));
    m_layout = LayOutLegend(input, widths);
    int shown = std::min(itemCount, m_layout.VisibleItems());
    QString more;
    if (shown >= 1 && shown < itemCount) {
        // The last row that fits says how many items do not, in place of one of them; the
        // legend is laid out again to be wide enough for it.
        widths[static_cast<std::size_t>(shown - 1)] = canvas.TextWidth(MoreItemsText(itemCount - shown + 1));
        m_layout = LayOutLegend(input, widths);
        shown = std::min(itemCount, m_layout.VisibleItems());
        if (shown >= 1 && shown < itemCount)
            more = MoreItemsText(itemCount - shown + 1);
    }
    m_chart.GetLegendRect(m_layout.Rect);
    if (shown < 1)
        return chartRect; // no room or nothing to list: the chart keeps its whole rectangle

    DrawBox();
    // Marks keep off the whole legend, not only its texts.
    canvas.Occupy(m_layout.Rect.ToQRect());
    m_drawnItems = more.isEmpty() ? shown : shown - 1;
    DrawItems(m_styleInForce, itemCount);
    if (!more.isEmpty()) {
        const QPoint at = LegendItemTextPos(m_layout, shown - 1);
        canvas.Brush().SetStyle(bsClear);
        canvas.SetBackgroundMode(TRANSPARENT);
        canvas.SetTextAlignment(TA_LEFT | TA_TOP);
        canvas.TextOut2D(at.x(), at.y(), more);
    }
    return RoomLeft(chartRect);
}

QString TChartLegend::MoreItemsText(int count)
{
    const std::string digits = GroupThousands(std::to_string(count), ChartFormatSettings().thousandSeparator);
    return QStringLiteral("+ %1 more").arg(QString::fromStdString(digits));
}

void TChartLegend::DrawBox()
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    const bool frameVisible = m_frame.Visible();
    const int f = m_frame.Width();

    const TRect shadow = LegendShadowRect(m_layout.Rect, m_shadowSize, frameVisible, f);
    if (!shadow.IsEmpty()) {
        m_chart.ApplyBrush(m_shadowColor, bsSolid, m_shadowColor);
        canvas.FillRect2D(shadow);
    }

    TChartPen framePen = m_chart.AdjustPrintPen(m_frame);
    if (framePen.Color() == clDefaultColor)
        framePen.SetColor(clBlack);
    canvas.ApplyPen(framePen);
    if (m_brush.HasImage()) {
        canvas.Brush() = m_brush;
    } else if (m_brush.Style() == bsSolid) {
        m_chart.ApplyBrush(m_color, bsSolid, m_color);
    } else {
        // A hatch or an empty brush shows the legend colour behind it.
        m_chart.ApplyBrush(m_brush.Color(), m_brush.Style(), m_color);
    }
    const TRect box = LegendBoxRect(m_layout.Rect, frameVisible, f);
    canvas.Rectangle2D(box.Left, box.Top, box.Right, box.Bottom);
}

void TChartLegend::DrawItems(TLegendStyle style, int itemCount)
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    canvas.SetTextAlignment(TA_LEFT | TA_TOP);
    for (int position = 0; position < m_drawnItems; ++position) {
        if (position >= itemCount)
            break;
        DrawItem(style, LegendItemAtPosition(position, m_firstValue, m_drawnItems, m_inverted), position);
    }
}

void TChartLegend::DrawItem(TLegendStyle style, int index, int position)
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    const QPoint textPos = LegendItemTextPos(m_layout, position);
    int x = textPos.x();
    int y = textPos.y();
    int boxX = LegendColorBoxX(m_layout, x);
    m_chart.GetLegendPos(index, x, y, boxX);

    canvas.Brush().SetImage(QImage());
    canvas.Brush().SetStyle(bsClear);
    canvas.SetBackgroundMode(TRANSPARENT);
    const std::string text = StyledItemText(style, index);
    if (!text.empty()) {
        canvas.TextOut2D(x, y, QString::fromStdString(text));
        DrawSymbol(style, index, LegendColorBox(m_layout, QPoint(x, y), boxX));
    }

    if (position > 0 && m_dividingLines.Visible()) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(m_dividingLines));
        canvas.Brush().SetStyle(bsClear);
        canvas.SetBackgroundMode(TRANSPARENT);
        const TRect& r = m_layout.Rect;
        if (IsSideLegend(m_alignment))
            canvas.HorizLine2D(r.Left, r.Right, y);
        else
            canvas.VertLine2D(boxX - 4, r.Top, r.Bottom);
    }
}

void TChartLegend::DrawSymbol(TLegendStyle style, int index, const TRect& box)
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    // Boxes are outlined so that they stand out from the legend, also from a black one.
    TChartPen boxPen;
    boxPen.SetColor(m_color == clBlack ? clWhite : clBlack);
    canvas.ApplyPen(boxPen);

    if (style == lsSeries || style == lsLastValues) {
        const std::vector<TChartSeries*> listed = LegendSeries();
        if (index >= 0 && index < static_cast<int>(listed.size())) {
            listed[static_cast<std::size_t>(index)]->DrawLegendSymbol(-1, box);
            return;
        }
    } else {
        const std::vector<TChartSeries*> active = ActiveSeries();
        if (!active.empty()) {
            TChartSeries& first = *active.front();
            first.DrawLegendSymbol(first.LegendItemToPoint(index), box);
            return;
        }
    }
    m_chart.ApplyBrush(clWhite, bsSolid, clWhite);
    canvas.Rectangle2D(box.Left, box.Top, box.Right, box.Bottom);
}

TRect TChartLegend::RoomLeft(const TRect& chartRect) const
{
    TLegendRoom room;
    room.ResizeChart = m_resizeChart;
    room.HorizMargin = m_horizMargin;
    room.VertMargin = m_vertMargin;
    room.PlotWidth = chartRect.Width();
    room.PlotHeight = chartRect.Height();
    room.ShadowSize = m_shadowSize;
    return ChartRectBesideLegend(chartRect, m_layout, room);
}

} // namespace tarvo
