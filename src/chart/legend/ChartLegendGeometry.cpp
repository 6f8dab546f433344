#include "legend/ChartLegendGeometry.h"

#include "core/ChartRounding.h"

#include <algorithm>

namespace tarvo
{

namespace
{

    [[nodiscard]] int WidestOf(std::span<const int> widths, int count)
    {
        int widest = 0;
        const int available = std::min(count, static_cast<int>(widths.size()));
        for (int i = 0; i < available; ++i)
            widest = std::max(widest, widths[static_cast<std::size_t>(i)]);
        return widest;
    }

    // The frame's room on the near side of the box.
    [[nodiscard]] int FrameInset(const TLegendLayoutInput& input)
    {
        return input.FrameVisible ? input.FrameWidth + 1 : 0;
    }

    void LayOutSideRows(const TLegendLayoutInput& input, TLegendLayout& layout)
    {
        const int f = input.FrameWidth;
        const int h = input.LineHeight;
        layout.Rect.Top = input.PanelRect.Top + Round(input.TopPos * input.PanelRect.Height() * 0.01);
        layout.ColumnCount = 1;
        if (layout.Rect.Top >= input.ChartRect.Bottom || h < 1)
            layout.RowCount = 0;
        else
            layout.RowCount
                = std::min(input.ItemCount, (input.PlotHeight + input.ChartRect.Top - 2 * f - layout.Rect.Top) / h);
        // No room at all is no rows, never a negative count.
        layout.RowCount = std::max(layout.RowCount, 0);
        layout.Rect.Bottom = layout.Rect.Top + layout.RowCount * h + 2;
    }

    void LayOutColumns(const TLegendLayoutInput& input, TLegendLayout& layout)
    {
        const int cell = layout.ItemWidth + layout.ColorBoxWidth + 8;
        if (8 >= input.ChartRect.Right || cell < 1)
            layout.ColumnCount = 0;
        else
            layout.ColumnCount = std::min(input.ItemCount, (input.PlotWidth - 2 * input.FrameWidth - 8) / cell);
        if (layout.ColumnCount <= 0) {
            layout.ColumnCount = std::max(layout.ColumnCount, 0);
            layout.RowCount = 0;
            return;
        }
        const int n = input.ItemCount;
        layout.RowCount = n / layout.ColumnCount + (n % layout.ColumnCount != 0 ? 1 : 0);
        layout.RowCount = std::clamp(layout.RowCount, 0, std::max(input.MaxNumRows, 0));
    }

    void LayOutVertically(const TLegendLayoutInput& input, TLegendLayout& layout)
    {
        const int h = input.LineHeight;
        switch (input.Alignment) {
        case laTop:
            layout.Rect.Top = input.ChartRect.Top + FrameInset(input);
            LayOutColumns(input, layout);
            layout.Rect.Bottom = layout.Rect.Top + layout.RowCount * h + 2;
            break;
        case laBottom:
            layout.Rect.Bottom = input.ChartRect.Bottom - input.ShadowSize - FrameInset(input);
            LayOutColumns(input, layout);
            layout.Rect.Top = layout.Rect.Bottom - layout.RowCount * h - 2;
            break;
        case laLeft:
        case laRight:
            LayOutSideRows(input, layout);
            break;
        }
    }

    void LayOutHorizontally(const TLegendLayoutInput& input, std::span<const int> textWidths, TLegendLayout& layout)
    {
        // Side legends are as wide as the rows they show, not as the widest of all items.
        const int shownWidest = WidestOf(textWidths, layout.RowCount);
        const int sideBoxWidth = Round((shownWidest + 10) * input.ColorWidth * 0.01);
        TRect& r = layout.Rect;
        switch (input.Alignment) {
        case laLeft:
            r.Left = input.ChartRect.Left + FrameInset(input);
            layout.BoxLeft = r.Left + 4;
            layout.ColorBoxWidth = sideBoxWidth;
            layout.TextX = layout.BoxLeft + layout.ColorBoxWidth + 4;
            r.Right = layout.TextX + shownWidest + 2;
            break;
        case laRight:
            r.Right = input.ChartRect.Right - FrameInset(input) - input.ShadowSize;
            layout.TextX = r.Right - shownWidest - 2;
            layout.ColorBoxWidth = sideBoxWidth;
            layout.BoxLeft = layout.TextX - layout.ColorBoxWidth - 4;
            r.Left = layout.BoxLeft - 4;
            break;
        case laTop:
        case laBottom: {
            const int boxWidth = std::min(input.PlotWidth,
                2 * input.ShadowSize + (layout.ColorBoxWidth + layout.ItemWidth + 4) * layout.ColumnCount + 8);
            const int shift = Round(input.TopPos * (input.PanelRect.Width() - boxWidth) * 0.01);
            r.Left = input.PlotCenterX - boxWidth / 2 + shift;
            r.Right = input.PlotCenterX + boxWidth / 2 + shift;
            layout.BoxLeft = r.Left + 4;
            layout.TextX = r.Left + layout.ColorBoxWidth + 8;
            break;
        }
        }
    }

