// The pie's model: rotation rules, the "other" slice, explode percentages, legend rows and the
// settings that siblings share.

#include "pie/PieSeries.h"
#include "QtApp.h"
#include "series/SeriesTestChart.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo
{
namespace
{

    class PieSeriesTest : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }

        void Fill(TPieSeries& pie, const std::vector<double>& values)
        {
            for (std::size_t i = 0; i < values.size(); ++i)
                pie.AddPie(values[i], "folder" + std::to_string(i));
        }
    };

    struct RotationCase {
        int start;
        int set; // -1: use Rotate(by) instead
        int by;
        int expected;
    };

    TEST_F(PieSeriesTest, RotationIsKeptWithinOneTurn)
    {
        const std::vector<RotationCase> cases {
            { 0, 365, 0, 5 },
            { 0, 720, 0, 0 },
            { 359, -1, 1, 0 },
            { 5, -1, 360, 5 },
            { 10, -1, 0, 10 },
        };
        for (const RotationCase& c : cases) {
            TPieSeries pie;
            pie.SetRotationAngle(c.start);
            if (c.set >= 0)
                pie.SetRotationAngle(c.set);
            else
                pie.Rotate(c.by);
            EXPECT_EQ(pie.RotationAngle(), c.expected) << c.start << " " << c.set << " " << c.by;
            EXPECT_DOUBLE_EQ(pie.RotationRadians(), c.expected * kRadiansPerDegree);
        }
    }

    TEST_F(PieSeriesTest, RotationOutOfRangeRaisesAndChangesNothing)
    {
        TPieSeries pie;
        pie.SetRotationAngle(5);
        FakeChart chart;
        pie.SetParentChart(&chart);
        const int repaints = chart.invalidations;
        for (const int degrees : { 361, -1 }) {
            try {
                pie.Rotate(degrees);
                ADD_FAILURE() << "Rotate(" << degrees << ") was accepted";
            } catch (const PieException& error) {
                EXPECT_STREQ(error.what(), "Rotation Angle must be between 0 and 359 degrees");
            }
        }
        EXPECT_THROW(pie.SetRotationAngle(-1), PieException);
        EXPECT_EQ(pie.RotationAngle(), 5);
        EXPECT_DOUBLE_EQ(pie.RotationRadians(), 5 * kRadiansPerDegree);
        EXPECT_EQ(chart.invalidations, repaints);
        // A pie error is a chart error for whoever catches those.
        EXPECT_THROW(pie.Rotate(400), ChartException);
        pie.SetParentChart(nullptr);
    }

    TEST_F(PieSeriesTest, SmallValuesFoldIntoOneOtherSliceThatIsAddedOnce)
    {
        TPieSeries pie;
        Fill(pie, { 50, 30, 2, 3, 15 });
        pie.OtherSlice().SetStyle(poBelowPercent);
        pie.OtherSlice().SetValue(5);
        for (int drawing = 0; drawing < 3; ++drawing) {
            pie.GroupSmallSlices();
            ASSERT_EQ(pie.PointCount(), 6) << "drawing " << drawing;
            EXPECT_TRUE(pie.IsFolded(2));
            EXPECT_TRUE(pie.IsFolded(3));
            EXPECT_FALSE(pie.IsFolded(4));
            EXPECT_TRUE(pie.IsOtherSlice(5));
            EXPECT_EQ(pie.YValue(5), 5);
            EXPECT_EQ(pie.PointLabel(5), "Other");
            // The folded values count once: in the other slice.
            EXPECT_EQ(pie.PieValues().AbsSum(), 100);
        }
        pie.CalcAngles();
        EXPECT_DOUBLE_EQ(pie.SliceAngles()[2].StartAngle, pie.SliceAngles()[2].EndAngle);
        EXPECT_EQ(pie.SliceAngles()[5].EndAngle, kTwoPi);
        EXPECT_NEAR(pie.SliceAngles()[5].EndAngle - pie.SliceAngles()[5].StartAngle, kTwoPi * 0.05, 1e-12);

        // Grouping off: the other slice goes and every value is back.
        pie.OtherSlice().SetStyle(poNone);
        pie.GroupSmallSlices();
        EXPECT_EQ(pie.PointCount(), 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(pie.XValue(i), i);
    }

    TEST_F(PieSeriesTest, BelowValueComparesThePlainValueAndTheTextIsTheOptions)
    {
        TPieSeries pie;
        Fill(pie, { 7, 1, 9, 2 });
        pie.OtherSlice().SetStyle(poBelowValue);
        pie.OtherSlice().SetValue(3);
        pie.OtherSlice().SetText("Rest");
        pie.GroupSmallSlices();
        ASSERT_EQ(pie.PointCount(), 5);
        EXPECT_EQ(pie.PointLabel(4), "Rest");
        EXPECT_EQ(pie.YValue(4), 3);
        EXPECT_EQ(pie.LegendItemCount(), 3);
    }

    TEST_F(PieSeriesTest, LegendRowsSkipFoldedPoints)
    {
        TPieSeries pie;
        Fill(pie, { 50, 30, 2, 3, 15 });
        pie.OtherSlice().SetStyle(poBelowPercent);
        pie.OtherSlice().SetValue(5);
        pie.GroupSmallSlices();
        EXPECT_EQ(pie.LegendItemCount(), 4);
        const std::vector<int> expected { 0, 1, 4, 5 };
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(pie.LegendItemToPoint(row), expected[static_cast<std::size_t>(row)]) << row;
        EXPECT_EQ(pie.LegendItemText(3, ltsPlain), "Other");
        // A row past the end maps to itself.
        EXPECT_EQ(pie.LegendItemToPoint(9), 9);
    }

    TEST_F(PieSeriesTest, ExplodeBiggestPullsOutTheFirstOfEqualLargestValues)
    {
        TPieSeries pie;
        Fill(pie, { 10, 40, 40, 10 });
        pie.SetExplodePercent(3, 15);
        pie.SetExplodeBiggest(30);
        EXPECT_EQ(pie.ExplodePercent(1), 30);
        EXPECT_EQ(pie.ExplodePercent(2), 0);
        // Earlier settings of other slices stay.
        EXPECT_EQ(pie.ExplodePercent(3), 15);
    }

    TEST_F(PieSeriesTest, ExplodePercentagesGrowOnWriteAndMoveWithSwappedPoints)
    {
        TPieSeries pie;
        Fill(pie, { 1, 2, 3, 4 });
        EXPECT_EQ(pie.ExplodePercent(7), 0);
        EXPECT_EQ(pie.ExplodePercent(-1), 0);
        pie.SetExplodePercent(1, 25);
        EXPECT_EQ(pie.ExplodedSlices().Count(), 2);
        EXPECT_THROW(pie.SetExplodePercent(-1, 5), ChartListIndexError);

        pie.SwapPoints(1, 3);
        EXPECT_EQ(pie.ExplodePercent(3), 25);
        EXPECT_EQ(pie.ExplodePercent(1), 0);
        EXPECT_EQ(pie.YValue(3), 2);

        pie.ClearPoints();
        EXPECT_EQ(pie.ExplodedSlices().Count(), 0);
    }

    TEST_F(PieSeriesTest, ChangesRepaintOnlyWhenAValueChanges)
    {
        FakeChart chart;
        TPieSeries pie;
        pie.SetParentChart(&chart);
        int before = chart.invalidations;
        pie.SetExplodePercent(2, 10);
        pie.SetExplodePercent(2, 10);
        pie.OtherSlice().SetValue(4);
        pie.OtherSlice().SetValue(4);
        pie.PiePen().SetColor(clRed);
        pie.PiePen().SetColor(clRed);
        EXPECT_EQ(chart.invalidations, before + 3);
        before = chart.invalidations;
        pie.SetRotationAngle(365);
        pie.SetRotationAngle(5);
        EXPECT_EQ(chart.invalidations, before + 1);
        pie.SetParentChart(nullptr);
    }

    TEST_F(PieSeriesTest, CircledAndCustomRadiiAreSharedWithSiblingPies)
    {
        FakeChart chart;
        TPieSeries first;
        TPieSeries second;
        first.SetParentChart(&chart);
        second.SetParentChart(&chart);
        first.SetCircled(true);
        first.SetCustomXRadius(40);
        second.SetCustomYRadius(30);
        EXPECT_TRUE(second.Circled());
        EXPECT_EQ(second.CustomXRadius(), 40);
        EXPECT_EQ(first.CustomYRadius(), 30);
        second.SetParentChart(nullptr);
        first.SetParentChart(nullptr);
    }

    TEST_F(PieSeriesTest, AssignCopiesThePieSettingsAndAlwaysColoursEachPoint)
    {
        TPieSeries source;
        Fill(source, { 3, 4 });
        source.SetDark3D(false);
        source.SetUsePatterns(true);
        source.SetExplodeBiggest(20);
        source.OtherSlice().SetStyle(poBelowValue);
        source.OtherSlice().SetText("Misc");
        source.SetRotationAngle(90);
        source.SetCircled(true);
        source.PiePen().SetWidth(3);
        source.SetColorEachPoint(false);

        TPieSeries copy;
        copy.Assign(source);
        EXPECT_FALSE(copy.Dark3D());
        EXPECT_TRUE(copy.UsePatterns());
        EXPECT_EQ(copy.ExplodeBiggest(), 20);
        EXPECT_EQ(copy.OtherSlice().Style(), poBelowValue);
        EXPECT_EQ(copy.OtherSlice().Text(), "Misc");
        EXPECT_EQ(copy.RotationAngle(), 90);
        EXPECT_DOUBLE_EQ(copy.RotationRadians(), source.RotationRadians());
        EXPECT_TRUE(copy.Circled());
        EXPECT_EQ(copy.PiePen().Width(), 3);
        EXPECT_TRUE(copy.ColorEachPoint());
        EXPECT_EQ(copy.PointCount(), 2);
    }

    TEST_F(PieSeriesTest, LegendSymbolsUseTheResolvedBackColourAndPatterns)
    {
        FakeChart chart;
        chart.backColor = clDefaultColor;
        chart.panelColor = clSilver;
        TPieSeries pie;
        pie.SetParentChart(&chart);
        TColor back = clWhite;
        TBrushStyle style = bsSolid;
        pie.LegendSymbolBrush(0, back, style);
        EXPECT_EQ(back, clSilver);
        EXPECT_EQ(style, bsSolid);

        pie.SetUsePatterns(true);
        pie.SetCircleBackColor(clTeal);
        pie.LegendSymbolBrush(7, back, style);
        EXPECT_EQ(back, clTeal);
        EXPECT_EQ(style, bsVertical); // 7 mod 6 = 1
        pie.SetParentChart(nullptr);
    }

    TEST_F(PieSeriesTest, APieNeverWidensAnAxisAndIsNotDrawnAgainstOne)
    {
        FakeChart chart; // bottom axis: pixels 0 … 100 show 0 … 10
        TPieSeries pie;
        pie.SetParentChart(&chart);
        pie.AddPie(5000);
        EXPECT_FALSE(pie.UsesAxes());
        EXPECT_TRUE(pie.IsAxisRelated(*chart.left));
        EXPECT_DOUBLE_EQ(pie.MinXValue(), 0);
        EXPECT_DOUBLE_EQ(pie.MaxXValue(), 10);
        EXPECT_DOUBLE_EQ(pie.MaxYValue(), 10);
        pie.SetParentChart(nullptr);
    }

} // namespace
} // namespace tarvo
