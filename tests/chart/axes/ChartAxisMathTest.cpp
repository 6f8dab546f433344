// The arithmetic of axes without a chart: mapping and its inverse, nice steps, label steps and
// values, the overlap rule of text labels, minor ticks.

#include "axes/ChartAxisMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvo
{
namespace
{

    struct MappingCase {
        const char* name;
        bool horizontal;
        bool inverted;
        bool logarithmic;
        int lowEndPixel; // where WorkMinimum lands
        int highEndPixel; // where WorkMaximum lands
    };

    class AxisMappingTest : public ::testing::TestWithParam<MappingCase>
    {
    protected:
        [[nodiscard]] TAxisMapping Make() const
        {
            TAxisMapping m;
            m.Extent = { 100, 450 };
            m.Horizontal = GetParam().horizontal;
            m.Inverted = GetParam().inverted;
            m.Logarithmic = GetParam().logarithmic;
            m.WorkMinimum = m.Logarithmic ? 1.0 : 0.0;
            m.WorkMaximum = m.Logarithmic ? 10000.0 : 1400.0;
            return m;
        }
    };

    TEST_P(AxisMappingTest, EndsLandOnTheirSide)
    {
        const TAxisMapping m = Make();
        EXPECT_EQ(AxisValueToPixel(m, m.WorkMinimum), GetParam().lowEndPixel);
        EXPECT_EQ(AxisValueToPixel(m, m.WorkMaximum), GetParam().highEndPixel);
    }

    TEST_P(AxisMappingTest, EveryPixelRoundTrips)
    {
        const TAxisMapping m = Make();
        for (int p = m.Extent.StartPos; p <= m.Extent.EndPos; ++p)
            ASSERT_EQ(AxisValueToPixel(m, AxisPixelToValue(m, p)), p) << "pixel " << p;
    }

    TEST_P(AxisMappingTest, ValuesRoundTripWithinHalfAPixel)
    {
        const TAxisMapping m = Make();
        const double low = m.WorkMinimum;
        const double high = m.WorkMaximum;
        for (int k = 0; k <= 20; ++k) {
            const double v = m.Logarithmic ? low * std::pow(high / low, k / 20.0) : low + (high - low) * k / 20.0;
            const double back = AxisPixelToValue(m, AxisValueToPixel(m, v));
            // One pixel of value at that place.
            const double pixelValue = std::fabs(AxisPixelToValue(m, AxisValueToPixel(m, v) + 1) - back);
            EXPECT_LE(std::fabs(back - v), pixelValue) << "value " << v;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Axes, AxisMappingTest,
        ::testing::Values(MappingCase { "Bottom", true, false, false, 100, 450 },
            MappingCase { "BottomInverted", true, true, false, 450, 100 },
            MappingCase { "Left", false, false, false, 450, 100 },
            MappingCase { "LeftInverted", false, true, false, 100, 450 },
            MappingCase { "BottomLog", true, false, true, 100, 450 },
            MappingCase { "BottomLogInverted", true, true, true, 450, 100 },
            MappingCase { "LeftLog", false, false, true, 450, 100 },
            MappingCase { "LeftLogInverted", false, true, true, 100, 450 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(AxisMapping, DegenerateCasesGoToTheCentreOrZero)
    {
        TAxisMapping m;
        m.Extent = { 100, 451 };
        m.WorkMinimum = m.WorkMaximum = 7.0;
        EXPECT_EQ(LinearValueToPixel(m, 7.0), 275); // zero range: CenterPos, truncated
        m.WorkMinimum = 0.0;
        m.WorkMaximum = 1.0;
        EXPECT_EQ(LinearValueToPixel(m, 1e300), 275); // would overflow 32 bits
        m.Extent = { 100, 100 };
        EXPECT_EQ(LinearPixelToValue(m, 100), 0.0); // shorter than one pixel
        m.Extent = { 100, 450 };
        m.Logarithmic = true;
        m.WorkMinimum = 1.0;
        m.WorkMaximum = 100.0;
        EXPECT_EQ(LogValueToPixel(m, 0.0), 100); // not on a logarithmic axis: the low end
        EXPECT_EQ(LogValueToPixel(m, -5.0), 100);
        m.Horizontal = false;
        EXPECT_EQ(LogValueToPixel(m, 0.0), 450);
        m.WorkMaximum = 1.0;
        EXPECT_EQ(LogValueToPixel(m, 1.0), 275);
    }

    TEST(AxisExtent, SpansThePercentOfTheRectangle)
    {
        const TRect r { 10, 20, 410, 370 };
        EXPECT_EQ(AxisExtentOf(r, true, 0, 100), (TAxisExtent { 10, 410 }));
        EXPECT_EQ(AxisExtentOf(r, false, 0, 100), (TAxisExtent { 20, 370 }));
        EXPECT_EQ(AxisExtentOf(r, true, 25, 75), (TAxisExtent { 110, 310 }));
        EXPECT_EQ((TAxisExtent { 20, 371 }).CenterPos(), 195);
    }

    TEST(NiceStep, ClimbsOneTwoFive)
    {
        const struct {
            double in;
            double out;
        } rows[] = { { 1, 2 }, { 1.5, 2 }, { 2, 5 }, { 4.99, 5 }, { 5, 10 }, { 9.9, 10 }, { 10, 20 }, { 20, 50 },
            { 50, 100 }, { 250, 500 }, { 0.5, 1 }, { 0.02, 0.05 }, { 1e-12, 2e-12 }, { 2e-12, 5e-12 }, { 5e-12, 1e-11 },
            { 0, 1 } };
        for (const auto& row : rows)
            EXPECT_NEAR(NextNiceStep(row.in), row.out, row.out * 1e-12) << row.in;
    }

    TEST(NiceStep, NeverStallsFromTheSmallestStep)
    {
        double step = kAxisMinStep;
        for (int i = 0; i < 40; ++i) {
            const double next = NextNiceStep(step);
            ASSERT_GT(next, step * 1.9);
            step = next;
        }
    }

    TEST(LabelStep, ThreeHundredFiftyPixelsHoldTwentyFiveLabels)
    {
        EXPECT_EQ(LabelRoom(350, 13, 10), 25);
        EXPECT_EQ(LabelRoom(350, 13, 0), 27);
        EXPECT_EQ(LabelRoom(350, 0, 10), 1);
        // 1, 2, 5, 10, 20, 50 would give more than 25 labels.
        EXPECT_EQ(ValueLabelStep(1400, 25, 0, 10), 100);
        EXPECT_EQ(ValueLabelStep(1400, 28, 0, 10), 50);
    }

    TEST(LabelStep, SmallRangeClimbsFromTheSmallestStep)
    {
        EXPECT_NEAR(ValueLabelStep(0.5, 25, 0, 10), 0.02, 1e-15);
        EXPECT_NEAR(ValueLabelStep(0.5, 10, 0, 10), 0.05, 1e-15);
    }

    TEST(LabelStep, IncrementIsKeptOnlyWhenItFits)
    {
        EXPECT_EQ(ValueLabelStep(1400, 25, 250, 10), 250);
        EXPECT_EQ(ValueLabelStep(1400, 3, 250, 10), 500); // 1400 / 500 = 2.8 → 3 labels
        EXPECT_EQ(ValueLabelStep(1400, 2, 250, 10), 1000);
    }

    TEST(LabelStep, EdgeCases)
    {
        EXPECT_EQ(ValueLabelStep(0, 25, 0, 10), kAxisMinStep); // equal ends
        EXPECT_EQ(ValueLabelStep(1400, 0, 0, 10), kAxisMinStep); // no room at all
        EXPECT_EQ(ValueLabelStep(1400, 2, 0, 0), 1); // no separation: the start value
    }

    TEST(ValueLabels, FromTheTopDownOnMultiplesOfTheStep)
    {
        const std::vector<double> values = ValueLabelValues(0, 1400, 100, true);
        ASSERT_EQ(values.size(), 15U);
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_DOUBLE_EQ(values[i], 1400.0 - 100.0 * static_cast<double>(i));
        const std::vector<double> rounded = ValueLabelValues(0, 1400, 250, true);
        EXPECT_EQ(rounded, (std::vector<double> { 1250, 1000, 750, 500, 250, 0 }));
        const std::vector<double> unrounded = ValueLabelValues(30, 1400, 250, false);
        EXPECT_EQ(unrounded, (std::vector<double> { 1400, 1150, 900, 650, 400, 150 }));
    }

    TEST(ValueLabels, SmallStepsKeepTheMinimum)
    {
        const std::vector<double> values = ValueLabelValues(0, 0.5, 0.02, true);
        ASSERT_EQ(values.size(), 26U);
        EXPECT_NEAR(values.back(), 0.0, 1e-12);
    }

    TEST(ValueLabels, EqualEndsGiveOneLabelAndTooManyNone)
    {
        EXPECT_EQ(ValueLabelValues(0, 0, kAxisMinStep, true), (std::vector<double> { 0 }));
        EXPECT_EQ(ValueLabelValues(5, 5, kAxisMinStep, true), (std::vector<double> { 5 }));
        EXPECT_TRUE(ValueLabelValues(0, 1e6, 1, true).empty());
    }

    TEST(LogLabels, PowersOfTheBase)
    {
        EXPECT_EQ(LogLabelValues(1, 10000, 10), (std::vector<double> { 1, 10, 100, 1000, 10000 }));
        EXPECT_EQ(LogLabelValues(3, 40, 2), (std::vector<double> { 4, 8, 16, 32 }));
        const std::vector<double> fromZero = LogLabelValues(0, 100, 10);
        ASSERT_EQ(fromZero.size(), 4U);
        EXPECT_DOUBLE_EQ(fromZero.front(), 0.1);
    }

    TEST(TextLabelSpacing, LongNamesAreThinnedOut)
    {
        // 30 names 80 pixels wide, 23 pixels apart, separation 10 %.
        TTextLabelSpacing spacing(10);
        std::vector<int> drawn;
        for (int i = 0; i < 30; ++i)
            if (spacing.Accept(23 * i, 80))
                drawn.push_back(i);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.front(), 0); // the first is always drawn
        EXPECT_EQ(drawn[1], 4); // gap 92 ≥ 48 + 40
        EXPECT_EQ(drawn[2], 9); // gap 115 ≥ 48 + 48; 8 would give 92
        for (std::size_t k = 1; k < drawn.size(); ++k)
            EXPECT_GE(23 * (drawn[k] - drawn[k - 1]), 80) << "labels overlap";
    }

    TEST(TextLabelSpacing, NoSeparationDrawsEveryLabel)
    {
        TTextLabelSpacing spacing(0);
        for (int i = 0; i < 10; ++i)
            EXPECT_TRUE(spacing.Accept(i, 80));
    }

    TEST(MinorTicks, BetweenAndBeyondTheTicks)
    {
        std::vector<int> minor = MinorTickPixels({ 100, 200 }, 3, { 50, 260 }, true);
        std::sort(minor.begin(), minor.end());
        EXPECT_EQ(minor, (std::vector<int> { 75, 125, 150, 175, 225, 250 }));
        EXPECT_EQ(MinorTickPixels({ 100, 200 }, 3, { 50, 260 }, false), (std::vector<int> { 125, 150, 175 }));
        EXPECT_TRUE(MinorTickPixels({ 100 }, 3, { 50, 260 }, true).empty());
    }

} // namespace
} // namespace tarvo
