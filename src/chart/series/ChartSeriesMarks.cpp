// The series' part of the marks: what each mark says and where the base series puts it.

#include "series/ChartSeries.h"

#include "canvas/ChartCanvas3D.h"
#include "series/ChartSeriesFormat.h"

#include <algorithm>
#include <array>
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
    for (int i = 0; i < PointCount(); ++i)
        if (ShowsMark(i))
            texts.push_back(MarkText(i));
    return texts;
}

TSeriesMarkPosition TChartSeries::MarkPositionAt(int index, int width, int height) const
{
    TSeriesMarkPosition position;
    const int x = PointX(index);
    const int y = PointY(index);
    position.ArrowStart = QPoint(x, y);
    position.ArrowEnd = position.ArrowStart;
    position.BoxWidth = width;
    position.BoxHeight = height;
    // Centred above the point, its bottom row on the point's row.
    position.BoxCorner = QPoint(x - width / 2, y - height + 1);
    return position;
}

void TChartSeries::PaintMarks()
{
    if (!m_parentChart || !m_marks.Visible() || m_firstVisible < 0)
        return;
    const int last = std::min(m_lastVisible, PointCount() - 1);
    if (m_marks.HideOverlapping()) {
        PaintMarksApart(m_firstVisible, last);
        return;
    }
    for (int i = m_firstVisible; i <= last; ++i) {
        if (!ShowsMark(i))
            continue;
        const std::string text = MarkText(i);
        if (text.empty())
            continue;
        DrawMarkInItsBox(i, text);
    }
}

void TChartSeries::DrawMarkInItsBox(int index, const std::string& text, int slide)
{
    TChartCanvas3D& canvas = m_parentChart->Canvas();
    m_marks.ApplyFont(canvas);
    int width = 0;
    int height = 0;
    m_marks.MeasureBox(canvas, text, width, height);
    TSeriesMarkPosition position = MarkPositionAt(index, width, height);
    m_markSlide = slide;
    DrawMark(index, text, position);
    m_markSlide = 0;
}

std::optional<int> TChartSeries::FreeMarkSlide(const TSeriesMarkPosition& position, const TChartCanvas3D& canvas) const
{
    // A box that straddles its arrow's end (a bar's mark, centred over the bar) may slide
    // sideways until the end lies kMarkSlideInset inside one of its lower corners: the arrow
    // still meets its lower edge. Next to the value axis, the largest bars of a list sorted by
    // size would otherwise lose their marks to the axis labels.
    constexpr int kMarkSlideInset = 4;
    const int reach = position.BoxWidth / 2 - kMarkSlideInset;
    const int endX = position.ArrowEnd.x();
    const bool straddles = position.BoxCorner.x() < endX && position.BoxCorner.x() + position.BoxWidth > endX;
    const std::array<int, 3> slides { 0, reach, -reach };
    const std::size_t tries = straddles && reach > 0 ? slides.size() : 1;
    for (std::size_t k = 0; k < tries; ++k) {
        TSeriesMarkPosition slid = position;
        slid.BoxCorner.rx() += slides[k];
        if (!canvas.Occupied().Intersects(m_marks.ScreenBox(slid, canvas)))
            return slides[k];
    }
    return std::nullopt;
}

void TChartSeries::PaintMarksApart(int first, int last)
{
    TChartCanvas3D& canvas = m_parentChart->Canvas();
    m_marks.ApplyFont(canvas);
    std::vector<int> order;
    for (int i = first; i <= last; ++i)
        if (ShowsMark(i))
            order.push_back(i);
    // The largest values claim their room first; of equal ones the earlier point.
    const TChartValueList& values = MainValueList();
    std::stable_sort(order.begin(), order.end(),
        [&values](int a, int b) { return std::fabs(values.Value(a)) > std::fabs(values.Value(b)); });

    // Any mark's box holds at least one line and a "W", and PlaceMark anchors a box by the side
    // that faces its point: where that smallest box does not fit, no box does, and the text is
    // never made.
    int smallestWidth = 0;
    int smallestHeight = 0;
    m_marks.MeasureBox(canvas, {}, smallestWidth, smallestHeight);
    struct TPlacedMark {
        int index;
        std::string text;
        int slide;
    };
    std::vector<TPlacedMark> placed;
    for (const int i : order) {
        const bool custom = m_marks.Positions().IsCustom(i);
        if (!custom) {
            TSeriesMarkPosition probe = MarkPositionAt(i, smallestWidth, smallestHeight);
            PlaceMark(i, probe);
            if (!FreeMarkSlide(probe, canvas)) {
                m_marks.Positions().Forget(i);
                continue;
            }
        }
        std::string text = MarkText(i);
        if (text.empty()) {
            m_marks.Positions().Forget(i);
            continue;
        }
        int width = 0;
        int height = 0;
        m_marks.MeasureBox(canvas, text, width, height);
        TSeriesMarkPosition position = MarkPositionAt(i, width, height);
        PlaceMark(i, position);
        std::optional<int> slide = 0;
        if (custom) {
            position = *m_marks.Positions().At(i);
            if (canvas.Occupied().Intersects(m_marks.ScreenBox(position, canvas)))
                slide.reset();
        } else {
            slide = FreeMarkSlide(position, canvas);
        }
        if (!slide) {
            m_marks.Positions().Forget(i);
            continue;
        }
        position.BoxCorner.rx() += *slide;
        canvas.Occupy(m_marks.ScreenBox(position, canvas));
        placed.push_back({ i, std::move(text), *slide });
    }

    // Drawn as without the rule, in point order, so a picture without overlaps stays the same.
    std::sort(
        placed.begin(), placed.end(), [](const TPlacedMark& a, const TPlacedMark& b) { return a.index < b.index; });
    for (const TPlacedMark& mark : placed)
        DrawMarkInItsBox(mark.index, mark.text, mark.slide);
}

void TChartSeries::PlaceMark(int, TSeriesMarkPosition&) { }

void TChartSeries::DrawMark(int index, const std::string& text, TSeriesMarkPosition& position)
{
    PlaceMark(index, position);
    position.BoxCorner.rx() += m_markSlide;
    m_marks.DrawMarkItem(index, PointColor(index), position, text);
}

} // namespace tarvo
