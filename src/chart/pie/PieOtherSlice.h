#pragma once

#include "core/ChangeNotifier.h"

#include <string>

namespace tarvo
{

// How small values are folded into one "other" slice.
enum class TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
using enum TPieOtherStyle;

// The options of a pie's "other" slice: values below Value (a percentage of the total with
// poBelowPercent, a plain value with poBelowValue) go into one slice labelled Text. A value like
// a pen: the pie installs the change handler, copies take the values only.
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
    // Copies Style, Text and Value; reports once when any of them differs.
    void Assign(const TPieOtherSlice& source) { *this = source; }

    bool operator==(const TPieOtherSlice& other) const { return m_values == other.m_values; }

    [[nodiscard]] TPieOtherStyle Style() const { return m_values.style; }
    void SetStyle(TPieOtherStyle value) { Store(m_values.style, value); }
    [[nodiscard]] const std::string& Text() const { return m_values.text; }
    void SetText(const std::string& value) { Store(m_values.text, value); }
    [[nodiscard]] double Value() const { return m_values.value; }
    void SetValue(double value) { Store(m_values.value, value); }

private:
    struct Values {
        TPieOtherStyle style = poNone;
        std::string text = kDefaultText;
        double value = 0;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
};

} // namespace tarvo
