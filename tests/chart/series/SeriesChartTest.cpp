// A series inside a chart: colours on joining, list membership, repaint requests, axes, visible
// range, depth and data-source links, against a small chart double.

#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "series/SeriesTestChart.h"
#include "style/SeriesPalette.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    // --- Colour on joining ---

    struct JoinColorCase {
        const char* name;
        std::vector<TColor> others;
        TColor panel;
        TColor backWall;
        TColor expected;
    };

    class JoinColorTest : public testing::TestWithParam<JoinColorCase>
    {
    };

    TEST_P(JoinColorTest, TakesTheFirstFreePaletteColour)
    {
        const JoinColorCase& c = GetParam();
        FakeChart chart;
        chart.panelColor = c.panel;
        chart.backColor = c.backWall;
        std::vector<std::unique_ptr<TChartSeries>> others;
        for (TColor color : c.others) {
            others.push_back(std::make_unique<TChartSeries>());
            others.back()->SetSeriesColor(color);
            others.back()->SetParentChart(&chart);
        }
        TChartSeries series;
        series.SetParentChart(&chart);
        EXPECT_EQ(series.SeriesColor(), c.expected);
    }

    std::vector<TColor> FirstPaletteColours(int count)
    {
        std::vector<TColor> colors;
        for (int i = 0; i < count; ++i)
            colors.push_back(SeriesPaletteColor(i));
        return colors;
    }

    INSTANTIATE_TEST_SUITE_P(Charts, JoinColorTest,
        testing::Values(JoinColorCase { "emptyChart", {}, clBtnFace, clDefaultColor, clRed },
            JoinColorCase { "redTaken", { clRed }, clBtnFace, clDefaultColor, clGreen },
            JoinColorCase { "panelIsGreen", { clRed }, clGreen, clDefaultColor, clYellow },
            JoinColorCase { "backWallIsRed", {}, clBtnFace, clRed, clGreen },
            JoinColorCase { "gapIsFilled", { clRed, clYellow }, clBtnFace, clDefaultColor, clGreen },
            JoinColorCase { "allSixteenTaken", FirstPaletteColours(16), clBtnFace, clDefaultColor, clRed }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(JoiningAChart, MovingBetweenChartsUpdatesBothLists)
    {
        FakeChart first;
        FakeChart second;
        auto series = std::make_unique<TChartSeries>();
        series->SetParentChart(&first);
        series->SetParentChart(&first); // no second entry
        EXPECT_EQ(first.series.size(), 1u);
        series->SetParentChart(&second);
        EXPECT_TRUE(first.series.empty());
        EXPECT_EQ(second.series, (std::vector<TChartSeries*> { series.get() }));
        EXPECT_EQ(series->GetHorizAxis(), second.bottom.get());
        series.reset();
        EXPECT_TRUE(second.series.empty()); // a destroyed series leaves its chart
    }

    TEST(JoiningAChart, LeavingUnbindsTheAxes)
    {
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        series.SetParentChart(nullptr);
        EXPECT_EQ(series.GetHorizAxis(), nullptr);
        EXPECT_EQ(series.GetVertAxis(), nullptr);
        EXPECT_TRUE(chart.series.empty());
    }

    // --- Repaint requests ---

    TEST(Repainting, SettersRepaintOnlyOnChange)
    {
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        const auto repaintsOf = [&](auto&& change) {
            const int before = chart.invalidations;
            change();
            return chart.invalidations - before;
        };
        EXPECT_EQ(repaintsOf([&] { series.SetTitle("Sizes"); }), 1);
        EXPECT_EQ(repaintsOf([&] { series.SetTitle("Sizes"); }), 0);
        EXPECT_EQ(repaintsOf([&] { series.SetActive(true); }), 0);
        EXPECT_EQ(repaintsOf([&] { series.SetActive(false); }), 1);
        EXPECT_EQ(repaintsOf([&] { series.SetSeriesColor(series.SeriesColor()); }), 0);
        EXPECT_EQ(repaintsOf([&] { series.SetValueFormat("0.0"); }), 1);
        EXPECT_EQ(repaintsOf([&] { series.YValues().SetMultiplier(1.0); }), 0);
        EXPECT_EQ(repaintsOf([&] { series.YValues().SetMultiplier(2.0); }), 1);
        EXPECT_EQ(repaintsOf([&] { series.SetHorizAxis(aTopAxis); }), 1);
    }

    TEST(Repainting, PointChangesRepaintOnlyAnActiveSeries)
    {
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        int before = chart.invalidations;
        series.Append(1);
        series.DeletePoint(0);
        series.ClearPoints();
        EXPECT_EQ(chart.invalidations - before, 3);
        series.SetActive(false);
        before = chart.invalidations;
        series.Append(1);
        series.DeletePoint(0);
        series.ClearPoints();
        EXPECT_EQ(chart.invalidations, before);
    }

    // --- Axes ---

    TEST(AxisBinding, FollowsTheAxisChoice)
    {
        FakeChart chart;
        FakeAxis custom(true, 0, 1.0);
        TChartSeries series;
        series.SetParentChart(&chart);
        EXPECT_EQ(series.GetHorizAxis(), chart.bottom.get());
        EXPECT_EQ(series.GetVertAxis(), chart.left.get());
        series.SetHorizAxis(aTopAxis);
        series.SetVertAxis(aRightAxis);
        EXPECT_EQ(series.GetHorizAxis(), chart.top.get());
        EXPECT_EQ(series.GetVertAxis(), chart.right.get());
        series.SetHorizAxis(aCustomHorizAxis);
        EXPECT_EQ(series.GetHorizAxis(), chart.bottom.get()); // no custom axis yet
        series.SetCustomHorizAxis(&custom);
        EXPECT_EQ(series.GetHorizAxis(), &custom);
    }

    TEST(AxisBinding, RelatedAxes)
    {
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        EXPECT_TRUE(series.IsAxisRelated(*chart.bottom));
        EXPECT_FALSE(series.IsAxisRelated(*chart.top));
        EXPECT_TRUE(series.IsAxisRelated(*chart.left));
        EXPECT_FALSE(series.IsAxisRelated(*chart.right));
        series.SetHorizAxis(aBothHorizAxis);
        EXPECT_TRUE(series.IsAxisRelated(*chart.top));
        EXPECT_TRUE(series.IsAxisRelated(*chart.bottom));
        EXPECT_FALSE(series.IsAxisRelated(*chart.right));
    }

    TEST(AxisBinding, PixelPositionsComeFromTheAxes)
    {
        FakeChart chart;
        TChartSeries series;
        series.Append(5);
        EXPECT_EQ(series.PointX(0), 0); // no chart, no axis
        series.SetParentChart(&chart);
        series.Append(4);
        EXPECT_EQ(series.PointX(1), 10);
        EXPECT_EQ(series.PointY(1), 60);
        EXPECT_EQ(series.LegendItemText(1, ltsXValue), "<1>");
    }

    // --- Visible range ---

    struct VisibleCase {
        const char* name;
        std::vector<double> xs;
        bool inverted;
        int first, last;
    };

    class VisibleRangeTest : public testing::TestWithParam<VisibleCase>
    {
    };

    TEST_P(VisibleRangeTest, LimitsToTheAxisRange)
    {
        const VisibleCase& c = GetParam();
        FakeChart chart;
        chart.bottom = std::make_unique<FakeAxis>(true, c.inverted ? 100 : 0, 10.0, c.inverted);
        TChartSeries series;
        series.SetParentChart(&chart);
        for (double x : c.xs)
            series.AddPoint(x, 1);
        series.CalcFirstLastVisible();
        EXPECT_EQ(series.FirstVisible(), c.first);
        EXPECT_EQ(series.LastVisible(), c.last);
    }

    // The bottom axis shows the values 0 … 10.
    INSTANTIATE_TEST_SUITE_P(Ranges, VisibleRangeTest,
        testing::Values(VisibleCase { "empty", {}, false, -1, -1 },
            VisibleCase { "allInside", { 0, 5, 10 }, false, 0, 2 },
            VisibleCase { "cutBothEnds", { -2, -1, 0, 4, 10, 11, 12 }, false, 2, 4 },
            VisibleCase { "allBefore", { -3, -2 }, false, -1, -1 },
            VisibleCase { "invertedAxisSameRange", { -2, 0, 5, 10, 12 }, true, 1, 3 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(VisibleRange, UnorderedListOrNoChartDrawsEverything)
    {
        FakeChart chart; // outlives the series, which leaves it on destruction
        TChartSeries series;
        series.AddPoint(-50, 1);
        series.AddPoint(50, 1);
        series.CalcFirstLastVisible();
        EXPECT_EQ(series.FirstVisible(), 0);
        EXPECT_EQ(series.LastVisible(), 1);
        series.SetParentChart(&chart);
        series.XValues().SetOrder(loNone);
        series.CalcFirstLastVisible();
        EXPECT_EQ(series.LastVisible(), 1);
    }

    class LineLikeSeries : public TChartSeries
    {
    public:
        LineLikeSeries() { m_drawBetweenPoints = true; }
        std::vector<int> drawn;
        void DrawPoint(int index) override { drawn.push_back(index); }
    };

    TEST(VisibleRange, SeriesDrawnBetweenPointsKeepsTheNextOneAndDrawsTheRange)
    {
        FakeChart chart;
        LineLikeSeries series;
        series.SetParentChart(&chart);
        for (double x : { 2.0, 6.0, 12.0, 14.0 })
            series.AddPoint(x, 1);
        series.CalcFirstLastVisible();
        EXPECT_EQ(series.LastVisible(), 2);
        series.DrawValues();
        EXPECT_EQ(series.drawn, (std::vector<int> { 0, 1, 2 }));
    }

    // --- Depth ---

    TEST(Depth, AutomaticOrdersCountUpAndFixedOnesRaiseTheMaximum)
    {
        FakeChart chart;
        TChartSeries a;
        TChartSeries b;
        TChartSeries c;
        c.SetDepthOrder(5);
        for (TChartSeries* s : { &a, &b, &c }) {
            s->SetParentChart(&chart);
            s->ComputeDepthOrder();
        }
        EXPECT_EQ(a.ComputedDepthOrder(), 0);
        EXPECT_EQ(b.ComputedDepthOrder(), 1);
        EXPECT_EQ(c.ComputedDepthOrder(), 5);
        EXPECT_EQ(chart.MaxDepthOrder(), 5);
        EXPECT_FALSE(a.SharesDepthOrder());
        b.SetDepthOrder(0);
        b.ComputeDepthOrder();
        EXPECT_TRUE(a.SharesDepthOrder());
        b.SetActive(false);
        EXPECT_FALSE(a.SharesDepthOrder());
        a.SetDepths(9, 18);
        EXPECT_EQ(a.MiddleZ(), 13);
    }

    class OtherKindSeries : public TChartSeries
    {
    };

    TEST(Depth, StackedSumAddsPositiveValuesOfEarlierSeriesOfTheSameKind)
    {
        FakeChart chart;
        TChartSeries first;
        OtherKindSeries other;
        TChartSeries inactive;
        TChartSeries negative;
        TChartSeries self;
        first.Append(3);
        other.Append(100);
        inactive.Append(50);
        inactive.SetActive(false);
        negative.Append(-4);
        self.Append(2);
        for (TChartSeries* s : { &first, static_cast<TChartSeries*>(&other), &inactive, &negative, &self })
            s->SetParentChart(&chart);
        EXPECT_DOUBLE_EQ(self.StackedSum(0, false), 3);
        EXPECT_DOUBLE_EQ(self.StackedSum(0, true), 5);
        EXPECT_DOUBLE_EQ(self.StackedSum(1, true), 0); // beyond every series' points
        EXPECT_DOUBLE_EQ(first.StackedSum(0, false), 0);
    }

    // --- Data-source links ---

    TEST(DataSource, DependentFollowsItsSource)
    {
        FakeChart chart;
        TChartSeries source;
        TChartSeries copy;
        source.SetParentChart(&chart);
        copy.SetParentChart(&chart);
        source.Append(1, "a", clRed);
        copy.SetDataSource(&source);
        ASSERT_EQ(copy.PointCount(), 1);
        EXPECT_EQ(copy.PointLabel(0), "a");
        EXPECT_EQ(copy.PointColor(0), clRed);
        source.Append(2, "b");
        source.Append(3, "c");
        EXPECT_EQ(copy.PointCount(), 3);
        source.DeletePoint(0);
        EXPECT_EQ(copy.PointLabel(0), "b");
        source.YValues().SetValue(0, 20);
        EXPECT_DOUBLE_EQ(copy.YValue(0), 20);
        source.ClearPoints();
        EXPECT_EQ(copy.PointCount(), 0);
        copy.SetDataSource(nullptr);
        source.Append(9);
        EXPECT_EQ(copy.PointCount(), 0);
    }

    TEST(DataSource, RejectedSourcesLeaveTheLinkAsItWas)
    {
        FakeChart chart;
        TChartSeries a;
        TChartSeries b;
        TChartSeries loose;
        a.SetName("A");
        a.SetParentChart(&chart);
        b.SetParentChart(&chart);
        b.SetDataSource(&a);
        const auto messageOf = [](auto&& action) -> std::string {
            try {
                action();
            } catch (const ChartException& error) {
                return error.what();
            }
            return "no error";
        };
        EXPECT_EQ(messageOf([&] { a.SetDataSource(&a); }), "Circular Series dependences are not allowed");
        EXPECT_EQ(messageOf([&] { a.SetDataSource(&b); }), "Circular Series dependences are not allowed");
        EXPECT_EQ(messageOf([&] { loose.SetDataSource(&a); }), "No ParentChart to validate DataSource");
        EXPECT_EQ(a.DataSource(), nullptr);
        EXPECT_EQ(loose.DataSource(), nullptr);
        EXPECT_EQ(b.DataSource(), &a);
    }

    TEST(DataSource, DestroyingTheSourceDropsTheLink)
    {
        FakeChart chart;
        TChartSeries copy;
        copy.SetParentChart(&chart);
        {
            TChartSeries source;
            source.SetParentChart(&chart);
            source.Append(1);
            copy.SetDataSource(&source);
        }
        EXPECT_EQ(copy.DataSource(), nullptr);
        EXPECT_EQ(copy.PointCount(), 1);
    }

    TEST(Assign, CopiesPointsAndSettings)
    {
        TChartSeries source;
        source.SetTitle("Sizes");
        source.SetSeriesColor(clNavy);
        source.SetColorEachPoint(true);
        source.SetHorizAxis(aTopAxis);
        source.Append(4, "x", clRed);
        source.Append(6, "y");
        TChartSeries target;
        target.Append(100, "old");
        target.Assign(source);
        EXPECT_EQ(target.Title(), "Sizes");
        EXPECT_EQ(target.SeriesColor(), clNavy);
        EXPECT_EQ(target.HorizAxis(), aTopAxis);
        ASSERT_EQ(target.PointCount(), 2);
        EXPECT_EQ(target.PointLabel(1), "y");
        EXPECT_EQ(target.PointColor(0), clRed);
        EXPECT_EQ(target.PointColor(1), clGreen); // palette, as ColorEachPoint came along
        EXPECT_DOUBLE_EQ(target.YValue(1), 6);
    }

} // namespace
} // namespace tarvo
