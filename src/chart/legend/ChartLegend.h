#pragma once

#include "core/ChartException.h"
#include "legend/ChartLayoutLegend.h"
#include "legend/ChartLegendGeometry.h"
#include "legend/ChartLegendHost.h"
#include "series/ChartSeriesTypes.h"
#include "style/ChartBrush.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"

#include <string>
#include <vector>

namespace tarvo
{

class TChartSeries;

// A legend setting out of range; the setting keeps its value.
class LegendException : public ChartException
{
public:
    using ChartException::ChartException;
};

// The chart's legend: a framed, shadowed box at one side of the chart with one row per item,
// each a colour box and a text, which takes its room from the plotting rectangle. It belongs to
// its chart (installed with TCustomChart::SetLegend), which it asks for its series and lets
// change texts and places (the chart's legend events). Layout, drawn items and the resolved
// style of the last drawing stay valid for clicks until the next drawing.
class TChartLegend : public TChartLayoutLegend
{
public:
    explicit TChartLegend(TChartLegendHost& chart);
    TChartLegend(const TChartLegend&) = delete;
    TChartLegend& operator=(const TChartLegend&) = delete;
    ~TChartLegend() override = default;

    // Copies the settings of another legend (not its chart, shadow, dividing lines or events).
    void Assign(const TChartLegend& other);

    // --- Settings ---
    [[nodiscard]] TChartFont& Font() { return m_font; }
    [[nodiscard]] const TChartFont& Font() const { return m_font; }
    [[nodiscard]] TLegendAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TLegendAlignment value);
    [[nodiscard]] TChartBrush& Brush() { return m_brush; }
    [[nodiscard]] const TChartBrush& Brush() const { return m_brush; }
    // Background colour; also the colour the series' legend symbols must stand out from.
    [[nodiscard]] TColor Color() const override { return m_color; }
    void SetColor(TColor value);
    // Colour box width in percent of the text column, 0 … 100.
    [[nodiscard]] int ColorWidth() const { return m_colorWidth; }
    void SetColorWidth(int value);
    [[nodiscard]] TChartHiddenPen& DividingLines() { return m_dividingLines; }
    [[nodiscard]] const TChartHiddenPen& DividingLines() const { return m_dividingLines; }
    // Leading items left out, ≥ 0.
    [[nodiscard]] int FirstValue() const { return m_firstValue; }
    void SetFirstValue(int value);
    [[nodiscard]] TChartPen& Frame() { return m_frame; }
    [[nodiscard]] const TChartPen& Frame() const { return m_frame; }
    // Pixels between a side legend and the plot; 0: 3 % of the plot width.
    [[nodiscard]] int HorizMargin() const { return m_horizMargin; }
    void SetHorizMargin(int value);
    [[nodiscard]] bool Inverted() const { return m_inverted; }
    void SetInverted(bool value);
    [[nodiscard]] TLegendStyle LegendStyle() const { return m_legendStyle; }
    void SetLegendStyle(TLegendStyle value);
    // Row limit of top and bottom legends.
    [[nodiscard]] int MaxNumRows() const { return m_maxNumRows; }
    void SetMaxNumRows(int value);
    // Off: the plot keeps the legend's width and only loses the margin.
    [[nodiscard]] bool ResizeChart() const { return m_resizeChart; }
    void SetResizeChart(bool value);
    [[nodiscard]] TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor value);
    // Pixels.
    [[nodiscard]] int ShadowSize() const { return m_shadowSize; }
    void SetShadowSize(int value);
    [[nodiscard]] TLegendTextStyle TextStyle() const override { return m_textStyle; }
    void SetTextStyle(TLegendTextStyle value);
    // Offset in percent of the panel, 0 … 100: down for side legends, right for the others.
    [[nodiscard]] int TopPos() const { return m_topPos; }
    void SetTopPos(int value);
    // Pixels between a top or bottom legend and the plot; 0: 4 % of the plot height.
    [[nodiscard]] int VertMargin() const { return m_vertMargin; }
    void SetVertMargin(int value);
    [[nodiscard]] bool Visible() const override { return m_visible; }
    void SetVisible(bool value) override;

    // --- Items ---
    // LegendStyle, with lsAuto resolved against the chart's active series as they are now.
    [[nodiscard]] TLegendStyle ResolvedStyle() const;
    // The style of the last drawing (or of the last LegendStyle change).
    [[nodiscard]] TLegendStyle StyleInForce() const { return m_styleInForce; }
    // Items after the skipped FirstValue ones, never below 0.
    [[nodiscard]] int ItemCount() const;
    // Text of item index (FirstValue is the first shown), one line, after the chart's say.
    [[nodiscard]] std::string ItemText(int index) const;

    // --- Chart pipeline ---
    [[nodiscard]] bool Vertical() const override { return IsSideLegend(m_alignment); }
    // When not every item fits, the last row that does shows MoreItemsText of the rest instead
    // of an item: it has no symbol, and RowAt does not count it.
    [[nodiscard]] TRect DrawLegend(const TRect& chartRect) override;
    // "+ 4,987 more", the number grouped as the chart's number formats say.
    [[nodiscard]] static QString MoreItemsText(int count);

    // --- State of the last drawing ---
    [[nodiscard]] const TLegendLayout& Layout() const { return m_layout; }
    [[nodiscard]] const TRect& LegendRect() const { return m_layout.Rect; }
    [[nodiscard]] int ColorBoxWidth() const { return m_layout.ColorBoxWidth; }
    [[nodiscard]] int ColumnCount() const { return m_layout.ColumnCount; }
    [[nodiscard]] int RowCount() const { return m_layout.RowCount; }
    // The position (0 = first drawn item) under the point, or -1.
    [[nodiscard]] int RowAt(int x, int y) const override;

