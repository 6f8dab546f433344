// The legend's settings and what it lists; the drawing is in ChartLegendLayout.cpp.

#include "legend/ChartLegend.h"

#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

namespace
{

    // A legend row is one line: line breaks inside labels and titles become blanks.
    [[nodiscard]] std::string OneLine(std::string text)
    {
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    }

} // namespace

TChartLegend::TChartLegend(TChartLegendHost& chart)
    : m_chart(chart)
{
    m_font.SetOnChange([this] { Changed(); });
    m_brush.SetOnChange([this] { Changed(); });
    m_dividingLines.SetOnChange([this] { Changed(); });
    m_frame.SetOnChange([this] { Changed(); });
}

void TChartLegend::Assign(const TChartLegend& other)
{
    SetVisible(other.m_visible);
    SetLegendStyle(other.m_legendStyle);
    SetFirstValue(other.m_firstValue);
    SetAlignment(other.m_alignment);
    SetTextStyle(other.m_textStyle);
    SetColorWidth(other.m_colorWidth);
    SetHorizMargin(other.m_horizMargin);
    SetVertMargin(other.m_vertMargin);
    SetResizeChart(other.m_resizeChart);
    SetInverted(other.m_inverted);
    SetTopPos(other.m_topPos);
    SetColor(other.m_color);
    m_frame = other.m_frame;
    SetMaxNumRows(other.m_maxNumRows);
    m_brush = other.m_brush;
    m_font = other.m_font;
}

void TChartLegend::SetAlignment(TLegendAlignment value) { Store(m_alignment, value); }
void TChartLegend::SetColor(TColor value) { Store(m_color, value); }

void TChartLegend::SetColorWidth(int value)
{
    if (value < 0 || value > 100)
        throw LegendException("Legend Color Width must be between 0 and 100 %");
    Store(m_colorWidth, value);
}

void TChartLegend::SetFirstValue(int value)
{
    if (value < 0)
        throw LegendException("First Legend Value must be > 0");
    Store(m_firstValue, value);
}

void TChartLegend::SetHorizMargin(int value) { Store(m_horizMargin, value); }
void TChartLegend::SetInverted(bool value) { Store(m_inverted, value); }

void TChartLegend::SetLegendStyle(TLegendStyle value)
{
    m_styleInForce = ResolvedStyleFor(value);
    Store(m_legendStyle, value);
}

void TChartLegend::SetMaxNumRows(int value) { Store(m_maxNumRows, value); }
void TChartLegend::SetResizeChart(bool value) { Store(m_resizeChart, value); }
void TChartLegend::SetShadowColor(TColor value) { Store(m_shadowColor, value); }
void TChartLegend::SetShadowSize(int value) { Store(m_shadowSize, value); }
void TChartLegend::SetTextStyle(TLegendTextStyle value) { Store(m_textStyle, value); }

void TChartLegend::SetTopPos(int value)
{
    if (value < 0 || value > 100)
        throw LegendException("Top Legend Position must be between 0 and 100 %");
    Store(m_topPos, value);
}

void TChartLegend::SetVertMargin(int value) { Store(m_vertMargin, value); }
void TChartLegend::SetVisible(bool value) { Store(m_visible, value); }

std::vector<TChartSeries*> TChartLegend::ActiveSeries() const
{
    std::vector<TChartSeries*> active;
    for (int i = 0; i < m_chart.SeriesCount(); ++i)
        if (TChartSeries* series = m_chart.Series(i); series->Active())
            active.push_back(series);
    return active;
}

std::vector<TChartSeries*> TChartLegend::LegendSeries() const
{
    std::vector<TChartSeries*> listed = ActiveSeries();
    std::erase_if(listed, [](const TChartSeries* series) { return !series->ShowInLegend(); });
    return listed;
}

TLegendStyle TChartLegend::ResolvedStyleFor(TLegendStyle style) const
{
    if (style != lsAuto)
        return style;
    return ActiveSeries().size() < 2 ? lsValues : lsSeries;
}

TLegendStyle TChartLegend::ResolvedStyle() const { return ResolvedStyleFor(m_legendStyle); }

int TChartLegend::ItemCountFor(TLegendStyle style) const
{
    int total = 0;
    if (style == lsSeries || style == lsLastValues) {
        total = static_cast<int>(LegendSeries().size());
    } else {
        const std::vector<TChartSeries*> active = ActiveSeries();
        if (!active.empty() && active.front()->ShowInLegend())
            total = active.front()->LegendItemCount();
    }
    return std::max(total - m_firstValue, 0);
}

int TChartLegend::ItemCount() const { return ItemCountFor(ResolvedStyle()); }

std::string TChartLegend::RawItemText(TLegendStyle style, int index) const
{
    switch (style) {
    case lsSeries: {
        const std::vector<TChartSeries*> listed = LegendSeries();
        if (index < 0 || index >= static_cast<int>(listed.size()))
            return {};
        const TChartSeries& series = *listed[static_cast<std::size_t>(index)];
        if (!series.Title().empty())
            return series.Title();
        if (!series.Name().empty())
            return series.Name();
        return "Series " + std::to_string(index);
    }
    case lsLastValues: {
        if (index < 0 || index >= m_chart.SeriesCount())
            return {};
        const TChartSeries& series = *m_chart.Series(index);
        const int last = series.LegendItemCount() - 1;
        return last < 0 ? std::string() : series.LegendItemText(last, m_textStyle);
    }
    case lsAuto:
    case lsValues: {
        const std::vector<TChartSeries*> active = ActiveSeries();
        if (active.empty() || index < 0 || index >= active.front()->LegendItemCount())
            return {};
        return active.front()->LegendItemText(index, m_textStyle);
    }
    }
    return {};
}

std::string TChartLegend::StyledItemText(TLegendStyle style, int index) const
{
    std::string text = OneLine(RawItemText(style, index));
    m_chart.GetLegendText(style, index, text);
    return text;
}

std::string TChartLegend::ItemText(int index) const { return StyledItemText(ResolvedStyle(), index); }

int TChartLegend::RowAt(int x, int y) const { return LegendRowAt(m_layout, x, y, m_drawnItems); }

} // namespace tarvo
