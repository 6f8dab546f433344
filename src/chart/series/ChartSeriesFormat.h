#pragma once

// Number texts of the chart: values and percentages written with format patterns such as
// "#,##0.###" and "##0.## %" and the user's separators.

#include "FormatSettings.h"

#include <string>
#include <string_view>

namespace tarvo
{

// value written by pattern. A pattern is up to three sections separated by ';' (positive; negative;
// zero; an empty or missing section falls back to the first, and a negative value written by the
// first section gets a leading '-'). In a section: '0' is a digit that is always written, '#' a
// digit written only when significant, the first '.' marks the decimal separator, a ',' among the
// digit placeholders asks for thousands separators, "E+00" / "E-00" (or 'e') switches to scientific
// notation with at least that many exponent digits, text in '…' or "…" and every other character
// is copied. Rounding is to the nearest, halves away from zero, on the value's 15 significant
// digits. Infinite values give "INF" / "-INF", NaN gives "NAN".
[[nodiscard]] std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& settings);

// The separators the chart writes numbers with: the user's locale unless set otherwise (tests pin
// their own).
[[nodiscard]] const FormatSettings& ChartFormatSettings();
void SetChartFormatSettings(const FormatSettings& settings);

} // namespace tarvo
