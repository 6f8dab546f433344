// Series fed by other series, copying between series, sample values.

#include "series/ChartSeries.h"

#include "core/ChartException.h"

#include <algorithm>
#include <random>

namespace tarvo
{

void TChartSeries::Assign(const TChartSeries& source)
{
    if (&source == this)
        return;
    const bool exchange = IsVertical() != source.IsVertical();
    XValues().Assign(exchange ? source.YValues() : source.XValues());
    YValues().Assign(exchange ? source.XValues() : source.YValues());

    if (source.m_dataSource && source.m_dataSource != this && m_parentChart) {
        SetDataSource(source.m_dataSource);
    } else {
        SetDataSource(nullptr);
        ClearPointStore();
        for (int i = 0; i < source.PointCount(); ++i) {
            const int index = CopyPointFrom(source, i);
            if (index < 0)
                continue;
            m_colors[static_cast<std::size_t>(index)] = source.m_colors[static_cast<std::size_t>(i)];
            m_labels[static_cast<std::size_t>(index)] = source.m_labels[static_cast<std::size_t>(i)];
        }
        NotifyDependents(snRefresh);
    }

    m_seriesColor = source.m_seriesColor;
    m_colorEachPoint = source.m_colorEachPoint;
    m_title = source.m_title;
    m_valueFormat = source.m_valueFormat;
    m_percentFormat = source.m_percentFormat;
    m_active = source.m_active;
    m_horizAxisKind = source.m_horizAxisKind;
    m_vertAxisKind = source.m_vertAxisKind;
    m_customHorizAxis = source.m_customHorizAxis;
    m_customVertAxis = source.m_customVertAxis;
    m_cursor = source.m_cursor;
    m_showInLegend = source.m_showInLegend;
    m_style = source.m_style;
    m_identifier = source.m_identifier;
    m_marks.Assign(source.m_marks);
    BindAxes();
    RequestRepaint();
}

bool TChartSeries::DependsOn(const TChartSeries& series) const
{
    for (const TChartSeries* s = m_dataSource; s; s = s->m_dataSource) {
        if (s == &series)
            return true;
    }
    return false;
}

void TChartSeries::AddDependent(TChartSeries& series)
{
    if (std::find(m_dependents.begin(), m_dependents.end(), &series) == m_dependents.end())
        m_dependents.push_back(&series);
}

void TChartSeries::RemoveDependent(TChartSeries& series) { std::erase(m_dependents, &series); }

void TChartSeries::SetDataSource(TChartSeries* source)
{
    if (source == m_dataSource)
        return;
    if (source) {
        if (source == this || source->DependsOn(*this))
            throw ChartException("Circular Series dependences are not allowed");
        if (!m_parentChart)
            throw ChartException("No ParentChart to validate DataSource");
        if (!source->CanBeSource() || !AcceptsSource(*source))
            throw ChartException("No valid DataSource: " + source->Name());
    }
    if (m_dataSource)
        m_dataSource->RemoveDependent(*this);
    m_dataSource = source;
    if (source) {
        source->AddDependent(*this);
        FillFromSource(*source);
    }
}

void TChartSeries::CheckDataSource()
{
    if (m_dataSource)
        FillFromSource(*m_dataSource);
}

void TChartSeries::NotifyDependents(TSeriesNotice notice, int valueIndex)
{
    // A dependent may drop its link while reacting; work on a snapshot.
    const std::vector<TChartSeries*> dependents = m_dependents;
    for (TChartSeries* dependent : dependents) {
        switch (notice) {
        case snClear:
            dependent->ClearPoints();
            break;
        case snAdd:
            dependent->AddPointFromSource(*this, valueIndex);
            break;
        case snDelete:
            dependent->SourcePointDeleted(*this, valueIndex);
            break;
        case snRefresh:
            dependent->FillFromSource(*this);
            break;
        }
    }
}

int TChartSeries::CopyPointFrom(const TChartSeries& source, int index)
{
    const int shared = std::min(ValueListCount(), source.ValueListCount());
    for (int i = 2; i < shared; ++i)
        ValueList(i).SetTempValue(source.ValueList(i).Value(index));
    for (int i = shared; i < ValueListCount(); ++i)
        ValueList(i).SetTempValue(0.0);
    double x = source.XValue(index);
    double y = source.YValue(index);
    if (IsVertical() != source.IsVertical())
        std::swap(x, y);
    return InsertPoint(x, y, {}, clDefaultColor);
}

int TChartSeries::AddPointFromSource(const TChartSeries& source, int index)
{
    const int added = CopyPointFrom(source, index);
    if (added < 0)
        return added;
    if (index < static_cast<int>(source.m_colors.size()))
        m_colors[static_cast<std::size_t>(added)] = source.m_colors[static_cast<std::size_t>(index)];
    m_labels[static_cast<std::size_t>(added)] = source.PointLabel(index);
    PointAdded(added);
    return added;
}

void TChartSeries::FillFromSource(const TChartSeries& source)
{
    if (!AcceptsSource(source))
        return;
    ClearPoints();
    for (int i = 0; i < source.PointCount(); ++i) {
        const int added = CopyPointFrom(source, i);
        if (added < 0)
            continue;
        m_colors[static_cast<std::size_t>(added)] = source.m_colors[static_cast<std::size_t>(i)];
        m_labels[static_cast<std::size_t>(added)] = source.m_labels[static_cast<std::size_t>(i)];
    }
    NotifyDependents(snRefresh);
    RequestRepaint();
}

void TChartSeries::SourcePointDeleted(TChartSeries&, int index)
{
    if (index >= 0 && index < PointCount())
        DeletePoint(index);
}

void TChartSeries::FillSampleValues(int count)
{
    if (count <= 0)
        throw ChartException("FillSampleValues NumValues must be > 0");
    ClearPoints();
    // A random walk looks like data; a fixed seed shows the same preview every time.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(count));
    std::uniform_int_distribution<int> step(-100, 100);
    double value = 500;
    for (int i = 0; i < count; ++i) {
        value = std::clamp(value + step(random), 0.0, 1000.0);
        Append(value);
    }
}

} // namespace tarvo
