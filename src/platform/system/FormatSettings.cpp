#include "FormatSettings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace tarvo
{

namespace
{

    constexpr int kSignificantDigits = 15;
    // Below this magnitude the general format switches to scientific notation.
    constexpr int kSmallestFixedExponent = -5;

    std::string FixedText(const DecimalDigits& d, const std::string& separator)
    {
        const int digitCount = static_cast<int>(d.digits.size());
        if (d.exponent < 0) {
            return "0" + separator + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
        }
        const int integerDigits = d.exponent + 1;
        if (digitCount <= integerDigits) {
            return d.digits + std::string(static_cast<std::size_t>(integerDigits - digitCount), '0');
        }
        const auto split = static_cast<std::size_t>(integerDigits);
        return d.digits.substr(0, split) + separator + d.digits.substr(split);
    }

    std::string ScientificText(const DecimalDigits& d, const std::string& separator)
    {
        std::string text = d.digits.substr(0, 1);
        if (d.digits.size() > 1) {
            text += separator + d.digits.substr(1);
        }
        return text + "E" + std::to_string(d.exponent);
    }

    bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
    bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view Trimmed(std::string_view text)
    {
        while (!text.empty() && IsBlank(text.front())) {
            text.remove_prefix(1);
        }
        while (!text.empty() && IsBlank(text.back())) {
            text.remove_suffix(1);
        }
        return text;
    }

    bool EqualsIgnoringCase(std::string_view text, std::string_view upperWord)
    {
        if (text.size() != upperWord.size()) {
            return false;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
            if (c != upperWord[i]) {
                return false;
            }
        }
        return true;
    }

    // Moves leading digits from the text to out; returns how many there were.
    std::size_t TakeDigits(std::string_view& text, std::string& out)
    {
        std::size_t count = 0;
        while (count < text.size() && IsDigit(text[count])) {
            out.push_back(text[count]);
            ++count;
        }
        text.remove_prefix(count);
        return count;
    }

} // namespace

// std::to_chars never consults the C locale, which Qt changes later.
DecimalDigits RoundedDigits(double magnitude)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(
        std::begin(buffer), std::end(buffer), magnitude, std::chars_format::scientific, kSignificantDigits - 1);
    (void)error; // 64 characters always hold 15 digits and an exponent
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t ePos = text.find('e');

    DecimalDigits result;
    for (char c : text.substr(0, ePos)) {
        if (c != '.') {
            result.digits.push_back(c);
        }
    }
    while (result.digits.size() > 1 && result.digits.back() == '0') {
        result.digits.pop_back();
    }
    std::string_view exponentText = text.substr(ePos + 1);
    if (!exponentText.empty() && exponentText.front() == '+') {
        exponentText.remove_prefix(1); // from_chars takes "-" but not "+"
    }
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), result.exponent);
    return result;
}

std::string GroupThousands(std::string_view digits, const std::string& separator)
{
    std::string text;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            text += separator;
        text.push_back(digits[i]);
    }
    return text;
}

std::string FloatToText(double value, const FormatSettings& settings)
{
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0"; // -0.0 included: a sign on nothing only confuses readers
    }
    const DecimalDigits d = RoundedDigits(std::fabs(value));
    const bool fixed = d.exponent >= kSmallestFixedExponent && d.exponent < kSignificantDigits;
    const std::string text
        = fixed ? FixedText(d, settings.decimalSeparator) : ScientificText(d, settings.decimalSeparator);
    return value < 0 ? "-" + text : text;
}

std::optional<double> TextToFloat(std::string_view text, const FormatSettings& settings)
{
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (EqualsIgnoringCase(text, "INF")) {
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    if (EqualsIgnoringCase(text, "NAN")) {
        return std::nan("");
    }

    // Rebuilt with "." so that from_chars, which knows no locale, can read it.
    std::string plain;
    std::size_t mantissaDigits = TakeDigits(text, plain);
    const std::string& separator = settings.decimalSeparator;
    if (!separator.empty() && text.substr(0, separator.size()) == separator) {
        text.remove_prefix(separator.size());
        plain.push_back('.');
        mantissaDigits += TakeDigits(text, plain);
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        plain.push_back('e');
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            plain.push_back(text.front());
            text.remove_prefix(1);
        }
        if (TakeDigits(text, plain) == 0) {
            return std::nullopt;
        }
    }
    if (!text.empty()) {
        return std::nullopt;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) {
        return std::nullopt; // out of the range of a double
    }
    return negative ? -value : value;
}

} // namespace tarvo
