#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo
{

// The user's number separators. Read once from the locale; tests pin their own.
struct FormatSettings {
    std::string decimalSeparator = ".";
    std::string thousandSeparator = ",";

    // The separators of the user's locale (LC_NUMERIC from the environment), without touching
    // the process-wide locale.
    [[nodiscard]] static FormatSettings FromUserLocale();
    // "." and "," whatever the locale: for machine-readable output.
    [[nodiscard]] static FormatSettings Invariant() { return {}; }
};

// The decimal digits of a finite magnitude > 0 rounded to 15 significant ones: magnitude =
// d.ddd * 10^exponent, trailing zeros removed.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};
[[nodiscard]] DecimalDigits RoundedDigits(double magnitude);

// digits with separator between groups of three, counted from the right.
[[nodiscard]] std::string GroupThousands(std::string_view digits, const std::string& separator);

// General floating-point text with 15 significant digits: no thousands separator, no trailing
// zeros, no decimal separator for whole values; fixed notation when the value is at least
// 0.00001 and has at most 15 digits before the point, otherwise "1.5E20" / "1E-7" style.
[[nodiscard]] std::string FloatToText(double value, const FormatSettings& settings);

// Parses what FloatToText writes (and ordinary decimal texts): optional sign, digits with the
// settings' decimal separator, optional exponent; blanks around it are ignored; nothing else.
[[nodiscard]] std::optional<double> TextToFloat(std::string_view text, const FormatSettings& settings);

} // namespace tarvo
