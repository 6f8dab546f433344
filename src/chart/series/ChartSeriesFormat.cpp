#include "series/ChartSeriesFormat.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tarvo
{

namespace
{

    // What one pattern section asks for.
    struct TNumberLayout {
        std::string prefix; // literal text before the first digit placeholder
        std::string suffix; // literal text after it
        bool hasDigits = false;
        int integerPlaceholders = 0;
        int minIntegerDigits = 0; // placeholders from the first '0' up to the decimal point
        int maxDecimals = 0;
        int minDecimals = 0; // up to the last '0' after the point
        bool thousands = false;
        bool scientific = false;
        char exponentChar = 'E';
        bool exponentPlus = false;
        int exponentDigits = 0;
    };

    // Splits at ';' outside quoted text.
    std::vector<std::string_view> Sections(std::string_view pattern)
    {
        std::vector<std::string_view> sections;
        char quote = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const char c = pattern[i];
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == ';') {
                sections.push_back(pattern.substr(start, i - start));
                start = i + 1;
            }
        }
        sections.push_back(pattern.substr(start));
        return sections;
    }

    TNumberLayout ParseSection(std::string_view section)
    {
        TNumberLayout layout;
        bool afterPoint = false;
        bool seenIntegerZero = false;
        auto literal
            = [&layout](std::string_view text) { (layout.hasDigits ? layout.suffix : layout.prefix).append(text); };
        for (std::size_t i = 0; i < section.size(); ++i) {
            const char c = section[i];
            if (c == '\'' || c == '"') {
                const std::size_t close = section.find(c, i + 1);
                const std::size_t end = close == std::string_view::npos ? section.size() : close;
                literal(section.substr(i + 1, end - i - 1));
                i = end;
            } else if ((c == '0' || c == '#') && !layout.scientific) {
                layout.hasDigits = true;
                if (afterPoint) {
                    ++layout.maxDecimals;
                    if (c == '0')
                        layout.minDecimals = layout.maxDecimals;
                } else {
                    ++layout.integerPlaceholders;
                    seenIntegerZero = seenIntegerZero || c == '0';
                    if (seenIntegerZero)
                        ++layout.minIntegerDigits;
                }
            } else if (c == '.' && !afterPoint && !layout.scientific) {
                afterPoint = true;
            } else if (c == ',' && !layout.scientific) {
                layout.thousands = true;
            } else if ((c == 'E' || c == 'e') && layout.hasDigits && !layout.scientific && i + 1 < section.size()
                && (section[i + 1] == '+' || section[i + 1] == '-')) {
                layout.scientific = true;
                layout.exponentChar = c;
                layout.exponentPlus = section[i + 1] == '+';
                i += 2;
                while (i < section.size() && section[i] == '0') {
                    ++layout.exponentDigits;
                    ++i;
                }
                --i;
            } else {
                literal(section.substr(i, 1));
            }
        }
        return layout;
    }

    // A decimal number as digits with the point after pointPos of them.
    struct TDecimal {
        std::string digits;
        int pointPos = 0;
    };

    // Rounds to decimals fraction digits, halves away from zero; afterwards digits holds exactly
    // pointPos integer digits (leading zeros possible) and decimals fraction digits.
    void RoundTo(TDecimal& d, int decimals)
    {
        if (d.pointPos < 0) {
            d.digits.insert(0, static_cast<std::size_t>(-d.pointPos), '0');
            d.pointPos = 0;
        }
        const auto keep = static_cast<std::size_t>(d.pointPos + decimals);
        if (d.digits.size() <= keep)
            d.digits.append(keep + 1 - d.digits.size(), '0');
        const bool up = d.digits[keep] >= '5';
        d.digits.resize(keep);
        if (!up)
            return;
        for (std::size_t i = keep; i-- > 0;) {
            if (d.digits[i] != '9') {
                ++d.digits[i];
                return;
            }
            d.digits[i] = '0';
        }
        d.digits.insert(0, 1, '1');
        ++d.pointPos;
    }

    // The section that writes value, and whether a '-' goes before it (a negative value
    // without a section of its own).
    std::pair<std::string_view, bool> SectionFor(std::string_view pattern, double value)
    {
        const std::vector<std::string_view> sections = Sections(pattern);
        if (value < 0) {
            if (sections.size() >= 2 && !sections[1].empty())
                return { sections[1], false };
            return { sections[0], true };
        }
        if (value == 0 && sections.size() >= 3 && !sections[2].empty())
            return { sections[2], false };
        return { sections[0], false };
    }

    // The magnitude rounded to the layout's decimals; for a scientific layout also the exponent
    // shown, with the point placed after the layout's integer digits.
    struct TPlacedDigits {
        TDecimal decimal;
        int shownExponent = 0;
    };

    TPlacedDigits PlaceDigits(double magnitude, const TNumberLayout& layout)
    {
        TPlacedDigits placed;
        TDecimal& d = placed.decimal;
        int exponent = 0;
        if (magnitude > 0) {
            DecimalDigits rounded = RoundedDigits(magnitude);
            d.digits = std::move(rounded.digits);
            exponent = rounded.exponent;
        }
        if (!layout.scientific) {
            d.pointPos = magnitude > 0 ? exponent + 1 : 0;
            RoundTo(d, layout.maxDecimals);
            return placed;
        }
        const int integerDigits = std::max(1, layout.integerPlaceholders);
        d.pointPos = integerDigits;
        placed.shownExponent = magnitude > 0 ? exponent - (integerDigits - 1) : 0;
        RoundTo(d, layout.maxDecimals);
        if (d.pointPos > integerDigits) { // 9.99 → 10.0: one digit more, exponent one up
            d.digits.resize(static_cast<std::size_t>(integerDigits + layout.maxDecimals));
            d.pointPos = integerDigits;
            ++placed.shownExponent;
        }
        return placed;
    }

    // The exponent part: its letter, its sign, at least the layout's digits.
    std::string ExponentText(const TNumberLayout& layout, int shownExponent)
    {
        std::string text(1, layout.exponentChar);
        if (shownExponent < 0)
            text.push_back('-');
        else if (layout.exponentPlus)
            text.push_back('+');
        std::string digits = std::to_string(std::abs(shownExponent));
        if (static_cast<int>(digits.size()) < layout.exponentDigits)
            digits.insert(0, static_cast<std::size_t>(layout.exponentDigits) - digits.size(), '0');
        return text + digits;
    }

    std::string ComposeText(
        const TNumberLayout& layout, const TPlacedDigits& placed, bool writeSign, const FormatSettings& settings)
    {
        const TDecimal& d = placed.decimal;
        std::string integerDigits = d.digits.substr(0, static_cast<std::size_t>(d.pointPos));
        std::string fraction = d.digits.substr(static_cast<std::size_t>(d.pointPos));
        const std::size_t firstSignificant = integerDigits.find_first_not_of('0');
        integerDigits.erase(0, firstSignificant == std::string::npos ? integerDigits.size() : firstSignificant);
        if (static_cast<int>(integerDigits.size()) < layout.minIntegerDigits)
            integerDigits.insert(0, static_cast<std::size_t>(layout.minIntegerDigits) - integerDigits.size(), '0');
        while (static_cast<int>(fraction.size()) > layout.minDecimals && fraction.back() == '0')
            fraction.pop_back();

        // A value that rounds to zero is written without sign.
        const bool allZero = d.digits.find_first_not_of('0') == std::string::npos;
        std::string text = writeSign && !allZero ? "-" : "";
        text += layout.prefix;
        text += layout.thousands ? GroupThousands(integerDigits, settings.thousandSeparator) : integerDigits;
        if (!fraction.empty())
            text += settings.decimalSeparator + fraction;
        if (layout.scientific)
            text += ExponentText(layout, placed.shownExponent);
        return text + layout.suffix;
    }

} // namespace

std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& settings)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const auto [section, writeSign] = SectionFor(pattern, value);
    const TNumberLayout layout = ParseSection(section);
    if (!layout.hasDigits)
        return (writeSign ? "-" : "") + layout.prefix + layout.suffix;
    return ComposeText(layout, PlaceDigits(std::fabs(value), layout), writeSign, settings);
}

namespace
{
    FormatSettings& SharedSettings()
    {
        static FormatSettings settings = FormatSettings::FromUserLocale();
        return settings;
    }
} // namespace

const FormatSettings& ChartFormatSettings() { return SharedSettings(); }

void SetChartFormatSettings(const FormatSettings& settings) { SharedSettings() = settings; }

} // namespace tarvo
