#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"

#include <string>

namespace tarvo
{

// How small values are folded into one "other" slice. poBelowRank keeps the Value largest slices
// (by absolute value; of equal ones the earlier point) and folds the rest, but only when that
// folds at least two (one slice would merely be renamed); once it folds, slices under
// MinimumPercent of the total fold as well, however few slices are left.
enum class TPieOtherStyle { poNone, poBelowPercent, poBelowValue, poBelowRank };
using enum TPieOtherStyle;

// The options of a pie's "other" slice: values below Value (a percentage of the total with
// poBelowPercent, a plain value with poBelowValue, a rank with poBelowRank) go into one slice
// labelled Text, in Color (clDefaultColor: the series' own choice). A value like a pen: the pie
// installs the change handler, copies take the values only.
class TPieOtherSlice : public TChangeNotifier
{
public:
    static constexpr const char* kDefaultText = "Other";

    TPieOtherSlice() = default;
    TPieOtherSlice(const TPieOtherSlice& other) = default;
    TPieOtherSlice& operator=(const TPieOtherSlice& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TPieOtherSlice() = default;
    // Copies Style, Text, Value, Color and MinimumPercent; reports once when any of them differs.
    void Assign(const TPieOtherSlice& source) { *this = source; }

    bool operator==(const TPieOtherSlice& other) const { return m_values == other.m_values; }

    [[nodiscard]] TPieOtherStyle Style() const { return m_values.style; }
    void SetStyle(TPieOtherStyle value) { Store(m_values.style, value); }
    [[nodiscard]] const std::string& Text() const { return m_values.text; }
    void SetText(const std::string& value) { Store(m_values.text, value); }
    [[nodiscard]] double Value() const { return m_values.value; }
    void SetValue(double value) { Store(m_values.value, value); }
    [[nodiscard]] TColor Color() const { return m_values.color; }
    void SetColor(TColor value) { Store(m_values.color, value); }
    // poBelowRank only: the share of the total a slice needs to keep its own place.
    [[nodiscard]] double MinimumPercent() const { return m_values.minimumPercent; }
    void SetMinimumPercent(double value) { Store(m_values.minimumPercent, value); }

private:
    struct Values {
        TPieOtherStyle style = poNone;
        std::string text = kDefaultText;
        double value = 0;
        TColor color = clDefaultColor;
        double minimumPercent = 0;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
};

} // namespace tarvo
