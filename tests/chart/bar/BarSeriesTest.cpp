// A bar series' own settings: values at creation, the checked setters, the settings bar series
// of one chart share, copying, and the depth slot side-by-side bars share.

#include "bar/BarSeries.h"
#include "QtApp.h"
#include "axes/ChartAxis.h"
#include "panel/ChartPanelTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvo
{
namespace
{

    class BarSeriesTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtApp();
            InstallChartAxes(chart);
        }
        void TearDown() override
        {
            first.SetParentChart(nullptr);
            second.SetParentChart(nullptr);
        }
        // The chart is a widget: the application must exist before it does.
        bool m_appReady = (test::EnsureQtApp(), true);
        TChart chart;
        TBarSeries first;
        TBarSeries second;
    };

    TEST_F(BarSeriesTest, StartsWithVisibleMarksAndTheBarValueList)
    {
        EXPECT_TRUE(first.Marks().Visible());
        EXPECT_EQ(first.Marks().ArrowLength(), 20);
        EXPECT_EQ(first.BarValues().Name(), "Bar");
        EXPECT_EQ(first.BarValues().Order(), loNone);
        EXPECT_EQ(first.MultiBar(), mbSide);
        EXPECT_EQ(first.BarWidthPercent(), 70);
        EXPECT_EQ(first.SampleValueCount(), 6);
        EXPECT_EQ(first.BarBrush().Color(), clDefaultColor);
    }

    TEST_F(BarSeriesTest, AddBarStandsTheBarsAtZeroOneTwo)
    {
        first.AddBar(5, "usr", clRed);
        first.AddBar(-2, "var");
        first.AddBar(7, "home", clBlue);
        ASSERT_EQ(first.PointCount(), 3);
        EXPECT_EQ(first.XValue(0), 0);
        EXPECT_EQ(first.XValue(2), 2);
        EXPECT_EQ(first.YValue(1), -2);
        EXPECT_EQ(first.PointLabel(2), "home");
        EXPECT_EQ(first.PointColor(2), clBlue);
    }

    struct RejectedCase {
        const char* name;
        bool offset;
        int value;
        const char* message;
    };

    class BarRejectTest : public ::testing::TestWithParam<RejectedCase>
    {
    };

    TEST_P(BarRejectTest, OutOfRangeRaisesAndKeepsTheValue)
    {
        TBarSeries bar;
        bar.SetBarWidthPercent(55);
        bar.SetOffsetPercent(10);
        const RejectedCase& c = GetParam();
        try {
            if (c.offset)
                bar.SetOffsetPercent(c.value);
            else
                bar.SetBarWidthPercent(c.value);
            FAIL() << "no BarException";
        } catch (const BarException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(bar.BarWidthPercent(), 55);
        EXPECT_EQ(bar.OffsetPercent(), 10);
    }

    INSTANTIATE_TEST_SUITE_P(Setters, BarRejectTest,
        ::testing::Values(RejectedCase { "WidthZero", false, 0, "Bar Width Percent must be between 1 and 100" },
            RejectedCase { "Width101", false, 101, "Bar Width Percent must be between 1 and 100" },
            RejectedCase { "OffsetMinus101", true, -101, "Bar Offset Percent must be between -100% and 100%" },
            RejectedCase { "Offset101", true, 101, "Bar Offset Percent must be between -100% and 100%" }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST_F(BarSeriesTest, TheEndsOfTheRangesAreAccepted)
    {
        first.SetBarWidthPercent(1);
        first.SetBarWidthPercent(100);
        first.SetOffsetPercent(-100);
        first.SetOffsetPercent(100);
        EXPECT_EQ(first.BarWidthPercent(), 100);
        EXPECT_EQ(first.OffsetPercent(), 100);
        EXPECT_THROW(first.SetBarWidthPercent(0), ChartException); // a ChartException too
    }

    TEST_F(BarSeriesTest, MultiBarAndSideMarginsAreSharedByTheChartsBars)
    {
        chart.AddSeries(first);
        chart.AddSeries(second);
        second.SetMultiBar(mbStacked);
        EXPECT_EQ(first.MultiBar(), mbStacked);
        first.SetSideMargins(false);
        EXPECT_FALSE(second.SideMargins());
        // A bar series elsewhere keeps its own.
        TBarSeries loose;
        EXPECT_EQ(loose.MultiBar(), mbSide);
    }

    TEST_F(BarSeriesTest, OrderAndCountFollowTheActiveSeries)
    {
        chart.AddSeries(first);
        chart.AddSeries(second);
        EXPECT_EQ(first.BarOrder(), 1);
        EXPECT_EQ(second.BarOrder(), 2);
        EXPECT_EQ(second.BarCount(), 2);
        first.SetActive(false);
        EXPECT_EQ(second.BarOrder(), 1);
        EXPECT_EQ(second.BarCount(), 1);
        first.SetActive(true);
        second.SetMultiBar(mbStacked);
        EXPECT_EQ(second.BarCount(), 1);
    }

    TEST_F(BarSeriesTest, StackedSumIsTheOriginUnlessStacked)
    {
        chart.AddSeries(first);
        chart.AddSeries(second);
        first.AddBar(4);
        second.AddBar(6);
        second.SetYOrigin(1.5);
        EXPECT_EQ(second.StackedSum(0, true), 1.5);
        second.SetMultiBar(mbStacked);
        EXPECT_EQ(second.StackedSum(0, false), 4);
        EXPECT_EQ(second.StackedSum(0, true), 10);
    }

    TEST_F(BarSeriesTest, AssignCopiesTheBarSettingsAndPoints)
    {
        first.SetBarWidthPercent(40);
        first.SetOffsetPercent(-30);
        first.SetBarStyle(bsPyramid);
        first.SetCustomBarWidth(12);
        first.SetDark3D(false);
        first.SetUseYOrigin(false);
        first.SetYOrigin(3);
        first.SetMultiBar(mbStacked100);
        first.BarPen().SetWidth(3);
        first.BarBrush().SetStyle(bsCross);
        first.AddBar(9, "x");
        second.Assign(first);
        EXPECT_EQ(second.BarWidthPercent(), 40);
        EXPECT_EQ(second.OffsetPercent(), -30);
        EXPECT_EQ(second.BarStyle(), bsPyramid);
        EXPECT_EQ(second.CustomBarWidth(), 12);
        EXPECT_FALSE(second.Dark3D());
        EXPECT_FALSE(second.UseYOrigin());
        EXPECT_EQ(second.YOrigin(), 3);
        EXPECT_EQ(second.MultiBar(), mbStacked100);
        EXPECT_EQ(second.BarPen().Width(), 3);
        EXPECT_EQ(second.BarBrush().Style(), bsCross);
        ASSERT_EQ(second.PointCount(), 1);
        EXPECT_EQ(second.PointLabel(0), "x");
    }

    TEST_F(BarSeriesTest, OnGetBarStyleChangesOneBarsShape)
    {
        first.OnGetBarStyle = [](TCustomBarSeries&, int index, TBarStyle& style) {
            if (index == 1)
                style = bsEllipse;
        };
        EXPECT_EQ(first.PointBarStyle(0), bsRectangle);
        EXPECT_EQ(first.PointBarStyle(1), bsEllipse);
    }

    TEST_F(BarSeriesTest, SideBySideBarsShareOneDepthSlotIn3D)
    {
        TBarSeries third;
        chart.AddSeries(first);
        chart.AddSeries(second);
        chart.AddSeries(third);
        for (TBarSeries* s : { &first, &second, &third })
            s->AddBar(1);
        chart.resize(400, 300);
        chart.SetView3D(true);
        static_cast<void>(test::Render(chart));
        EXPECT_EQ(second.ComputedDepthOrder(), first.ComputedDepthOrder());
        EXPECT_EQ(third.ComputedDepthOrder(), first.ComputedDepthOrder());
        EXPECT_TRUE(first.SharesDepthOrder());
        EXPECT_EQ(second.StartZ(), first.StartZ());

        first.SetMultiBar(mbNone);
        static_cast<void>(test::Render(chart));
        EXPECT_NE(second.ComputedDepthOrder(), first.ComputedDepthOrder());
        EXPECT_FALSE(first.SharesDepthOrder());
        third.SetParentChart(nullptr);
    }

} // namespace
} // namespace tarvo
