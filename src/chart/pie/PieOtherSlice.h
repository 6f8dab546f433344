#pragma once

#include <string>

namespace tarvo
{

class TPieSeries;

// How small values are folded into one "other" slice.
enum class TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
using enum TPieOtherStyle;

// The options of a pie's "other" slice: values below Value (a percentage of the total with
// poBelowPercent, a plain value with poBelowValue) go into one slice labelled Text. Every change
// repaints the owning pie.
class TPieOtherSlice
{
public:
    static constexpr const char* kDefaultText = "Other";

    explicit TPieOtherSlice(TPieSeries& owner);
    TPieOtherSlice(const TPieOtherSlice&) = delete;
    TPieOtherSlice& operator=(const TPieOtherSlice&) = delete;
    ~TPieOtherSlice() = default;

    // Copies Style, Text and Value (not the owner).
    void Assign(const TPieOtherSlice& source);

    [[nodiscard]] TPieOtherStyle Style() const { return m_style; }
    void SetStyle(TPieOtherStyle value);
    [[nodiscard]] const std::string& Text() const { return m_text; }
    void SetText(const std::string& value);
    [[nodiscard]] double Value() const { return m_value; }
    void SetValue(double value);

private:
    void Changed();

    TPieSeries& m_owner;
    TPieOtherStyle m_style = poNone;
    std::string m_text = kDefaultText;
    double m_value = 0;
};

} // namespace tarvo
