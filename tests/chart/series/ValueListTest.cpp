#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "series/ChartValueList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    std::vector<double> ValuesOf(const TChartValueList& list)
    {
        std::vector<double> values;
        for (int i = 0; i < list.ValueCount(); ++i)
            values.push_back(list.Value(i));
        return values;
    }

    // --- Ordered add ---

    struct OrderedAddCase {
        const char* name;
        TChartListOrder order;
        std::vector<double> added;
        std::vector<int> indices; // what AddValue returned, one per added value
        std::vector<double> result;
    };

    class OrderedAddTest : public testing::TestWithParam<OrderedAddCase>
    {
    };

    TEST_P(OrderedAddTest, PlacesEachValueByOrder)
    {
        const OrderedAddCase& c = GetParam();
        TChartValueList list(nullptr, "X");
        list.SetOrder(c.order);
        std::vector<int> indices;
        for (double v : c.added)
            indices.push_back(list.AddValue(v));
        EXPECT_EQ(indices, c.indices);
        EXPECT_EQ(ValuesOf(list), c.result);
    }

    INSTANTIATE_TEST_SUITE_P(Orders, OrderedAddTest,
        testing::Values(OrderedAddCase { "none", loNone, { 3, 1, 2 }, { 0, 1, 2 }, { 3, 1, 2 } },
            OrderedAddCase { "ascendingInOrder", loAscending, { 0, 1, 2 }, { 0, 1, 2 }, { 0, 1, 2 } },
            OrderedAddCase { "ascendingMixed", loAscending, { 3, 1, 2, 0, 5 }, { 0, 0, 1, 0, 4 }, { 0, 1, 2, 3, 5 } },
            OrderedAddCase { "ascendingEqualGoesAfter", loAscending, { 1, 2, 1 }, { 0, 1, 1 }, { 1, 1, 2 } },
            OrderedAddCase { "descendingMixed", loDescending, { 1, 3, 2, 4 }, { 0, 0, 1, 0 }, { 4, 3, 2, 1 } },
            OrderedAddCase { "descendingEqualGoesAfter", loDescending, { 2, 1, 2 }, { 0, 1, 1 }, { 2, 2, 1 } }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(OrderedAdd, ComparesRawValuesWhateverTheMultiplier)
    {
        TChartValueList list(nullptr, "X");
        list.SetOrder(loAscending);
        list.SetMultiplier(-1);
        list.AddValue(1);
        EXPECT_EQ(list.AddValue(2), 1); // raw 2 > raw 1, although the reads are -2 < -1
        EXPECT_EQ(ValuesOf(list), (std::vector<double> { -1, -2 }));
    }

    // --- Statistics ---

    struct StatsCase {
        const char* name;
        std::vector<double> values;
        double multiplier;
        double highest, lowest, sum, absSum;
    };

    class StatisticsTest : public testing::TestWithParam<StatsCase>
    {
    };

    TEST_P(StatisticsTest, ComputesAllFourThroughTheMultiplier)
    {
        const StatsCase& c = GetParam();
        TChartValueList list(nullptr, "Y");
        for (double v : c.values)
            list.AddValue(v);
        list.SetMultiplier(c.multiplier);
        EXPECT_DOUBLE_EQ(list.Highest(), c.highest);
        EXPECT_DOUBLE_EQ(list.Lowest(), c.lowest);
        EXPECT_DOUBLE_EQ(list.Sum(), c.sum);
        EXPECT_DOUBLE_EQ(list.AbsSum(), c.absSum);
    }

    INSTANTIATE_TEST_SUITE_P(Lists, StatisticsTest,
        testing::Values(StatsCase { "empty", {}, 1, 0, 0, 0, 0 }, StatsCase { "mixedSigns", { -2, 3 }, 1, 3, -2, 1, 5 },
            StatsCase { "singleNegative", { -4 }, 1, -4, -4, -4, 4 },
            StatsCase { "extremesInside", { 5, 1, 9, 7 }, 1, 9, 1, 22, 22 },
            StatsCase { "doubled", { -2, 3 }, 2, 6, -4, 2, 10 },
            StatsCase { "negativeMultiplierSwapsEnds", { 1, 4 }, -1, -1, -4, -5, 5 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(Statistics, FollowEveryKindOfChange)
    {
        TChartValueList list(nullptr, "Y");
        list.AddValue(1);
        list.AddValue(2);
        EXPECT_DOUBLE_EQ(list.Sum(), 3);
        list.SetValue(0, 10);
        EXPECT_DOUBLE_EQ(list.Highest(), 10);
        list.DeleteValue(0);
        EXPECT_DOUBLE_EQ(list.Sum(), 2);
        list.InsertValue(0, -7);
        EXPECT_DOUBLE_EQ(list.Lowest(), -7);
        list.SetMultiplier(3);
        EXPECT_DOUBLE_EQ(list.AbsSum(), 27);
        list.RemoveAll();
        EXPECT_DOUBLE_EQ(list.AbsSum(), 0);
    }

    TEST(Statistics, AnOverriddenAbsSumLastsUntilTheNextChange)
    {
        TChartValueList list(nullptr, "Pie");
        list.AddValue(3);
        list.AddValue(4);
        list.SetAbsSum(5);
        EXPECT_DOUBLE_EQ(list.AbsSum(), 5);
        EXPECT_DOUBLE_EQ(list.Sum(), 7); // the others are untouched
        list.AddValue(1);
        EXPECT_DOUBLE_EQ(list.AbsSum(), 8);
    }

    TEST(Multiplier, ScalesEveryRead)
    {
        TChartValueList list(nullptr, "Y");
        list.AddValue(1.5);
        list.AddValue(-4);
        list.SetMultiplier(2);
        EXPECT_EQ(ValuesOf(list), (std::vector<double> { 3, -8 }));
        EXPECT_DOUBLE_EQ(list.LastValue(), -8);
        EXPECT_EQ(list.IndexOfValue(3), 0);
        EXPECT_EQ(list.IndexOfValue(1.5), -1);
    }

    // --- Index errors ---

    TEST(ValueListIndex, OutOfRangeRaisesAndChangesNothing)
    {
        TChartValueList list(nullptr, "Y");
        list.AddValue(1);
        list.AddValue(2);
        EXPECT_THROW((void)list.Value(-1), ChartListIndexError);
        EXPECT_THROW((void)list.Value(2), ChartListIndexError);
        EXPECT_THROW(list.SetValue(2, 5), ChartListIndexError);
        EXPECT_THROW(list.DeleteValue(2), ChartListIndexError);
        EXPECT_THROW(list.InsertValue(3, 5), ChartListIndexError);
        EXPECT_THROW(list.SwapValues(0, 2), ChartListIndexError);
        EXPECT_EQ(ValuesOf(list), (std::vector<double> { 1, 2 }));
        list.InsertValue(2, 3); // the end itself is a valid place to insert
        EXPECT_EQ(ValuesOf(list), (std::vector<double> { 1, 2, 3 }));
        TChartValueList empty(nullptr, "Y");
        EXPECT_THROW((void)empty.LastValue(), ChartListIndexError);
    }

    TEST(Assign, CopiesSettingsButNotValues)
    {
        TChartValueList source(nullptr, "Source");
        source.SetOrder(loDescending);
        source.SetDateTime(true);
        source.SetMultiplier(2.5);
        source.SetValueSource("Size");
        source.AddValue(1);
        TChartValueList target(nullptr, "Target");
        target.AddValue(4);
        target.Assign(source);
        EXPECT_EQ(target.Order(), loDescending);
        EXPECT_TRUE(target.DateTime());
        EXPECT_EQ(target.ValueSource(), "Size");
        EXPECT_EQ(target.Name(), "Target");
        EXPECT_EQ(ValuesOf(target), (std::vector<double> { 10 })); // own value, new multiplier
    }

    // --- Sorting the owner's points ---

    struct SortCase {
        const char* name;
        TChartListOrder order;
        std::vector<double> values;
        std::vector<double> sorted;
    };

    class SortPointsTest : public testing::TestWithParam<SortCase>
    {
    };

    TEST_P(SortPointsTest, MovesWholePoints)
    {
        const SortCase& c = GetParam();
        TChartSeries series;
        series.YValues().SetOrder(c.order);
        for (double v : c.values) // label and colour carry the value, so pairs can be checked
            series.Append(v, std::to_string(static_cast<int>(v)), static_cast<TColor>(v));
        series.YValues().SortPoints();
        EXPECT_EQ(ValuesOf(series.YValues()), c.sorted);
        for (int i = 0; i < series.PointCount(); ++i) {
            EXPECT_EQ(series.PointLabel(i), std::to_string(static_cast<int>(series.YValue(i))));
            EXPECT_EQ(series.PointColor(i), static_cast<TColor>(series.YValue(i)));
        }
    }

    INSTANTIATE_TEST_SUITE_P(Orders, SortPointsTest,
        testing::Values(SortCase { "ascending", loAscending, { 5, 3, 9, 1, 7 }, { 1, 3, 5, 7, 9 } },
            SortCase { "descending", loDescending, { 5, 3, 9, 1, 7 }, { 9, 7, 5, 3, 1 } },
            SortCase { "none", loNone, { 5, 3, 9 }, { 5, 3, 9 } },
            SortCase { "duplicates", loAscending, { 2, 2, 1, 2, 1 }, { 1, 1, 2, 2, 2 } },
            SortCase { "alreadySorted", loAscending, { 1, 2, 3, 4 }, { 1, 2, 3, 4 } }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(SortPoints, LargeShuffledSeriesEndsOrderedWithPairsIntact)
    {
        TChartSeries series;
        series.YValues().SetOrder(loDescending);
        std::mt19937 random(42);
        std::uniform_int_distribution<int> value(0, 50); // many duplicates
        for (int i = 0; i < 500; ++i) {
            const int v = value(random);
            series.Append(v, std::to_string(v));
        }
        series.YValues().SortPoints();
        for (int i = 0; i < series.PointCount(); ++i) {
            if (i > 0) {
                ASSERT_GE(series.YValue(i - 1), series.YValue(i)) << i;
            }
            ASSERT_EQ(series.PointLabel(i), std::to_string(static_cast<int>(series.YValue(i))));
        }
    }

    TEST(SortPoints, ListWithoutOwnerSortsItself)
    {
        TChartValueList list(nullptr, "X");
        for (double v : { 3.0, 1.0, 2.0 })
            list.AddValue(v);
        list.SetOrder(loAscending);
        list.SortPoints();
        EXPECT_EQ(ValuesOf(list), (std::vector<double> { 1, 2, 3 }));
    }

} // namespace
} // namespace tarvo
