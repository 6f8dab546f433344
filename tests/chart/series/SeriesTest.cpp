#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesFormat.h"
#include "style/SeriesPalette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    // A series drawn sideways: its points' values are the X values, and Y runs along the points.
    class SidewaysSeries : public TChartSeries
    {
    public:
        SidewaysSeries()
        {
            XValues().SetOrder(loNone);
            YValues().SetOrder(loAscending);
        }
        [[nodiscard]] TChartValueList& MainValueList() const override
        {
            return const_cast<SidewaysSeries*>(this)->XValues();
        }
    };

    // A series with a third value list, as concrete series may have.
    class ThreeListSeries : public TChartSeries
    {
    public:
        ThreeListSeries()
            : m_z(AddValueList("Z"))
        {
        }
        TChartValueList& m_z;
    };

    std::vector<std::string> LabelsOf(const TChartSeries& series)
    {
        std::vector<std::string> labels;
        for (int i = 0; i < series.PointCount(); ++i)
            labels.push_back(series.PointLabel(i));
        return labels;
    }

    // --- Adding ---

    TEST(AddingPoints, AppendToAVerticalSeriesNumbersX)
    {
        TChartSeries series;
        EXPECT_EQ(series.Append(10.5, "a", clRed), 0);
        EXPECT_EQ(series.Append(-3, "b", clBlue), 1);
        EXPECT_EQ(series.Append(7, "c", clGreen), 2);
        for (int i = 0; i < 3; ++i)
            EXPECT_DOUBLE_EQ(series.XValue(i), i);
        EXPECT_DOUBLE_EQ(series.YValue(0), 10.5);
        EXPECT_DOUBLE_EQ(series.YValue(1), -3);
        EXPECT_DOUBLE_EQ(series.PointValue(2), 7);
        EXPECT_EQ(LabelsOf(series), (std::vector<std::string> { "a", "b", "c" }));
        EXPECT_EQ(series.PointColor(0), clRed);
        EXPECT_EQ(series.PointColor(1), clBlue);
        EXPECT_EQ(series.PointColor(2), clGreen);
    }

    TEST(AddingPoints, AppendToASidewaysSeriesNumbersY)
    {
        SidewaysSeries series;
        series.Append(42);
        series.Append(17);
        EXPECT_DOUBLE_EQ(series.XValue(1), 17);
        EXPECT_DOUBLE_EQ(series.YValue(1), 1);
        EXPECT_DOUBLE_EQ(series.PointValue(0), 42);
        EXPECT_FALSE(series.IsVertical());
    }

    TEST(AddingPoints, SmallerXGoesBeforeLargerAndEqualXKeepInsertionOrder)
    {
        TChartSeries series;
        series.AddPoint(1, 10, "a", clRed);
        series.AddPoint(3, 30, "b", clBlue);
        EXPECT_EQ(series.AddPoint(2, 20, "c", clLime), 1);
        EXPECT_EQ(series.AddPoint(1, 11, "d", clNavy), 1); // after the older X = 1
        EXPECT_EQ(LabelsOf(series), (std::vector<std::string> { "a", "d", "c", "b" }));
        EXPECT_DOUBLE_EQ(series.YValue(1), 11);
        EXPECT_DOUBLE_EQ(series.YValue(3), 30);
        EXPECT_EQ(series.PointColor(2), clLime);
    }

    TEST(AddingPoints, FurtherListsTakeTheStagedValue)
    {
        ThreeListSeries series;
        series.m_z.SetTempValue(5);
        series.AddPoint(2, 20);
        series.m_z.SetTempValue(7);
        series.AddPoint(1, 10); // lands before the first point
        EXPECT_DOUBLE_EQ(series.m_z.Value(0), 7);
        EXPECT_DOUBLE_EQ(series.m_z.Value(1), 5);
        EXPECT_EQ(&series.ValueListByName("z"), &series.m_z);
        EXPECT_EQ(&series.ValueListByName("nothing"), &series.YValues());
        EXPECT_EQ(&series.ValueListByName("X"), &series.YValues()); // only further lists are searched
    }

    TEST(AddingPoints, EmptyLabelReadsEmpty)
    {
        TChartSeries series;
        series.Append(1, "");
        EXPECT_EQ(series.PointLabel(0), "");
        EXPECT_EQ(series.PointLabel(5), ""); // beyond the labels: no label, no error
    }

    TEST(AddingPoints, BeforeAddCanRefuse)
    {
        TChartSeries series;
        series.Append(1, "kept");
        std::vector<int> added;
        series.OnAfterAdd = [&added](TChartSeries&, int index) { added.push_back(index); };
        series.OnBeforeAdd = [](TChartSeries& s) { return s.YValues().TempValue() >= 0; };
        EXPECT_EQ(series.Append(-5, "refused"), -1);
        EXPECT_EQ(series.AddPoint(-1, 3, "accepted"), 0);
        EXPECT_EQ(series.PointCount(), 2);
        EXPECT_EQ(LabelsOf(series), (std::vector<std::string> { "accepted", "kept" }));
        EXPECT_EQ(added, (std::vector<int> { 0 }));
    }

    // --- Deleting and clearing ---

    TEST(DeletingPoints, RemovesTheSameIndexEverywhere)
    {
        ThreeListSeries series;
        for (int i = 0; i < 4; ++i) {
            series.m_z.SetTempValue(100 + i);
            series.Append(i * 10, "p" + std::to_string(i), RGBColor(i, 0, 0));
            series.MarkPositions().Ensure(i).BoxWidth = i;
        }
        series.DeletePoint(1);
        EXPECT_EQ(series.PointCount(), 3);
        EXPECT_EQ(LabelsOf(series), (std::vector<std::string> { "p0", "p2", "p3" }));
        EXPECT_DOUBLE_EQ(series.YValue(1), 20);
        EXPECT_DOUBLE_EQ(series.m_z.Value(1), 102);
        EXPECT_EQ(series.PointColor(1), RGBColor(2, 0, 0));
        EXPECT_EQ(series.MarkPositions().Count(), 3);
        EXPECT_EQ(series.MarkPositions().At(1)->BoxWidth, 2);
    }

    TEST(DeletingPoints, OutOfRangeRaisesAndKeepsEverything)
    {
        TChartSeries series;
        series.Append(1, "a");
        EXPECT_THROW(series.DeletePoint(1), ChartListIndexError);
        EXPECT_THROW(series.DeletePoint(-1), ChartListIndexError);
        EXPECT_THROW((void)series.YValue(1), ChartListIndexError);
        EXPECT_EQ(series.PointCount(), 1);
        EXPECT_EQ(series.PointLabel(0), "a");
    }

    TEST(DeletingPoints, MissingMarkPositionIsNoError)
    {
        TChartSeries series;
        series.Append(1);
        series.Append(2);
        series.MarkPositions().Ensure(0);
        series.DeletePoint(1);
        EXPECT_EQ(series.MarkPositions().Count(), 1);
    }

    TEST(ClearingPoints, EmptiesEveryStoreAndFiresOnce)
    {
        ThreeListSeries series;
        series.Append(1, "a", clRed);
        series.Append(2, "b");
        series.MarkPositions().Ensure(1);
        int cleared = 0;
        series.OnClearValues = [&cleared](TChartSeries&) { ++cleared; };
        series.ClearPoints();
        EXPECT_EQ(series.PointCount(), 0);
        EXPECT_EQ(series.YValues().ValueCount(), 0);
        EXPECT_EQ(series.m_z.ValueCount(), 0);
        EXPECT_EQ(series.MarkPositions().Count(), 0);
        EXPECT_EQ(cleared, 1);
        series.Append(5);
        EXPECT_EQ(series.PointLabel(0), ""); // no label left over from before
        EXPECT_EQ(series.PointColor(0), series.SeriesColor());
        EXPECT_DOUBLE_EQ(series.XValue(0), 0);
    }

    TEST(SwappingPoints, ExchangesValuesColoursAndLabels)
    {
        TChartSeries series;
        series.Append(1, "a", clRed);
        series.Append(2, "b", clBlue);
        series.SwapPoints(0, 1);
        EXPECT_EQ(LabelsOf(series), (std::vector<std::string> { "b", "a" }));
        EXPECT_DOUBLE_EQ(series.XValue(0), 1);
        EXPECT_DOUBLE_EQ(series.YValue(0), 2);
        EXPECT_EQ(series.PointColor(0), clBlue);
        EXPECT_THROW(series.SwapPoints(0, 2), ChartListIndexError);
    }

    // --- Point colour ---

    struct ColorCase {
        const char* name;
        bool colorEachPoint;
        TColor stored;
        int index; // points 0 … index are added, all with the stored colour
        TColor expected;
    };

    class PointColorTest : public testing::TestWithParam<ColorCase>
    {
    };

    TEST_P(PointColorTest, FollowsTheColourRule)
    {
        const ColorCase& c = GetParam();
        TChartSeries series;
        series.SetSeriesColor(clTeal);
        series.SetColorEachPoint(c.colorEachPoint);
        for (int i = 0; i <= c.index; ++i)
            series.Append(i, {}, c.stored);
        EXPECT_EQ(series.PointColor(c.index), c.expected);
    }

    INSTANTIATE_TEST_SUITE_P(Rule, PointColorTest,
        testing::Values(ColorCase { "ownColour", false, clRed, 0, clRed },
            ColorCase { "ownColourBeatsPalette", true, clRed, 3, clRed },
            ColorCase { "defaultTakesSeriesColour", false, clDefaultColor, 2, clTeal },
            ColorCase { "defaultTakesPaletteByIndex", true, clDefaultColor, 3, clBlue },
            ColorCase { "paletteWrapsAfterSixteen", true, clDefaultColor, 17, clGreen },
            ColorCase { "nullStaysNull", true, clNone, 1, clNone }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(PointColor, BeyondThePointsIsTheSeriesColour)
    {
        TChartSeries series;
        series.SetSeriesColor(clOlive);
        series.SetColorEachPoint(true);
        EXPECT_EQ(series.PointColor(0), clOlive);
        EXPECT_EQ(series.PointColor(-1), clOlive);
    }

    TEST(PointColor, SwitchingColorEachPointOffDropsOwnColours)
    {
        TChartSeries series;
        series.SetSeriesColor(clMaroon);
        series.SetColorEachPoint(true);
        series.Append(1, {}, clRed);
        series.Append(2, {}, clNone);
        series.SetColorEachPoint(false);
        EXPECT_EQ(series.PointColor(0), clMaroon);
        EXPECT_EQ(series.PointColor(1), clMaroon);
        EXPECT_FALSE(series.IsNull(1));
    }

    TEST(PointColor, NullPointsAreRecognised)
    {
        TChartSeries series;
        series.Append(1);
        series.AppendNull("gap");
        series.AddNullPoint(5, 0, "also");
        EXPECT_FALSE(series.IsNull(0));
        EXPECT_TRUE(series.IsNull(1));
        EXPECT_TRUE(series.IsNull(2));
        EXPECT_EQ(series.PointLabel(1), "gap");
    }

    TEST(SeriesPalette, SixteenColoursInOrder)
    {
        const std::vector<TColor> expected = { 0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFFFFFF, 0x808080, 0xFF00FF,
            0x808000, 0x800000, 0x000080, 0x00FF00, 0x008080, 0x800080, 0xC0C0C0, 0xFFFF00, 0x000000 };
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(SeriesPaletteColor(i), expected[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(SeriesPaletteColor(i + 16), expected[static_cast<std::size_t>(i)]) << i;
        }
        EXPECT_EQ(SeriesPaletteColor(-1), clBlack);
    }

    // --- Texts ---

    class LegendTextTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            m_saved = ChartFormatSettings();
            FormatSettings settings;
            settings.decimalSeparator = ",";
            settings.thousandSeparator = ".";
            SetChartFormatSettings(settings);
        }
        void TearDown() override { SetChartFormatSettings(m_saved); }
        FormatSettings m_saved;
    };

    TEST_F(LegendTextTest, EveryStyleJoinsWithOneBlank)
    {
        TChartSeries series;
        series.Append(1234.5, "Windows");
        series.Append(1234.5, "Users");
        series.Append(2469, "Home");
        const std::vector<std::pair<TLegendTextStyle, std::string>> cases = {
            { ltsPlain, "Windows" },
            { ltsLeftValue, "1.234,5 Windows" },
            { ltsRightValue, "Windows 1.234,5" },
            { ltsLeftPercent, "25 % Windows" },
            { ltsRightPercent, "Windows 25 %" },
            { ltsXValue, "0" },
        };
        for (const auto& [style, expected] : cases)
            EXPECT_EQ(series.LegendItemText(0, style), expected) << static_cast<int>(style);
        EXPECT_EQ(series.LegendItemText(2, ltsXValue), "2");
    }

    TEST_F(LegendTextTest, PercentOfAZeroTotalIsAHundred)
    {
        TChartSeries series;
        series.Append(0, "a");
        series.Append(0, "b");
        EXPECT_EQ(series.LegendItemText(1, ltsRightPercent), "b 100 %");
    }

    TEST_F(LegendTextTest, PercentKeepsTheSignAndUsesTheAbsoluteTotal)
    {
        TChartSeries series;
        series.Append(-1, "loss");
        series.Append(3, "gain");
        EXPECT_EQ(series.LegendItemText(0, ltsLeftPercent), "-25 % loss");
    }

    TEST_F(LegendTextTest, FormatsAreTheSeriesOwn)
    {
        TChartSeries series;
        series.SetValueFormat("0.00");
        series.SetPercentFormat("0%");
        series.Append(2, "x");
        series.Append(1, "y");
        EXPECT_EQ(series.LegendItemText(0, ltsRightValue), "x 2,00");
        EXPECT_EQ(series.LegendItemText(1, ltsRightPercent), "y 33%");
    }

    // --- Clicks ---

    struct ClickCase {
        const char* name;
        bool doubleClick;
        bool clickHandler;
        bool dblClickHandler;
        const char* fired; // "", "click" or "dbl"
    };

    class DoClickTest : public testing::TestWithParam<ClickCase>
    {
    };

    TEST_P(DoClickTest, ChoosesTheHandler)
    {
        const ClickCase& c = GetParam();
        TChartSeries series;
        std::string fired;
        int seenIndex = -1;
        if (c.clickHandler)
            series.OnClick = [&](TChartSeries&, int index, TMouseButton, TShiftState, int, int) {
                fired = "click";
                seenIndex = index;
            };
        if (c.dblClickHandler)
            series.OnDblClick = [&](TChartSeries&, int index, TMouseButton, TShiftState, int, int) {
                fired = "dbl";
                seenIndex = index;
            };
        const TShiftState shift = c.doubleClick ? TShiftState(ssDouble | ssLeft) : TShiftState(ssLeft);
        const bool handled = series.DoClick(4, mbLeft, shift, 10, 20);
        EXPECT_EQ(fired, c.fired);
        EXPECT_EQ(handled, !fired.empty());
        if (handled) {
            EXPECT_EQ(seenIndex, 4);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Handlers, DoClickTest,
        testing::Values(ClickCase { "none", false, false, false, "" },
            ClickCase { "single", false, true, true, "click" }, ClickCase { "double", true, true, true, "dbl" },
            ClickCase { "doubleWithoutItsHandler", true, true, false, "click" },
            ClickCase { "singleWithOnlyDoubleHandler", false, false, true, "" }),
        [](const auto& info) { return std::string(info.param.name); });

    // --- Sample values ---

    TEST(SampleValues, FillsTheCountAskedFor)
    {
        TChartSeries series;
        series.Append(1, "old");
        series.FillSampleValues(12);
        EXPECT_EQ(series.PointCount(), 12);
        EXPECT_EQ(series.PointLabel(0), "");
        EXPECT_THROW(series.FillSampleValues(0), ChartException);
        EXPECT_EQ(series.PointCount(), 12);
    }

} // namespace
} // namespace tarvo
