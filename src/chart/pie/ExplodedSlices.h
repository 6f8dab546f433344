#pragma once

#include "core/ChangeNotifier.h"

#include <vector>

namespace tarvo
{

// How far each slice of a pie is pulled out of the circle, in percent of the radius, by point
// index. Indices past the end read 0; writing one grows the list with zeros first. A changed
// value is reported to the handler the pie installs.
class TExplodedSlices : public TChangeNotifier
{
public:
    TExplodedSlices() = default;
    TExplodedSlices(const TExplodedSlices&) = delete;
    TExplodedSlices& operator=(const TExplodedSlices&) = delete;
    ~TExplodedSlices() = default;

    [[nodiscard]] int Count() const { return static_cast<int>(m_percents.size()); }
    // 0 for any index outside the list (negative ones too).
    [[nodiscard]] int Value(int index) const;
    // A negative index raises ChartListIndexError.
    void SetValue(int index, int percent);
    // The entries as stored (the list may be shorter than the pie).
    [[nodiscard]] const std::vector<int>& Values() const { return m_percents; }

    void Clear();
    // Grows the list with zeros to count entries (never shrinks it); no repaint.
    void Grow(int count);
    // Exchanges two entries, both of which must exist.
    void Swap(int a, int b);

private:
    std::vector<int> m_percents;
};

} // namespace tarvo
