#pragma once

#include "core/ChangeNotifier.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo
{

// Where AddValue places a new value.
enum class TChartListOrder { loNone, loAscending, loDescending };
using enum TChartListOrder;

// What a value list tells its owner, beyond the values themselves (which the owner reads when it
// needs them). The index is the changed value's for vlcValue and -1 otherwise.
enum class TValueListChange {
    vlcDisplay, // how the values are shown (DateTime): repaint
    vlcScale, // every value as read (Multiplier): whatever follows the values refreshes, then repaint
    vlcValue, // one value replaced in place: whatever follows the values refreshes
    vlcSource, // the data-source field that feeds the list: read the source again
};
using enum TValueListChange;

// One dimension of a series' points (X, Y, or a further value of a concrete series), one value per
// point in point order. Values are stored raw; every read returns raw × Multiplier, ordering uses
// the raw values. Highest, Lowest, Sum and AbsSum are recomputed on the first read after a change.
// An index outside the list raises ChartListIndexError.
class TChartValueList : public TChangeReporter<TValueListChange, int>
{
public:
    // Exchanges two whole points of the list's owner (every list of it, colours, labels).
    using TSwapPoints = std::function<void(int a, int b)>;

    // A list made by a series moves with that series' points: SortPoints asks swapPoints to
    // exchange whole points. A list without one (null) sorts only itself.
    TChartValueList(TSwapPoints swapPoints, std::string name);
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;
    ~TChartValueList() = default;

    // Takes Order, DateTime, Multiplier and ValueSource of source; never its values.
    void Assign(const TChartValueList& source);

    // The values are date-times; only axis labels care.
    [[nodiscard]] bool DateTime() const { return m_dateTime; }
    void SetDateTime(bool value);
    [[nodiscard]] const std::string& Name() const { return m_name; }
    void SetName(std::string value) { m_name = std::move(value); }
    [[nodiscard]] double Multiplier() const { return m_multiplier; }
    void SetMultiplier(double value);
    [[nodiscard]] TChartListOrder Order() const { return m_order; }
    void SetOrder(TChartListOrder value) { m_order = value; }
    // Field name in a data source that feeds this list; setting it re-reads the owner's source.
    [[nodiscard]] const std::string& ValueSource() const { return m_valueSource; }
    void SetValueSource(std::string value);

    [[nodiscard]] int ValueCount() const { return static_cast<int>(m_values.size()); }
    [[nodiscard]] double Value(int index) const;
    // Replaces a value in place (no re-ordering) and tells the owner's dependents.
    void SetValue(int index, double value);
    [[nodiscard]] double LastValue() const;

    // Places value by Order (after any equal values) and returns its index.
    int AddValue(double value);
    // Inserts at index (0 … ValueCount) regardless of Order.
    void InsertValue(int index, double value);
    void DeleteValue(int index);
    void RemoveAll();
    // Exchanges two values of this list only; SortPoints goes through the owner instead.
    void SwapValues(int a, int b);
    // Moves the first value to the end.
    void RotateFirstToEnd();
    // Value i becomes i, for every i.
    void Renumber();

    // First index whose read value equals value exactly, or -1.
    [[nodiscard]] int IndexOfValue(double value) const;

    // Orders the owner's points by this list (reversed for loDescending); nothing for loNone.
    void SortPoints();

    [[nodiscard]] double Highest() const;
    [[nodiscard]] double Lowest() const;
    [[nodiscard]] double Sum() const;
    [[nodiscard]] double AbsSum() const;
    // Whether the values as read never decrease from one index to the next (empty: true).
    [[nodiscard]] bool Ascending() const;
    // Overrides the computed absolute total until the next change: a pie that folds small values
    // into one extra slice counts them once this way.
    void SetAbsSum(double value);

    // The value staged for this list while its owner adds a point (further lists store it then).
    [[nodiscard]] double TempValue() const { return m_tempValue; }
    void SetTempValue(double value) { m_tempValue = value; }

private:
    void CheckIndex(int index, int count) const;
    void MarkStatsDirty() { m_statsDirty = true; }
    void UpdateStatistics() const;
    void QuickSort(int low, int high);
    [[nodiscard]] bool SortsBefore(double a, double b) const;
    void SwapPoints(int a, int b);

    TSwapPoints m_swapPoints;
    std::string m_name;
    bool m_dateTime = false;
    double m_multiplier = 1.0;
    TChartListOrder m_order = loNone;
    std::string m_valueSource;
    std::vector<double> m_values;
    double m_tempValue = 0.0;

    mutable bool m_statsDirty = true;
    mutable double m_highest = 0.0;
    mutable double m_lowest = 0.0;
    mutable double m_sum = 0.0;
    mutable double m_absSum = 0.0;
    mutable bool m_ascending = true;
};

} // namespace tarvo
