#pragma once

// The legend's layout as plain integer geometry: where the box goes, how many rows and columns
// fit, where each row's text and colour box sit, which row lies under a click and how much of
// the plotting rectangle the legend takes. Everything is in pixels; rectangles exclude their
// right and bottom edges, as the canvas draws them.

#include "core/Rect.h"

#include <QPoint>

#include <span>

namespace tarvo
{

enum class TLegendAlignment { laLeft, laRight, laTop, laBottom };
using enum TLegendAlignment;

// Side legends (left, right) stack their items in one column; top and bottom legends fill rows
// of several columns.
[[nodiscard]] constexpr bool IsSideLegend(TLegendAlignment alignment)
{
    return alignment == laLeft || alignment == laRight;
}

// What the layout needs to know of the chart and the legend's settings.
struct TLegendLayoutInput {
    TLegendAlignment Alignment = laRight;
    TRect ChartRect;
    TRect PanelRect;
    int PlotWidth = 0;
    int PlotHeight = 0;
    int PlotCenterX = 0;
    int LineHeight = 0; // one row
    int ItemCount = 0; // items after the skipped FirstValue ones
    bool FrameVisible = true;
    int FrameWidth = 1;
    int ShadowSize = 3;
    int TopPos = 10; // percent
    int ColorWidth = 12; // percent
    int MaxNumRows = 10; // top and bottom legends only
};

// The result of one layout; kept by the legend until the next drawing for clicks.
struct TLegendLayout {
    TLegendAlignment Alignment = laRight;
    TRect Rect;
    int ColorBoxWidth = 0;
    int ColumnCount = 0;
    int RowCount = 0;
    int BoxLeft = 0; // left edge of the first column's colour boxes
    int TextX = 0; // left edge of the first column's texts
    int ItemWidth = 0; // widest text of all items plus 4: a top or bottom legend's text column
    int LineHeight = 0;

    // Rows (side) or rows × columns (top, bottom) that have room.
    [[nodiscard]] int VisibleItems() const;
};

// textWidths: the pixel widths of the ItemCount item texts, first shown item first (fewer
// widths count as empty texts).
[[nodiscard]] TLegendLayout LayOutLegend(const TLegendLayoutInput& input, std::span<const int> textWidths);

// Where the text of the item drawn at position (0 = first drawn) begins.
[[nodiscard]] QPoint LegendItemTextPos(const TLegendLayout& layout, int position);
// The colour box of an item whose text begins at textPos, its left edge at boxX.
[[nodiscard]] TRect LegendColorBox(const TLegendLayout& layout, QPoint textPos, int boxX);
// The left edge of the colour box of an item whose text begins at textX.
[[nodiscard]] constexpr int LegendColorBoxX(const TLegendLayout& layout, int textX)
{
    return textX - 4 - layout.ColorBoxWidth;
}

// Item index drawn at position, for count items from firstValue on (the last first when inverted).
[[nodiscard]] constexpr int LegendItemAtPosition(int position, int firstValue, int count, bool inverted)
{
    return inverted ? firstValue + count - 1 - position : firstValue + position;
}

// The framed box: the legend rectangle grown by the frame width when the frame shows.
[[nodiscard]] TRect LegendBoxRect(const TRect& rect, bool frameVisible, int frameWidth);
// The shadow behind the box, offset by shadowSize; empty when shadowSize is not positive.
[[nodiscard]] TRect LegendShadowRect(const TRect& rect, int shadowSize, bool frameVisible, int frameWidth);

// What the chart keeps of its plotting rectangle next to a drawn legend.
struct TLegendRoom {
    bool ResizeChart = true; // give the legend's own extent away, not only the margin
    int HorizMargin = 0; // 0: 3 % of the plot width
    int VertMargin = 0; // 0: 4 % of the plot height
    int PlotWidth = 0;
    int PlotHeight = 0;
    int ShadowSize = 3;
};
[[nodiscard]] TRect ChartRectBesideLegend(const TRect& chartRect, const TLegendLayout& layout, const TLegendRoom& room);

// The position (counted from the first drawn item) under (x, y), or -1; drawnItems limits the
// answer to cells that hold an item.
[[nodiscard]] int LegendRowAt(const TLegendLayout& layout, int x, int y, int drawnItems);

} // namespace tarvo
