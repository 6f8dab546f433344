#include "series/ChartSeriesFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tarvo
{
namespace
{

    struct FormatCase {
        const char* pattern;
        double value;
        const char* expected;
    };

    class FormatFloatTest : public testing::TestWithParam<FormatCase>
    {
    };

    TEST_P(FormatFloatTest, WritesPatternWithInvariantSeparators)
    {
        const FormatCase& c = GetParam();
        EXPECT_EQ(FormatFloat(c.pattern, c.value, FormatSettings::Invariant()), c.expected)
            << c.pattern << " with " << c.value;
    }

    INSTANTIATE_TEST_SUITE_P(Patterns, FormatFloatTest,
        testing::Values(
            // The chart's value and percent patterns.
            FormatCase { "#,##0.###", 1234.5, "1,234.5" }, FormatCase { "#,##0.###", 0, "0" },
            FormatCase { "#,##0.###", 12, "12" }, FormatCase { "#,##0.###", 123456789, "123,456,789" },
            FormatCase { "#,##0.###", -1234567.8915, "-1,234,567.892" },
            FormatCase { "#,##0.###", 999.9996, "1,000" }, // carry into a new digit and a new group
            FormatCase { "#,##0.###", 0.0004, "0" }, FormatCase { "#,##0.###", -0.0004, "0" },
            FormatCase { "##0.## %", 25, "25 %" }, FormatCase { "##0.## %", 100.0 / 3.0, "33.33 %" },
            FormatCase { "##0.## %", 0.005, "0.01 %" }, // halves away from zero
            FormatCase { "##0.## %", 1234, "1234 %" }, // no ',' in the pattern: no grouping
            // Decimal rounding on 15 significant digits, not on the binary value.
            FormatCase { "0.00", 2.675, "2.68" }, FormatCase { "0.00", 0.1 + 0.2, "0.30" },
            FormatCase { "000", 7, "007" }, FormatCase { "#.##", 0.5, ".5" }, FormatCase { "#", 0, "" },
            FormatCase { "'$'#,##0.00", 1234.5, "$1,234.50" }, FormatCase { "\"a;b\" 0", 3, "a;b 3" },
            // Sections: positive; negative; zero.
            FormatCase { "#,##0;(#,##0)", -1234, "(1,234)" }, FormatCase { "0;;'zero'", -5, "-5" },
            FormatCase { "0;-0;'zero'", 0, "zero" }, FormatCase { "0;-0;'zero'", 4, "4" },
            // Scientific notation.
            FormatCase { "0.00E+00", 1234, "1.23E+03" }, FormatCase { "0.00E+00", 0.000999, "9.99E-04" },
            FormatCase { "0.0E+0", 9.96, "1.0E+1" }, FormatCase { "0.0e-00", 1500, "1.5e03" },
            FormatCase { "0.0E+00", 0, "0.0E+00" }));

    TEST(FormatFloatSpecials, NonFiniteValuesHaveWords)
    {
        const auto settings = FormatSettings::Invariant();
        EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN(), settings), "NAN");
        EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity(), settings), "INF");
        EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity(), settings), "-INF");
    }

    TEST(FormatFloatSeparators, UsesTheGivenSeparators)
    {
        FormatSettings german;
        german.decimalSeparator = ",";
        german.thousandSeparator = ".";
        EXPECT_EQ(FormatFloat("#,##0.###", 1234567.25, german), "1.234.567,25");
        EXPECT_EQ(FormatFloat("##0.## %", 12.5, german), "12,5 %");
    }

} // namespace
} // namespace tarvo