private:
    // The chart's active series in list order, and those of them shown in the legend.
    [[nodiscard]] std::vector<TChartSeries*> ActiveSeries() const;
    [[nodiscard]] std::vector<TChartSeries*> LegendSeries() const;
    [[nodiscard]] TLegendStyle ResolvedStyleFor(TLegendStyle style) const;
    [[nodiscard]] int ItemCountFor(TLegendStyle style) const;
    [[nodiscard]] std::string RawItemText(TLegendStyle style, int index) const;
    [[nodiscard]] std::string StyledItemText(TLegendStyle style, int index) const;
    // Drawing, step by step (ChartLegendLayout.cpp).
    [[nodiscard]] TLegendLayoutInput LayoutInput(const TRect& chartRect, int lineHeight, int itemCount) const;
    void DrawBox();
    void DrawItems(TLegendStyle style, int itemCount);
    void DrawItem(TLegendStyle style, int index, int position);
    void DrawSymbol(TLegendStyle style, int index, const TRect& box);
    [[nodiscard]] TRect RoomLeft(const TRect& chartRect) const;

    TChartLegendHost& m_chart;
    TChartFont m_font;
    TLegendAlignment m_alignment = laRight;
    TChartBrush m_brush;
    TColor m_color = clWhite;
    int m_colorWidth = 12;
    TChartHiddenPen m_dividingLines;
    int m_firstValue = 0;
    TChartPen m_frame;
    int m_horizMargin = 0;
    bool m_inverted = false;
    TLegendStyle m_legendStyle = lsAuto;
    int m_maxNumRows = 10;
    bool m_resizeChart = true;
    TColor m_shadowColor = clBlack;
    int m_shadowSize = 3;
    TLegendTextStyle m_textStyle = ltsLeftValue;
    int m_topPos = 10;
    int m_vertMargin = 0;
    bool m_visible = true;

    TLegendLayout m_layout;
    TLegendStyle m_styleInForce = lsValues;
    int m_drawnItems = 0;
};

} // namespace tarvo
