// The panel's layout without looking at pixels: margins, titles, 3D depth, validation, printing
// margins and the series list.

#include "core/ChartRounding.h"
#include "panel/ChartPanelTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvo
{
namespace
{

    using test::BoxSeries;

    // A chart laid out by drawing it once onto an image of its size.
    struct LaidOut {
        explicit LaidOut(int width, int height)
        {
            chart.resize(width, height);
            test::HideLegend(chart);
        }
        void Draw() { image = test::Render(chart); }
        bool appReady = (test::EnsureQtApp(), true); // before the widget
        TChart chart;
        QImage image;
    };

    TEST(ChartPanelLayout, MarginsArePercentagesOfThePanelRounded)
    {
        LaidOut c(751, 433);
        c.chart.SetView3D(false);
        c.chart.Title().SetVisible(false);
        c.chart.Foot().SetVisible(false);
        c.Draw();
        EXPECT_EQ(c.chart.PanelRect(), (TRect { 0, 0, 751, 433 }));
        EXPECT_EQ(c.chart.ChartRect(), (TRect { 23, 17, 728, 416 }));
        EXPECT_EQ(c.chart.PlotWidth(), 705);
        EXPECT_EQ(c.chart.PlotHeight(), 399);
        EXPECT_EQ(c.chart.PlotCenterX(), (23 + 728) / 2);
    }

    // Each stage of the layout gives back what it leaves of the rectangle it is handed, without a
    // painter and without touching the chart's own plotting rectangle.
    TEST(ChartPanelLayout, StagesAnswerTheRectangleTheyLeaveWithoutAPainter)
    {
        test::EnsureQtApp();
        TChart chart;
        chart.resize(751, 433);
        chart.SetView3D(false);
        auto& series = static_cast<BoxSeries&>(chart.AddSeries(std::make_unique<BoxSeries>()));
        for (const char* label : { "usr", "var", "home" })
            series.Append(10, label);
        const TRect given { 40, 30, 700, 400 };
        const TRect before = chart.ChartRect();

        chart.Title().SetText({ QStringLiteral("Folder Size in:") });
        chart.Foot().SetText({ QStringLiteral("one"), QStringLiteral("two") });
        chart.UseFont(chart.Title().Font());
        const int titleLine = chart.Canvas().LineHeight();
        EXPECT_EQ(chart.Title().Draw(chart, given), (TRect { 40, 30 + titleLine + 5, 700, 400 }));
        chart.UseFont(chart.Foot().Font());
        const int footLine = chart.Canvas().LineHeight();
        EXPECT_EQ(chart.Foot().Draw(chart, given), (TRect { 40, 30, 700, 400 - 2 * footLine - 5 }));
        chart.Title().SetVisible(false);
        EXPECT_EQ(chart.Title().Draw(chart, given), given) << "a hidden title takes nothing";

        TChartLegend& legend = *chart.ChartLegend();
        const TRect besideLegend = legend.DrawLegend(given);
        ASSERT_EQ(legend.RowCount(), 3);
        EXPECT_EQ(besideLegend, (TRect { 40, 30, legend.LegendRect().Left - MulDiv(3, given.Width(), 100), 400 }))
            << "a right legend leaves the plot left of its box, less 3 % of the width it was given";
        EXPECT_EQ(chart.ChartRect(), before);
    }

    TEST(ChartPanelLayout, BorderWidthInsetsThePlotOnEverySide)
    {
        LaidOut c(751, 433);
        c.chart.SetView3D(false);
        c.chart.SetBorderWidth(4);
        c.Draw();
        EXPECT_EQ(c.chart.ChartRect(), (TRect { 27, 21, 724, 412 }));
    }

    TEST(ChartPanelLayout, TwoTitleLinesMoveThePlotDownByTheirHeightAndFive)
    {
        LaidOut c(751, 433);
        c.chart.SetView3D(false);
        c.chart.Title().Font().SetStyle(fsBold);
        c.chart.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home") });
        c.Draw();
        c.chart.UseFont(c.chart.Title().Font());
        const int h = c.chart.Canvas().LineHeight();
        ASSERT_GT(h, 5);
        EXPECT_EQ(c.chart.ChartRect().Top, 17 + 2 * h + 5);
        EXPECT_EQ(c.chart.ChartRect().Bottom, 416) << "an empty foot takes no room";
        EXPECT_EQ(c.chart.Title().DrawnRect().Top, 17);
    }

    TEST(ChartPanelLayout, FootTakesItsLinesFromTheBottom)
    {
        LaidOut c(751, 433);
        c.chart.SetView3D(false);
        c.chart.Foot().SetText({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
        c.Draw();
        c.chart.UseFont(c.chart.Foot().Font());
        const int h = c.chart.Canvas().LineHeight();
        EXPECT_EQ(c.chart.ChartRect().Bottom, 416 - 3 * h - 5);
        EXPECT_EQ(c.chart.ChartRect().Top, 17);
    }

    TEST(ChartPanelLayout, VisibleFrameAddsItsWidthAboveAndBelowTheLines)
    {
        LaidOut c(751, 433);
        c.chart.SetView3D(false);
        c.chart.Title().SetText({ QStringLiteral("Framed") });
        c.chart.Title().Frame().SetVisible(true);
        c.chart.Title().Frame().SetWidth(2);
        c.Draw();
        c.chart.UseFont(c.chart.Title().Font());
        const int h = c.chart.Canvas().LineHeight();
        EXPECT_EQ(c.chart.ChartRect().Top, 17 + 2 + h + 2 + 5);
    }

    struct DepthCase {
        bool orthogonal;
        int expectedSeriesDepth;
    };

    class ChartPanelDepth : public ::testing::TestWithParam<DepthCase>
    {
    };

    TEST_P(ChartPanelDepth, SeriesDepthIsAPercentOfThePlotWidth)
    {
        // 638 pixels less 3 % (19) on both sides leave a plot 600 pixels wide.
        LaidOut c(638, 400);
        c.chart.View3DOptions().SetOrthogonal(GetParam().orthogonal);
        c.Draw();
        EXPECT_EQ(c.chart.SeriesDepth(), GetParam().expectedSeriesDepth);
        EXPECT_EQ(c.chart.TotalDepth(), GetParam().expectedSeriesDepth) << "no series: one slice";
    }

    INSTANTIATE_TEST_SUITE_P(Views, ChartPanelDepth, ::testing::Values(DepthCase { true, 9 }, DepthCase { false, 18 }));

    TEST(ChartPanelLayout, ObliqueViewKeepsRoomForTheDepthAndTheBackWall)
    {
        LaidOut c(638, 400);
        c.chart.BackWall().SetSize(3);
        c.Draw();
        // 9 pixels of depth plus the 3-pixel wall off the right and the top.
        EXPECT_EQ(c.chart.ChartRect(), (TRect { 19, 16 + 12, 619 - 12, 384 }));
    }

    TEST(ChartPanelLayout, SeriesGetSlicesOfDepthFrontToBack)
    {
        LaidOut c(638, 400);
        BoxSeries& back = static_cast<BoxSeries&>(c.chart.AddSeries(std::make_unique<BoxSeries>()));
        BoxSeries& front = static_cast<BoxSeries&>(c.chart.AddSeries(std::make_unique<BoxSeries>()));
        back.Append(50);
        front.Append(70);
        c.Draw();
        EXPECT_EQ(c.chart.MaxDepthOrder(), 1);
        EXPECT_EQ(c.chart.TotalDepth(), 18);
        EXPECT_EQ(back.StartZ(), 9);
        EXPECT_EQ(back.EndZ(), 18);
        EXPECT_EQ(front.StartZ(), 0);
        EXPECT_EQ(front.MiddleZ(), 4);
        EXPECT_EQ(front.Marks().MarkDepth(), 4);

        c.chart.SetView3D(false);
        c.Draw();
        EXPECT_EQ(back.StartZ(), 0);
        EXPECT_EQ(back.EndZ(), 0);
    }

    class ChartPanelChart3DPercent : public ::testing::TestWithParam<int>
    {
    };

    TEST_P(ChartPanelChart3DPercent, OutOfRangeIsRejectedAndTheValueKept)
    {
        test::EnsureQtApp();
        TChart chart;
        chart.SetChart3DPercent(40);
        try {
            chart.SetChart3DPercent(GetParam());
            ADD_FAILURE() << "accepted " << GetParam();
        } catch (const ChartException& error) {
            EXPECT_STREQ(error.what(), "3D effect percent must be between 1 and 100");
        }
        EXPECT_EQ(chart.Chart3DPercent(), 40);
    }

    INSTANTIATE_TEST_SUITE_P(Values, ChartPanelChart3DPercent, ::testing::Values(0, 101, -5));

    TEST(ChartPanelValidation, BoundsOfThe3DPercentAreAccepted)
    {
        test::EnsureQtApp();
        TChart chart;
        chart.SetChart3DPercent(1);
        EXPECT_EQ(chart.Chart3DPercent(), 1);
        chart.SetChart3DPercent(100);
        EXPECT_EQ(chart.Chart3DPercent(), 100);
    }

    TEST(ChartPanelValidation, NegativeMaxPointsPerPageIsRejected)
    {
        test::EnsureQtApp();
        TChart chart;
        chart.SetMaxPointsPerPage(5);
        EXPECT_THROW(
            {
                try {
                    chart.SetMaxPointsPerPage(-1);
                } catch (const ChartException& error) {
                    EXPECT_STREQ(error.what(), "MaxPointsPerPage must be >= 0");
                    throw;
                }
            },
            ChartException);
        EXPECT_EQ(chart.MaxPointsPerPage(), 5);
    }

    TEST(ChartPanelValidation, PagesFollowTheLongestActiveSeries)
    {
        test::EnsureQtApp();
        TChart chart;
        auto& series = chart.AddSeries(std::make_unique<BoxSeries>());
        for (int i = 0; i < 7; ++i)
            series.Append(i);
        EXPECT_EQ(chart.NumPages(), 1) << "no paging while MaxPointsPerPage is 0";
        chart.SetMaxPointsPerPage(3);
        EXPECT_EQ(chart.NumPages(), 3);
        chart.SetPage(9);
        EXPECT_EQ(chart.Page(), 3);
        chart.SetPage(0);
        EXPECT_EQ(chart.Page(), 1);
    }

    TEST(ChartPanelLayout, PlotKeepsAtLeastOnePixelOnAPanelWithoutArea)
    {
        LaidOut c(0, 0);
        c.chart.SetView3D(false);
        QImage image(1, 1, QImage::Format_RGB32);
        QPainter painter(&image);
        c.chart.DrawTo(painter, { 0, 0, 0, 0 });
        painter.end();
        EXPECT_GE(c.chart.PlotWidth(), 1);
        EXPECT_GE(c.chart.PlotHeight(), 1);
    }

    TEST(ChartPanelPrinting, ProportionalMarginsKeepTheChartsShape)
    {
        // Twice as wide as high, equal resolutions, a 2000 × 2800 page.
        const TPrintMarginPercents m = ProportionalPrintMargins({}, 600, 300, 2000, 2800, 1.0);
        EXPECT_EQ(m, (TPrintMarginPercents { 15, 39, 15, 39 }));
        // Higher than wide: the sides give way instead.
        const TPrintMarginPercents tall = ProportionalPrintMargins({}, 300, 600, 2800, 2000, 1.0);
        EXPECT_EQ(tall, (TPrintMarginPercents { 39, 15, 39, 15 }));
        EXPECT_EQ(PrintPageRect(m, 2000, 2800), (TRect { 300, 1092, 1700, 1708 }));
    }

    TEST(ChartPanelPrinting, AChartWithoutAreaKeepsTheMargins)
    {
        const TPrintMarginPercents current { 10, 11, 12, 13 };
        EXPECT_EQ(ProportionalPrintMargins(current, 0, 300, 2000, 2800, 1.0), current);
    }

    TEST(ChartPanelPrinting, MarginsOutsideThePageAreRejected)
    {
        test::EnsureQtApp();
        TChart chart;
        EXPECT_THROW(chart.SetPrintMarginPercents({ 10, 50, 10, 10 }), ChartException);
        EXPECT_EQ(chart.PrintMarginPercents(), TPrintMarginPercents {});
    }

} // namespace
} // namespace tarvo
