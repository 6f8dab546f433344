// The series' part of the marks: what each mark says and where the base series puts it.

#include "series/ChartSeries.h"

#include "canvas/ChartCanvas3D.h"
#include "series/ChartSeriesFormat.h"

#include <algorithm>
#include <cmath>

namespace tarvo
{

std::string TChartSeries::PercentText(int index, bool withTotal) const
{
    const double total = MainValueList().AbsSum();
    const double percent = total != 0 ? std::fabs(PointValue(index)) * 100.0 / total : 100.0;
    std::string text = PercentValueText(percent);
    if (withTotal)
        text += " of " + FormatFloat(m_valueFormat, total, ChartFormatSettings());
    return text;
}

std::string TChartSeries::MarkText(int index) const
{
    const std::string label = PointLabel(index);
    const auto labelOrValue = [&]() { return label.empty() ? ValueText(index) : label; };
    std::string text;
    // No default branch: the compiler names a style that has no text.
    switch (m_marks.Style()) {
    case smsValue:
        text = ValueText(index);
        break;
    case smsPercent:
        text = PercentText(index, false);
        break;
    case smsLabel:
        text = labelOrValue();
        break;
    case smsLabelPercent:
        text = labelOrValue() + " " + PercentText(index, false);
        break;
    case smsLabelValue:
        text = labelOrValue() + " " + ValueText(index);
        break;
    case smsLegend:
        text = LegendItemText(index, m_parentChart ? m_parentChart->LegendTextStyle() : ltsLeftValue);
        break;
    case smsPercentTotal:
        text = PercentText(index, true);
        break;
    case smsLabelPercentTotal:
        text = labelOrValue() + " " + PercentText(index, true);
        break;
    case smsXValue:
        text = m_horizAxis ? m_horizAxis->AxisLabelText(XValue(index))
                           : FormatFloat(m_valueFormat, XValue(index), ChartFormatSettings());
        break;
    }
    if (OnGetMarkText) {
        // The handler gets the series as a mutable sender, as every event of the series does;
        // asking for a text changes nothing of its own.
        OnGetMarkText(const_cast<TChartSeries&>(*this), index, text);
    }
    return text;
}

std::vector<std::string> TChartSeries::MarkTexts() const
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(PointCount()));
    for (int i = 0; i < PointCount(); ++i)
        if (!IsNull(i))
            texts.push_back(MarkText(i));
    return texts;
}

void TChartSeries::PaintMarks()
{
    if (!m_parentChart || !m_marks.Visible() || m_firstVisible < 0)
        return;
    TChartCanvas3D& canvas = m_parentChart->Canvas();
    const int last = std::min(m_lastVisible, PointCount() - 1);
    for (int i = m_firstVisible; i <= last; ++i) {
        if (IsNull(i))
            continue;
        const std::string text = MarkText(i);
        if (text.empty())
            continue;
        m_marks.ApplyFont(canvas);
        int width = 0;
        int height = 0;
        m_marks.MeasureBox(canvas, text, width, height);
        TSeriesMarkPosition position;
        const int x = PointX(i);
        const int y = PointY(i);
        position.ArrowStart = QPoint(x, y);
        position.ArrowEnd = position.ArrowStart;
        position.BoxWidth = width;
        position.BoxHeight = height;
        // Centred above the point, its bottom row on the point's row.
        position.BoxCorner = QPoint(x - width / 2, y - height + 1);
        DrawMark(i, text, position);
    }
}

void TChartSeries::DrawMark(int index, const std::string& text, TSeriesMarkPosition& position)
{
    m_marks.DrawMarkItem(index, PointColor(index), position, text);
}

} // namespace tarvo
