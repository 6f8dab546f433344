#include "pie/ExplodedSlices.h"

#include "core/ChartException.h"

#include <utility>

namespace tarvo
{

int TExplodedSlices::Value(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return m_percents[static_cast<std::size_t>(index)];
}

void TExplodedSlices::SetValue(int index, int percent)
{
    if (index < 0)
        throw ChartListIndexError(index);
    Grow(index + 1);
    int& stored = m_percents[static_cast<std::size_t>(index)];
    if (stored == percent)
        return;
    stored = percent;
    Changed();
}

void TExplodedSlices::Clear()
{
    m_percents.clear();
    m_percents.shrink_to_fit();
}

void TExplodedSlices::Grow(int count)
{
    if (count > Count())
        m_percents.resize(static_cast<std::size_t>(count), 0);
}

void TExplodedSlices::Swap(int a, int b)
{
    if (a < 0 || a >= Count())
        throw ChartListIndexError(a);
    if (b < 0 || b >= Count())
        throw ChartListIndexError(b);
    std::swap(m_percents[static_cast<std::size_t>(a)], m_percents[static_cast<std::size_t>(b)]);
}

} // namespace tarvo
