#include "series/ChartValueList.h"

#include "core/ChartException.h"

#include <cmath>
#include <utility>

namespace tarvo
{

TChartValueList::TChartValueList(TSwapPoints swapPoints, std::string name)
    : m_swapPoints(std::move(swapPoints))
    , m_name(std::move(name))
{
}

void TChartValueList::Assign(const TChartValueList& source)
{
    if (&source == this)
        return;
    m_order = source.m_order;
    m_dateTime = source.m_dateTime;
    m_multiplier = source.m_multiplier;
    m_valueSource = source.m_valueSource;
    MarkStatsDirty();
}

void TChartValueList::SetDateTime(bool value)
{
    if (m_dateTime == value)
        return;
    m_dateTime = value;
    Changed(vlcDisplay, -1);
}

void TChartValueList::SetMultiplier(double value)
{
    if (m_multiplier == value)
        return;
    m_multiplier = value;
    MarkStatsDirty();
    Changed(vlcScale, -1);
}

void TChartValueList::SetValueSource(std::string value)
{
    if (m_valueSource == value)
        return;
    m_valueSource = std::move(value);
    Changed(vlcSource, -1);
}

void TChartValueList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw ChartListIndexError(index);
}

double TChartValueList::Value(int index) const
{
    CheckIndex(index, ValueCount());
    return m_values[static_cast<std::size_t>(index)] * m_multiplier;
}

void TChartValueList::SetValue(int index, double value)
{
    CheckIndex(index, ValueCount());
    m_values[static_cast<std::size_t>(index)] = value;
    MarkStatsDirty();
    Changed(vlcValue, index);
}

double TChartValueList::LastValue() const { return Value(ValueCount() - 1); }

int TChartValueList::AddValue(double value)
{
    const int count = ValueCount();
    int index = count;
    if (m_order != loNone && count > 0) {
        // Search from the end: the program appends in order, so this stops at once. Equal values
        // stay before the new one, which keeps points with the same X in insertion order.
        const bool ascending = m_order == loAscending;
        index = count - 1;
        while (index >= 0) {
            const double v = m_values[static_cast<std::size_t>(index)];
            if (ascending ? v <= value : v >= value)
                break;
            --index;
        }
        ++index;
    }
    m_values.insert(m_values.begin() + index, value);
    MarkStatsDirty();
    return index;
}

void TChartValueList::InsertValue(int index, double value)
{
    CheckIndex(index, ValueCount() + 1);
    m_values.insert(m_values.begin() + index, value);
    MarkStatsDirty();
}

void TChartValueList::DeleteValue(int index)
{
    CheckIndex(index, ValueCount());
    m_values.erase(m_values.begin() + index);
    MarkStatsDirty();
}

void TChartValueList::RemoveAll()
{
    m_values.clear();
    m_values.shrink_to_fit(); // a cleared series gives its memory back, as it starts afresh
    MarkStatsDirty();
}

void TChartValueList::SwapValues(int a, int b)
{
    CheckIndex(a, ValueCount());
    CheckIndex(b, ValueCount());
    std::swap(m_values[static_cast<std::size_t>(a)], m_values[static_cast<std::size_t>(b)]);
    MarkStatsDirty();
}

void TChartValueList::RotateFirstToEnd()
{
    if (m_values.empty())
        return;
    const double first = m_values.front();
    m_values.erase(m_values.begin());
    m_values.push_back(first);
    MarkStatsDirty();
}

void TChartValueList::Renumber()
{
    for (std::size_t i = 0; i < m_values.size(); ++i)
        m_values[i] = static_cast<double>(i);
    MarkStatsDirty();
}

int TChartValueList::IndexOfValue(double value) const
{
    for (int i = 0; i < ValueCount(); ++i) {
        if (Value(i) == value)
            return i;
    }
    return -1;
}

bool TChartValueList::SortsBefore(double a, double b) const { return m_order == loDescending ? a > b : a < b; }

void TChartValueList::SwapPoints(int a, int b)
{
    if (m_swapPoints)
        m_swapPoints(a, b);
    else
        SwapValues(a, b);
}

void TChartValueList::QuickSort(int low, int high)
{
    // Middle element as pivot; the pivot's value is kept because swapping moves the element.
    int i = low;
    int j = high;
    const double pivot = m_values[static_cast<std::size_t>(low + (high - low) / 2)];
    while (i <= j) {
        while (SortsBefore(m_values[static_cast<std::size_t>(i)], pivot))
            ++i;
        while (SortsBefore(pivot, m_values[static_cast<std::size_t>(j)]))
            --j;
        if (i <= j) {
            if (i != j)
                SwapPoints(i, j);
            ++i;
            --j;
        }
    }
    if (low < j)
        QuickSort(low, j);
    if (i < high)
        QuickSort(i, high);
}

void TChartValueList::SortPoints()
{
    if (m_order == loNone || ValueCount() < 2)
        return;
    QuickSort(0, ValueCount() - 1);
    MarkStatsDirty();
}

void TChartValueList::UpdateStatistics() const
{
    if (!m_statsDirty)
        return;
    m_highest = m_lowest = m_sum = m_absSum = 0.0;
    m_ascending = true;
    if (!m_values.empty()) {
        m_highest = m_lowest = m_sum = Value(0);
        m_absSum = std::fabs(m_sum);
        for (int i = 1; i < ValueCount(); ++i) {
            const double v = Value(i);
            if (v < Value(i - 1))
                m_ascending = false;
            if (v < m_lowest)
                m_lowest = v;
            else if (v > m_highest)
                m_highest = v;
            m_sum += v;
            m_absSum += std::fabs(v);
        }
    }
    m_statsDirty = false;
}

bool TChartValueList::Ascending() const
{
    UpdateStatistics();
    return m_ascending;
}

double TChartValueList::Highest() const
{
    UpdateStatistics();
    return m_highest;
}

double TChartValueList::Lowest() const
{
    UpdateStatistics();
    return m_lowest;
}

double TChartValueList::Sum() const
{
    UpdateStatistics();
    return m_sum;
}

double TChartValueList::AbsSum() const
{
    UpdateStatistics();
    return m_absSum;
}

void TChartValueList::SetAbsSum(double value)
{
    UpdateStatistics();
    m_absSum = value;
}

} // namespace tarvo