    // The first row a whose band top + a·rowHeight + 1 … + rowHeight holds y, or -1.
    [[nodiscard]] int RowIn(int top, int rowHeight, int rows, int y)
    {
        for (int a = 0; a < rows; ++a) {
            const int start = top + a * rowHeight + 1;
            if (start <= y && y <= start + rowHeight)
                return a;
        }
        return -1;
    }

} // namespace

int TLegendLayout::VisibleItems() const { return IsSideLegend(Alignment) ? RowCount : ColumnCount * RowCount; }

TLegendLayout LayOutLegend(const TLegendLayoutInput& input, std::span<const int> textWidths)
{
    TLegendLayout layout;
    layout.Alignment = input.Alignment;
    layout.LineHeight = input.LineHeight;
    layout.ItemWidth = WidestOf(textWidths, input.ItemCount) + 4;
    layout.ColorBoxWidth = Round(layout.ItemWidth * input.ColorWidth * 0.01);
    LayOutVertically(input, layout);
    LayOutHorizontally(input, textWidths, layout);
    return layout;
}

QPoint LegendItemTextPos(const TLegendLayout& layout, int position)
{
    const int h = layout.LineHeight;
    if (IsSideLegend(layout.Alignment) || layout.ColumnCount < 1)
        return { layout.TextX, layout.Rect.Top + 1 + position * h };
    const int column = position % layout.ColumnCount;
    const int row = position / layout.ColumnCount;
    return { layout.TextX + column * (layout.ItemWidth + layout.ColorBoxWidth + 4), layout.Rect.Top + 1 + row * h };
}

TRect LegendColorBox(const TLegendLayout& layout, QPoint textPos, int boxX)
{
    return { boxX, textPos.y() + 2, boxX + layout.ColorBoxWidth, textPos.y() + layout.LineHeight - 2 };
}

TRect LegendBoxRect(const TRect& rect, bool frameVisible, int frameWidth)
{
    return frameVisible ? rect.Inflated(frameWidth, frameWidth) : rect;
}

TRect LegendShadowRect(const TRect& rect, int shadowSize, bool frameVisible, int frameWidth)
{
    if (shadowSize <= 0)
        return {};
    // The shadow reaches past the frame's far half so that a thick frame does not cover it.
    const int reach = frameVisible ? shadowSize + frameWidth + (frameWidth - 1) / 2 : shadowSize - 1;
    return { rect.Left + shadowSize, rect.Top + shadowSize, rect.Right + reach, rect.Bottom + reach };
}

TRect ChartRectBesideLegend(const TRect& chartRect, const TLegendLayout& layout, const TLegendRoom& room)
{
    TRect result = chartRect;
    const int horizMargin = room.HorizMargin != 0 ? room.HorizMargin : MulDiv(3, room.PlotWidth, 100);
    const int vertMargin = room.VertMargin != 0 ? room.VertMargin : MulDiv(4, room.PlotHeight, 100);
    switch (layout.Alignment) {
    case laLeft:
        if (room.ResizeChart)
            result.Left = layout.Rect.Right;
        result.Left += horizMargin;
        break;
    case laRight:
        if (room.ResizeChart)
            result.Right = layout.Rect.Left;
        result.Right -= horizMargin;
        break;
    case laTop:
        if (room.ResizeChart)
            result.Top = layout.Rect.Bottom + room.ShadowSize;
        result.Top += vertMargin;
        break;
    case laBottom:
        if (room.ResizeChart)
            result.Bottom = layout.Rect.Top;
        result.Bottom -= vertMargin;
        break;
    }
    return result;
}

int LegendRowAt(const TLegendLayout& layout, int x, int y, int drawnItems)
{
    const TRect& r = layout.Rect;
    if (x < r.Left || x > r.Right || y < r.Top || y > r.Bottom)
        return -1;
    int position = -1;
    if (IsSideLegend(layout.Alignment)) {
        if (layout.RowCount <= 0)
            return -1;
        position = RowIn(r.Top, r.Height() / layout.RowCount, layout.RowCount, y);
    } else {
        if (layout.ColumnCount <= 0)
            return -1;
        const int columnWidth = r.Width() / layout.ColumnCount;
        for (int a = 0; a < layout.ColumnCount; ++a) {
            const int start = r.Left + a * columnWidth + 1;
            if (x < start || x > start + columnWidth)
                continue;
            const int row = RowIn(r.Top, layout.LineHeight, layout.RowCount, y);
            position = row < 0 ? -1 : a + row * layout.ColumnCount; // the last matching column wins
        }
    }
    // An empty cell at the end of the last row holds no item.
    return position < drawnItems ? position : -1;
}

} // namespace tarvo
