// What the marks say, and how their properties follow the setter rule.

#include "QtApp.h"
#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesFormat.h"
#include "series/SeriesTestChart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    // Separators no locale of the test machine has, so a text written without the chart's
    // settings shows.
    FormatSettings PinnedSeparators()
    {
        FormatSettings settings;
        settings.decimalSeparator = "d";
        settings.thousandSeparator = "t";
        return settings;
    }

    class MarksTextTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtApp();
            m_saved = ChartFormatSettings();
            SetChartFormatSettings(PinnedSeparators());
        }
        void TearDown() override { SetChartFormatSettings(m_saved); }

        std::vector<std::string> Texts(TChartSeries& series) const
        {
            std::vector<std::string> texts;
            for (int i = 0; i < series.PointCount(); ++i)
                texts.push_back(series.MarkText(i));
            return texts;
        }

    private:
        FormatSettings m_saved;
    };

    struct StyleCase {
        TSeriesMarksStyle style;
        std::vector<std::string> expected; // points "Windows" 1234.5, no label 1234.5, "Tmp" 3765.5
    };

    class MarksStyleTest : public MarksTextTest, public testing::WithParamInterface<StyleCase>
    {
    };

    TEST_P(MarksStyleTest, EveryStyleSaysWhatItNames)
    {
        TChartSeries series;
        series.Append(1234.5, "Windows");
        series.Append(1234.5);
        series.Append(3765.5, "Tmp");
        series.Marks().SetStyle(GetParam().style);
        EXPECT_EQ(Texts(series), GetParam().expected);
    }

    // AbsSum is 6234.5: the shares are 19.8 %, 19.8 % and 60.4 % (60.3978…).
    INSTANTIATE_TEST_SUITE_P(Styles, MarksStyleTest,
        testing::Values(StyleCase { smsValue, { "1t234d5", "1t234d5", "3t765d5" } },
            StyleCase { smsPercent, { "19d8 %", "19d8 %", "60d4 %" } },
            StyleCase { smsLabel, { "Windows", "1t234d5", "Tmp" } },
            StyleCase { smsLabelPercent, { "Windows 19d8 %", "1t234d5 19d8 %", "Tmp 60d4 %" } },
            StyleCase { smsLabelValue, { "Windows 1t234d5", "1t234d5 1t234d5", "Tmp 3t765d5" } },
            // Without a chart the legend's default wording: value, then label.
            StyleCase { smsLegend, { "1t234d5 Windows", "1t234d5 ", "3t765d5 Tmp" } },
            StyleCase { smsPercentTotal, { "19d8 % of 6t234d5", "19d8 % of 6t234d5", "60d4 % of 6t234d5" } },
            StyleCase { smsLabelPercentTotal,
                { "Windows 19d8 % of 6t234d5", "1t234d5 19d8 % of 6t234d5", "Tmp 60d4 % of 6t234d5" } },
            // X values 0, 1, 2 written with ValueFormat: the series has no axis.
            StyleCase { smsXValue, { "0", "1", "2" } }));

    TEST_F(MarksTextTest, PercentagesShareTheAbsoluteSum)
    {
        TChartSeries series;
        for (double v : { 1.0, 1.0, 2.0 })
            series.Append(v);
        series.Marks().SetStyle(smsPercent);
        EXPECT_EQ(Texts(series), (std::vector<std::string> { "25 %", "25 %", "50 %" }));
        series.Marks().SetStyle(smsPercentTotal);
        EXPECT_EQ(Texts(series), (std::vector<std::string> { "25 % of 4", "25 % of 4", "50 % of 4" }));

        // A negative value counts by its size on both sides of the division.
        TChartSeries mixed;
        mixed.Append(-1);
        mixed.Append(3);
        mixed.Marks().SetStyle(smsPercent);
        EXPECT_EQ(Texts(mixed), (std::vector<std::string> { "25 %", "75 %" }));
    }

    TEST_F(MarksTextTest, ZeroSumShowsAHundredPercentForEveryPoint)
    {
        TChartSeries series;
        series.Append(0, "a");
        series.Append(0, "b");
        series.Marks().SetStyle(smsLabelPercent);
        EXPECT_EQ(Texts(series), (std::vector<std::string> { "a 100 %", "b 100 %" }));
        series.Marks().SetStyle(smsPercentTotal);
        EXPECT_EQ(series.MarkText(1), "100 % of 0");
    }

    TEST_F(MarksTextTest, SeriesFormatsAndMultiplierShapeTheText)
    {
        TChartSeries series;
        series.Append(2.5, "x");
        series.YValues().SetMultiplier(1000);
        series.SetValueFormat("0.0");
        series.Marks().SetStyle(smsLabelValue);
        EXPECT_EQ(series.MarkText(0), "x 2500d0");
        series.SetPercentFormat("0 'pc'");
        series.Marks().SetStyle(smsPercent);
        EXPECT_EQ(series.MarkText(0), "100 pc");
    }

    TEST_F(MarksTextTest, ChartAxisAndLegendWordTheirStyles)
    {
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        series.Append(7, "seven");
        series.Append(9, "nine");
        series.Marks().SetStyle(smsXValue);
        EXPECT_EQ(series.MarkText(1), "<1>"); // the bottom axis' label text

        struct LegendChart : FakeChart {
            [[nodiscard]] TLegendTextStyle LegendTextStyle() const override { return ltsRightValue; }
        } legendChart;
        TChartSeries legendSeries;
        legendSeries.SetParentChart(&legendChart);
        legendSeries.Append(7, "seven");
        legendSeries.Marks().SetStyle(smsLegend);
        EXPECT_EQ(legendSeries.MarkText(0), "seven 7");
    }

    TEST_F(MarksTextTest, GetMarkTextRewritesEachPoint)
    {
        TChartSeries series;
        series.Append(1, "keep");
        series.Append(2, "drop");
        series.Marks().SetStyle(smsLabel);
        std::vector<int> asked;
        series.OnGetMarkText = [&asked](TChartSeries&, int index, std::string& text) {
            asked.push_back(index);
            text = index == 1 ? std::string() : "<" + text + ">";
        };
        EXPECT_EQ(Texts(series), (std::vector<std::string> { "<keep>", "" }));
        EXPECT_EQ(asked, (std::vector<int> { 0, 1 }));
    }

    TEST_F(MarksTextTest, TextLinesBreakAtCarriageReturnOnly)
    {
        EXPECT_EQ(MarkTextLines("one\rtwo"), (QStringList { "one", "two" }));
        EXPECT_EQ(MarkTextLines("one\ntwo"), (QStringList { "one\ntwo" }));
        EXPECT_EQ(MarkTextLines("end\r"), (QStringList { "end", "" }));
        EXPECT_EQ(MarkTextLines("Pr\xc3\xa9"), (QStringList { QStringLiteral("Pr\u00e9") }));
    }

    // --- Properties ---

    TEST(MarksPropertiesTest, StartWithTheDocumentedDefaults)
    {
        test::EnsureQtApp();
        TChartSeries series;
        const TSeriesMarks& marks = series.Marks();
        EXPECT_EQ(&marks.Series(), &series);
        EXPECT_FALSE(marks.Visible());
        EXPECT_EQ(marks.Style(), smsLabel);
        EXPECT_EQ(marks.ArrowLength(), 8);
        EXPECT_EQ(marks.BackColor(), 0x80FFFFu);
        EXPECT_FALSE(marks.Transparent());
        EXPECT_FALSE(marks.Clip());
        EXPECT_TRUE(marks.Frame().Visible());
        EXPECT_EQ(marks.Frame().Color(), clBlack);
        EXPECT_EQ(marks.Frame().Width(), 1);
        EXPECT_TRUE(marks.Arrow().Visible());
        EXPECT_EQ(marks.Arrow().Color(), clWhite);
        EXPECT_TRUE(marks.Font().IsDefault());
    }

    TEST(MarksPropertiesTest, RepaintTheChartOnlyOnChange)
    {
        test::EnsureQtApp();
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        TSeriesMarks& marks = series.Marks();
        const std::vector<std::function<void()>> changes {
            [&] { marks.SetVisible(true); },
            [&] { marks.SetStyle(smsValue); },
            [&] { marks.SetArrowLength(20); },
            [&] { marks.SetBackColor(clAqua); },
            [&] { marks.SetClip(true); },
            [&] { marks.SetTransparent(true); },
            [&] { marks.Frame().SetWidth(2); },
            [&] { marks.Arrow().SetColor(clRed); },
            [&] { marks.Font().SetSize(12); },
        };
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const int before = chart.invalidations;
            changes[i]();
            EXPECT_EQ(chart.invalidations, before + 1) << "change " << i;
            changes[i]();
            EXPECT_EQ(chart.invalidations, before + 1) << "same value again, change " << i;
        }
        // Where the chart puts the marks in depth is no change of the marks.
        const int before = chart.invalidations;
        marks.SetMarkDepth(9);
        EXPECT_EQ(chart.invalidations, before);
    }

    TEST(MarksPropertiesTest, AnUnknownStyleIsRejectedAndTheOldOneKept)
    {
        test::EnsureQtApp();
        FakeChart chart;
        TChartSeries series;
        series.SetParentChart(&chart);
        series.Marks().SetStyle(smsPercent);
        const int before = chart.invalidations;
        EXPECT_THROW(series.Marks().SetStyle(static_cast<TSeriesMarksStyle>(9)), ChartException);
        EXPECT_THROW(series.Marks().SetStyle(static_cast<TSeriesMarksStyle>(-1)), ChartException);
        EXPECT_EQ(series.Marks().Style(), smsPercent);
        EXPECT_EQ(chart.invalidations, before);
    }

    TEST(MarksPropertiesTest, CopiesAreCopiedInNeverShared)
    {
        test::EnsureQtApp();
        FakeChart chart;
        TChartSeries source;
        source.Marks().SetVisible(true);
        source.Marks().SetStyle(smsLabelValue);
        source.Marks().SetArrowLength(20);
        source.Marks().SetBackColor(clYellow);
        source.Marks().SetTransparent(true);
        source.Marks().SetClip(true);
        source.Marks().Frame().SetColor(clRed);
        source.Marks().Arrow().SetWidth(3);
        source.Marks().Font().SetSize(14);
        source.Marks().SetMarkDepth(5);

        TChartSeries copy;
        copy.SetParentChart(&chart);
        copy.Assign(source);
        const TSeriesMarks& marks = copy.Marks();
        EXPECT_EQ(&marks.Series(), &copy);
        EXPECT_TRUE(marks.Visible());
        EXPECT_EQ(marks.Style(), smsLabelValue);
        EXPECT_EQ(marks.ArrowLength(), 20);
        EXPECT_EQ(marks.BackColor(), clYellow);
        EXPECT_TRUE(marks.Transparent());
        EXPECT_TRUE(marks.Clip());
        EXPECT_EQ(marks.Frame().Color(), clRed);
        EXPECT_EQ(marks.Arrow().Width(), 3);
        EXPECT_EQ(marks.Arrow().Color(), clWhite);
        EXPECT_EQ(marks.Font().Size(), 14);
        EXPECT_EQ(marks.MarkDepth(), 0); // the chart's business, set per drawing

        // Changing the source afterwards leaves the copy alone, and the copy's pens still
        // repaint the copy's chart.
        source.Marks().Frame().SetColor(clBlue);
        EXPECT_EQ(copy.Marks().Frame().Color(), clRed);
        const int before = chart.invalidations;
        copy.Marks().Frame().SetColor(clGreen);
        EXPECT_EQ(chart.invalidations, before + 1);
        EXPECT_EQ(source.Marks().Frame().Color(), clBlue);
    }

} // namespace
} // namespace tarvo
