// The legend on a real chart: what it lists for one and several series and for a pie with folded
// slices, the settings it refuses, the events, the room it takes and the rows it answers for.

#include "legend/ChartLegend.h"
#include "QtApp.h"
#include "core/ChartRounding.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"
#include "series/ChartSeriesFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using test::BoxSeries;

    // A flat chart without axes, so that the plot keeps what the legend leaves of it.
    struct LegendChart {
        std::unique_ptr<TChart> chart = std::make_unique<TChart>();
        TChartLegend* legend = nullptr;
        std::vector<int> drawn; // item indices in drawing order
        TRect chartRectBefore; // the plot as the legend found it
        int plotWidthBefore = 0;

        LegendChart()
        {
            chart->resize(480, 360);
            chart->SetView3D(false);
            chart->SetAxisVisible(false);
            auto owned = std::make_unique<TChartLegend>(*chart);
            legend = owned.get();
            chart->SetLegend(std::move(owned));
            chart->OnGetLegendPos = [this](TCustomChart&, int index, int&, int&, int&) { drawn.push_back(index); };
            chart->OnGetLegendRect = [this](TCustomChart& sender, TRect&) {
                chartRectBefore = sender.ChartRect();
                plotWidthBefore = sender.PlotWidth();
            };
        }
        BoxSeries& AddBoxes(const std::vector<std::string>& labels)
        {
            auto& series = static_cast<BoxSeries&>(chart->AddSeries(std::make_unique<BoxSeries>()));
            for (std::size_t i = 0; i < labels.size(); ++i)
                series.Append(10.0 * static_cast<double>(i + 1), labels[i]);
            return series;
        }
        QImage Render()
        {
            drawn.clear();
            return test::Render(*chart);
        }
    };

    class ChartLegendTest : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }
    };

    TEST_F(ChartLegendTest, OneSeriesListsItsValues)
    {
        LegendChart c;
        c.AddBoxes({ "usr", "var", "home" });
        EXPECT_EQ(c.legend->ResolvedStyle(), lsValues);
        EXPECT_EQ(c.legend->ItemCount(), 3);
        EXPECT_EQ(c.legend->ItemText(0), "10 usr");
        EXPECT_EQ(c.legend->ItemText(2), "30 home");
        c.Render();
        EXPECT_EQ(c.drawn, (std::vector<int> { 0, 1, 2 }));
        EXPECT_EQ(c.legend->RowCount(), 3);
        EXPECT_EQ(c.legend->StyleInForce(), lsValues);
    }

    TEST_F(ChartLegendTest, TwoSeriesListTheSeriesByTitleNameOrNumber)
    {
        LegendChart c;
        c.AddBoxes({ "a" }).SetTitle("Sizes");
        c.AddBoxes({ "b" }).SetName("Bars");
        c.AddBoxes({ "c" }).SetShowInLegend(false);
        c.AddBoxes({ "d" });
        c.AddBoxes({ "e" }).SetActive(false);
        EXPECT_EQ(c.legend->ResolvedStyle(), lsSeries);
        ASSERT_EQ(c.legend->ItemCount(), 3);
        EXPECT_EQ(c.legend->ItemText(0), "Sizes");
        EXPECT_EQ(c.legend->ItemText(1), "Bars");
        EXPECT_EQ(c.legend->ItemText(2), "Series 2");
        EXPECT_EQ(c.legend->ItemText(3), "");
        c.legend->SetLegendStyle(lsLastValues);
        EXPECT_EQ(c.legend->StyleInForce(), lsLastValues);
        EXPECT_EQ(c.legend->ItemText(1), "10 b");
    }

    TEST_F(ChartLegendTest, ItemsAreWordedByTheTextStyleOnOneLine)
    {
        LegendChart c;
        BoxSeries& series = c.AddBoxes({});
        series.Append(25, "usr\rlocal");
        series.Append(75, "var");
        EXPECT_EQ(c.legend->ItemText(0), "25 usr local");
        c.legend->SetTextStyle(ltsRightPercent);
        EXPECT_EQ(c.legend->ItemText(1), "var 75 %");
    }

    TEST_F(ChartLegendTest, FoldedPieSlicesAreLeftOutAndTheOtherSliceListed)
    {
        LegendChart c;
        auto& pie = static_cast<TPieSeries&>(c.chart->AddSeries(std::make_unique<TPieSeries>()));
        pie.AddPie(500, "usr");
        pie.AddPie(4, "tmp");
        pie.AddPie(300, "var");
        pie.AddPie(3, "boot");
        pie.AddPie(2, "srv");
        pie.OtherSlice().SetStyle(poBelowValue);
        pie.OtherSlice().SetValue(10);
        c.legend->SetTextStyle(ltsPlain);
        const QImage image = c.Render();
        test::SavePicture(image, QStringLiteral("legend-pie-other.png"));
        ASSERT_EQ(c.legend->ItemCount(), 3);
        EXPECT_EQ(c.legend->ItemText(0), "usr");
        EXPECT_EQ(c.legend->ItemText(1), "var");
        EXPECT_EQ(c.legend->ItemText(2), "Other");
        EXPECT_EQ(c.drawn.size(), 3U);
    }

    TEST_F(ChartLegendTest, FirstValueSkipsLeadingItemsAndInvertedReversesTheRest)
    {
        LegendChart c;
        c.AddBoxes({ "a", "b", "c", "d", "e" });
        c.legend->SetFirstValue(2);
        EXPECT_EQ(c.legend->ItemCount(), 3);
        c.Render();
        EXPECT_EQ(c.drawn, (std::vector<int> { 2, 3, 4 }));
        c.legend->SetInverted(true);
        c.Render();
        EXPECT_EQ(c.drawn, (std::vector<int> { 4, 3, 2 }));
        c.legend->SetFirstValue(9);
        EXPECT_EQ(c.legend->ItemCount(), 0);
    }

    struct RefusedCase {
        const char* name;
        void (*set)(TChartLegend&);
        int (*get)(const TChartLegend&);
        int kept;
        const char* message;
    };

    TEST_F(ChartLegendTest, OutOfRangeSettingsRaiseAndKeepTheirValue)
    {
        LegendChart c;
        c.legend->SetFirstValue(2);
        c.legend->SetFirstValue(0); // zero itself is fine
        c.legend->SetFirstValue(2);
        c.legend->SetTopPos(100);
        c.legend->SetColorWidth(0);
        const RefusedCase cases[] = {
            { "FirstValue", [](TChartLegend& l) { l.SetFirstValue(-1); },
                [](const TChartLegend& l) { return l.FirstValue(); }, 2, "First Legend Value must be > 0" },
            { "TopPos", [](TChartLegend& l) { l.SetTopPos(101); }, [](const TChartLegend& l) { return l.TopPos(); },
                100, "Top Legend Position must be between 0 and 100 %" },
            { "TopPosNegative", [](TChartLegend& l) { l.SetTopPos(-1); },
                [](const TChartLegend& l) { return l.TopPos(); }, 100,
                "Top Legend Position must be between 0 and 100 %" },
            { "ColorWidth", [](TChartLegend& l) { l.SetColorWidth(101); },
                [](const TChartLegend& l) { return l.ColorWidth(); }, 0,
                "Legend Color Width must be between 0 and 100 %" },
        };
        for (const RefusedCase& r : cases) {
            try {
                r.set(*c.legend);
                ADD_FAILURE() << r.name << " accepted";
            } catch (const LegendException& e) {
                EXPECT_STREQ(e.what(), r.message) << r.name;
            }
            EXPECT_EQ(r.get(*c.legend), r.kept) << r.name;
        }
    }

    TEST_F(ChartLegendTest, ARightLegendTakesItsWidthAndTheMarginFromThePlot)
    {
        LegendChart c;
        c.AddBoxes({ "usr", "var" });
        c.Render();
        const TRect legendRect = c.legend->LegendRect();
        const int margin = MulDiv(3, c.plotWidthBefore, 100);
        EXPECT_LT(c.chartRectBefore.Left, legendRect.Left);
        EXPECT_LE(legendRect.Right, c.chartRectBefore.Right);
        EXPECT_EQ(c.chart->ChartRect().Right, legendRect.Left - margin);

        c.legend->SetResizeChart(false);
        c.Render();
        EXPECT_EQ(c.chart->ChartRect().Right, c.chartRectBefore.Right - margin);

        c.legend->SetVisible(false);
        c.Render();
        EXPECT_TRUE(c.drawn.empty());
        EXPECT_EQ(c.chart->ChartRect().Right, c.chartRectBefore.Right);
    }

    TEST_F(ChartLegendTest, ALegendWithoutRoomDrawsNothingAndTakesNothing)
    {
        LegendChart c;
        c.AddBoxes({ "usr" });
        c.legend->SetTopPos(100);
        c.Render();
        EXPECT_EQ(c.legend->RowCount(), 0);
        EXPECT_TRUE(c.drawn.empty());
        EXPECT_EQ(c.chart->ChartRect(), c.chartRectBefore);
    }

    TEST_F(ChartLegendTest, TooManyItemsForARightLegendListOnlyTheRowsThatFit)
    {
        LegendChart c;
        std::vector<std::string> labels;
        for (int i = 0; i < 60; ++i)
            labels.push_back("folder " + std::to_string(i));
        c.AddBoxes(labels);
        c.Render();
        const int rows = c.legend->RowCount();
        EXPECT_GT(rows, 10); // no row limit at the side
        EXPECT_LT(rows, 60);
        // The last row says how many items are not listed instead of listing one more.
        EXPECT_EQ(static_cast<int>(c.drawn.size()), rows - 1);
        EXPECT_LE(c.legend->LegendRect().Bottom, c.chartRectBefore.Bottom);
        const auto& texts = c.chart->Canvas().DrawnTexts();
        const auto more = std::find_if(texts.begin(), texts.end(),
            [](const TChartCanvas::TDrawnText& text) { return text.Text.startsWith(QStringLiteral("+ ")); });
        ASSERT_NE(more, texts.end());
        EXPECT_EQ(more->Text, QStringLiteral("+ %1 more").arg(60 - (rows - 1)));
        const QRect legend = c.legend->LegendRect().ToQRect();
        EXPECT_TRUE(legend.contains(more->Rect)) << "inside the legend";
        for (const auto& text : texts) {
            if (legend.contains(text.Rect)) {
                EXPECT_LE(text.Rect.top(), more->Rect.top()) << "on the last row";
            }
        }
        EXPECT_EQ(c.legend->RowAt(more->Rect.center().x(), more->Rect.center().y()), -1) << "no item's row";
    }

    TEST_F(ChartLegendTest, TheCountOfItemsNotListedIsGroupedAsTheLocaleSays)
    {
        const FormatSettings saved = ChartFormatSettings();
        for (const auto& [thousands, expected] : { std::pair { ",", "+ 4,987 more" }, std::pair { ".", "+ 4.987 more" },
                 std::pair { "\xC2\xA0",
                     "+ 4\xC2\xA0"
                     "987 more" } }) {
            FormatSettings settings;
            settings.decimalSeparator = std::string(thousands) == "," ? "." : ",";
            settings.thousandSeparator = thousands;
            SetChartFormatSettings(settings);
            EXPECT_EQ(TChartLegend::MoreItemsText(4987), QString::fromUtf8(expected));
        }
        EXPECT_EQ(TChartLegend::MoreItemsText(12), QStringLiteral("+ 12 more"));
        SetChartFormatSettings(saved);
    }

    TEST_F(ChartLegendTest, RowAtFindsEachDrawnRowAndNothingElsewhere)
    {
        for (const TLegendAlignment alignment : { laLeft, laRight, laTop, laBottom }) {
            LegendChart c;
            c.AddBoxes({ "a", "b", "c", "d" });
            c.legend->SetAlignment(alignment);
            c.Render();
            const TLegendLayout& layout = c.legend->Layout();
            ASSERT_EQ(c.drawn.size(), 4U);
            for (int p = 0; p < 4; ++p) {
                const QPoint pos = LegendItemTextPos(layout, p);
                EXPECT_EQ(c.legend->RowAt(pos.x() + 2, pos.y() + layout.LineHeight / 2), p)
                    << static_cast<int>(alignment) << " row " << p;
            }
            EXPECT_EQ(c.legend->RowAt(layout.Rect.Left - 1, layout.Rect.Top + 3), -1);
            EXPECT_EQ(c.legend->RowAt(layout.Rect.Left + 3, layout.Rect.Bottom + 1), -1);
        }
    }

    TEST_F(ChartLegendTest, EventsRewordItemsAndMoveTheBox)
    {
        LegendChart c;
        c.AddBoxes({ "usr", "var" });
        c.chart->OnGetLegendText = [](TCustomAxisPanel&, TLegendStyle style, int index, std::string& text) {
            if (style == lsValues && index == 1)
                text = "renamed";
        };
        EXPECT_EQ(c.legend->ItemText(0), "10 usr");
        EXPECT_EQ(c.legend->ItemText(1), "renamed");
        c.chart->OnGetLegendRect = [](TCustomChart&, TRect& rect) { rect = { 5, 6, 90, 60 }; };
        c.Render();
        EXPECT_EQ(c.legend->LegendRect(), (TRect { 5, 6, 90, 60 }));
    }

} // namespace
} // namespace tarvo
