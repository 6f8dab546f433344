#include "core/ChartRounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvo
{
namespace
{

    struct RoundCase {
        double value;
        int expected;
    };

    class RoundHalfEvenTest : public testing::TestWithParam<RoundCase>
    {
    };

    TEST_P(RoundHalfEvenTest, NearestWithHalvesToEven)
    {
        EXPECT_EQ(Round(GetParam().value), GetParam().expected) << GetParam().value;
        EXPECT_EQ(Round64(GetParam().value), GetParam().expected) << GetParam().value;
    }

    INSTANTIATE_TEST_SUITE_P(Table, RoundHalfEvenTest,
        testing::Values(RoundCase { 0.5, 0 }, RoundCase { 1.5, 2 }, RoundCase { 2.5, 2 }, RoundCase { 3.5, 4 },
            RoundCase { -0.5, 0 }, RoundCase { -1.5, -2 }, RoundCase { -2.5, -2 }, RoundCase { 2.4999, 2 },
            RoundCase { 2.5001, 3 }, RoundCase { -2.5001, -3 }, RoundCase { 22.53, 23 }, RoundCase { 17.32, 17 },
            RoundCase { 7.0, 7 }));

    TEST(Rounding, SaturatesInsteadOfOverflowing)
    {
        EXPECT_EQ(Round(1e20), std::numeric_limits<int>::max());
        EXPECT_EQ(Round(-1e20), std::numeric_limits<int>::min());
        EXPECT_EQ(Round(std::numeric_limits<double>::quiet_NaN()), 0);
        EXPECT_EQ(Round64(1e300), std::numeric_limits<std::int64_t>::max());
        EXPECT_EQ(Trunc(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
    }

    TEST(Rounding, TruncationCutsTowardZero)
    {
        EXPECT_EQ(Trunc(2.7), 2);
        EXPECT_EQ(Trunc(-2.7), -2);
        EXPECT_EQ(Trunc64(-9.99), -9);
    }

    struct MulDivCase {
        int value;
        int numerator;
        int denominator;
        int expected;
    };

    class MulDivTest : public testing::TestWithParam<MulDivCase>
    {
    };

    TEST_P(MulDivTest, ExactProductRoundedHalvesToEven)
    {
        const MulDivCase& c = GetParam();
        EXPECT_EQ(MulDiv(c.value, c.numerator, c.denominator), c.expected);
    }

    INSTANTIATE_TEST_SUITE_P(Table, MulDivTest,
        testing::Values(MulDivCase { 751, 3, 100, 23 }, MulDivCase { 433, 4, 100, 17 }, MulDivCase { 5, 1, 2, 2 },
            MulDivCase { 7, 1, 2, 4 }, MulDivCase { -5, 1, 2, -2 }, MulDivCase { -7, 1, 2, -4 },
            MulDivCase { 7, 1, -2, -4 }, MulDivCase { 8, 96, 72, 11 }, MulDivCase { -11, 72, 96, -8 },
            MulDivCase { 2000000000, 3, 2, std::numeric_limits<int>::max() }, MulDivCase { 1, 1, 0, -1 }));

} // namespace
} // namespace tarvo
