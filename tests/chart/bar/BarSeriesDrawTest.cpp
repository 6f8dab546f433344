// Bars laid out and drawn on a real chart: the width on a 700-pixel axis, bars centred on their
// values, a downward bar with its mark below and the room for it, clicks on and between bars,
// two series side by side, stacks, and each shape's fill and hit test.

#include "QtApp.h"
#include "axes/ChartAxis.h"
#include "bar/BarSeries.h"
#include "panel/ChartPanelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace tarvo
{
namespace
{

    class BarDrawTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtApp();
            InstallChartAxes(chart);
            chart.SetView3D(false);
            chart.resize(800, 500);
        }
        void TearDown() override
        {
            bars.SetParentChart(nullptr);
            other.SetParentChart(nullptr);
        }
        void Fill(TBarSeries& series, std::initializer_list<double> values, TColor color)
        {
            for (const double v : values)
                series.AddBar(v, "folder", color);
            chart.AddSeries(series);
        }
        [[nodiscard]] TCustomChartAxis& Bottom() const { return *chart.ChartAxis(carBottom); }
        [[nodiscard]] TCustomChartAxis& Left() const { return *chart.ChartAxis(carLeft); }
        // Renders, then widens the chart so that the bottom axis is exactly pixels long.
        QImage RenderWithBottomAxis(int pixels)
        {
            QImage image = test::Render(chart);
            // Labels and legend may take a pixel more or less at another width: settle in steps.
            for (int step = 0; step < 5 && Bottom().AxisSize() != pixels; ++step) {
                chart.resize(chart.width() + pixels - Bottom().AxisSize(), chart.height());
                image = test::Render(chart);
            }
            return image;
        }

        // The chart is a widget: the application must exist before it does.
        bool m_appReady = (test::EnsureQtApp(), true);
        TChart chart;
        TBarSeries bars;
        TBarSeries other;
    };

    TEST_F(BarDrawTest, TenBarsOn700PixelsAre44WideAndCentredOnTheirValues)
    {
        Fill(bars, { 3, 8, 1, 9, 4, 4, 7, 2, 6, 5 }, clRed);
        static_cast<void>(RenderWithBottomAxis(700));
        ASSERT_EQ(Bottom().AxisSize(), 700);
        EXPECT_EQ(bars.BarWidth(), 44);
        int left = 0;
        int right = 0;
        bars.HorizMargins(left, right);
        EXPECT_EQ(left, 44);
        EXPECT_EQ(right, 44);
        for (int i = 0; i < bars.PointCount(); ++i) {
            const int centre = Bottom().ValueToPixel(bars.XValue(i));
            EXPECT_EQ(bars.PointX(i), centre - 22) << i;
            EXPECT_EQ(bars.PointY(i), Left().ValueToPixel(bars.YValue(i))) << i;
        }
    }

    TEST_F(BarDrawTest, EveryShapeFillsTheMiddleOfItsBoxFlatAndAnswersClicksIn3D)
    {
        Fill(bars, { 6, 9, 7 }, clPurple);
        for (const TBarStyle style :
            { bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow, bsRectGradient, bsCone }) {
            bars.SetBarStyle(style);
            chart.SetView3D(false);
            const QImage flat = test::Render(chart);
            const int x = bars.PointX(1) + bars.BarWidth() / 2;
            const int y = (bars.PointY(1) + bars.OriginPosition(1)) / 2;
            if (style != bsRectGradient)
                EXPECT_EQ(test::PixelColor(flat, x, y), clPurple) << static_cast<int>(style);
            else // white at the top blending into the bar's colour
                EXPECT_TRUE(test::IsNear(test::PixelColor(flat, x, y), 0xBF7FBF, 8))
                    << std::hex << test::PixelColor(flat, x, y);
            EXPECT_EQ(bars.PointAt(x, y), 1) << static_cast<int>(style);

            chart.SetView3D(true);
            static_cast<void>(test::Render(chart));
            const QPoint front = chart.Canvas().ProjectXY(
                bars.PointX(1) + bars.BarWidth() / 2, (bars.PointY(1) + bars.OriginPosition(1)) / 2, bars.StartZ());
            EXPECT_EQ(bars.PointAt(front.x(), front.y()), 1) << static_cast<int>(style);
        }
    }

    TEST_F(BarDrawTest, ANegativeBarHangsFromTheZeroLineWithItsMarkBelow)
    {
        Fill(bars, { 5, -4, 3 }, clGreen);
        int topBefore = 0;
        int bottomBefore = 0;
        static_cast<void>(test::Render(chart));

        const int zeroY = Left().ValueToPixel(0);
        EXPECT_EQ(bars.OriginPosition(1), zeroY);
        EXPECT_GT(bars.PointY(1), zeroY);
        EXPECT_LT(bars.PointY(0), zeroY);

        const TSeriesMarkPosition* down = bars.MarkPositions().At(1);
        const TSeriesMarkPosition* up = bars.MarkPositions().At(0);
        ASSERT_NE(down, nullptr);
        ASSERT_NE(up, nullptr);
        EXPECT_GT(down->BoxCorner.y(), bars.PointY(1)); // below the bar's end
        EXPECT_LT(up->BoxCorner.y() + up->BoxHeight, bars.PointY(0)); // above the bar's top
        // Centred over the bar.
        EXPECT_EQ(down->ArrowStart.x(), bars.PointX(1) + bars.BarWidth() / 2);

        bars.VertMargins(topBefore, bottomBefore);
        const int frame = bars.Marks().Frame().Visible() ? 2 * bars.Marks().Frame().Width() : 0;
        const int room = bars.MarkSpace() + 20 + frame + 1;
        EXPECT_EQ(bottomBefore, room);
        EXPECT_EQ(topBefore, room);

        // Without the negative bar no room is kept below.
        bars.DeletePoint(1);
        int top = 0;
        int bottom = 0;
        bars.VertMargins(top, bottom);
        EXPECT_EQ(bottom, 0);
        EXPECT_EQ(top, room);
    }

    TEST_F(BarDrawTest, ClicksOnEdgesHitAndClicksBetweenBarsMiss)
    {
        Fill(bars, { 3, 8, 1, 9 }, clRed);
        static_cast<void>(test::Render(chart));
        const int w = bars.BarWidth();
        ASSERT_GT(w, 0);
        const int y = bars.OriginPosition(1) - 2; // low in the bars, inside each
        for (int i = 0; i < 4; ++i) {
            const int left = bars.PointX(i);
            EXPECT_EQ(bars.PointAt(left, y), i) << "left edge of " << i;
            EXPECT_EQ(bars.PointAt(left + w, y), i) << "right edge of " << i;
            EXPECT_EQ(bars.PointAt(left + w / 2, bars.PointY(i)), i) << "top of " << i;
            EXPECT_EQ(bars.PointAt(left + w / 2, bars.PointY(i) - 1), -1) << "just above " << i;
        }
        const int gap = (bars.PointX(1) + w + bars.PointX(2)) / 2;
        EXPECT_EQ(bars.PointAt(gap, y), -1);
        EXPECT_EQ(bars.PointAt(bars.PointX(0) - 1, y), -1);
        EXPECT_EQ(bars.PointAt(bars.PointX(3) + w + 1, y), -1);
    }

    // The hit test looks only at the bars near x when the X values ascend; it must still answer
    // what a scan of every bar in index order answers: on shared edges the lower index, on an
    // inverted axis, and with X values out of order.
    TEST_F(BarDrawTest, PointAtAnswersAsAScanOfEveryBar)
    {
        struct Case {
            const char* name;
            bool inverted;
            bool shuffled;
        };
        for (const Case c : { Case { "ascending", false, false }, Case { "inverted axis", true, false },
                 Case { "out of order", false, true } }) {
            bars.SetParentChart(nullptr);
            bars.ClearPoints();
            bars.SetBarWidthPercent(100); // neighbours share their edge pixels
            bars.XValues().SetOrder(c.shuffled ? loNone : loAscending);
            for (int i = 0; i < 60; ++i) {
                const int x = c.shuffled ? (i * 37) % 60 : i;
                bars.AddPoint(x, 1 + (i * 13) % 9, "folder");
            }
            chart.AddSeries(bars);
            Bottom().SetInverted(c.inverted);
            static_cast<void>(test::Render(chart));
            const TCustomBarSeries& base = bars;
            const TRect plot = chart.ChartRect();
            for (const int y : { plot.Bottom - 2, (plot.Top + plot.Bottom) / 2 }) {
                for (int x = plot.Left - 3; x <= plot.Right + 3; ++x) {
                    int expected = -1;
                    for (int i = 0; i < bars.PointCount() && expected < 0; ++i)
                        if (base.InBar(i, x, y))
                            expected = i;
                    ASSERT_EQ(bars.PointAt(x, y), expected) << c.name << " at " << x << ", " << y;
                }
            }
        }
    }

    TEST_F(BarDrawTest, TwoSeriesStandSideBySideAroundTheirValue)
    {
        Fill(bars, { 3, 8, 1, 9, 4, 4, 7, 2, 6, 5 }, clRed);
        static_cast<void>(RenderWithBottomAxis(700));
        ASSERT_EQ(bars.BarWidth(), 44);

        Fill(other, { 2, 2, 2, 2, 2, 2, 2, 2, 2, 2 }, clBlue);
        const QImage image = RenderWithBottomAxis(700);
        ASSERT_EQ(Bottom().AxisSize(), 700);
        EXPECT_EQ(bars.BarWidth(), 22);
        EXPECT_EQ(other.BarWidth(), 22);
        for (int i = 0; i < 10; ++i) {
            const int x = Bottom().ValueToPixel(i);
            EXPECT_EQ(bars.PointX(i), x - 22) << i;
            EXPECT_EQ(other.PointX(i), x) << i;
            // Each series answers for its own half.
            const int y = bars.OriginPosition(i) - 1;
            EXPECT_EQ(bars.PointAt(x - 11, y), i);
            EXPECT_EQ(other.PointAt(x + 11, y), i);
            EXPECT_EQ(test::PixelColor(image, x - 11, y - 1), clRed) << i;
            EXPECT_EQ(test::PixelColor(image, x + 11, y - 1), clBlue) << i;
        }
        int left = 0;
        int right = 0;
        other.HorizMargins(left, right);
        EXPECT_EQ(left, 44); // the pair takes what one bar took
    }

    TEST_F(BarDrawTest, StackedBarsStartWhereTheOneBelowEnds)
    {
        Fill(bars, { 3, 8 }, clRed);
        Fill(other, { 2, 1 }, clBlue);
        bars.SetMultiBar(mbStacked);
        static_cast<void>(test::Render(chart));
        EXPECT_EQ(other.OriginPosition(0), bars.PointY(0));
        EXPECT_EQ(other.PointY(1), Left().ValueToPixel(9));
        EXPECT_GE(other.MaxYValue(), 9);
        EXPECT_EQ(other.PointX(0), bars.PointX(0));

        bars.SetMultiBar(mbStacked100);
        static_cast<void>(test::Render(chart));
        EXPECT_EQ(other.PointY(0), Left().ValueToPixel(100));
        EXPECT_EQ(bars.PointY(0), Left().ValueToPixel(60));
        EXPECT_EQ(other.MaxYValue(), 100);
    }

    // A dense 3D chart leaves unfilled the part of each bar's side that the next bar covers; the
    // picture must be the one the whole sides give. A handler for the bar style (answering the
    // same style) turns that saving off, so the two pictures are compared.
    struct DenseBarsCase {
        int count;
        int width;
        int zoom;
        bool even;
    };

    class DenseBarsTest : public BarDrawTest, public ::testing::WithParamInterface<DenseBarsCase>
    {
    };

    TEST_P(DenseBarsTest, CoveredSidesLeftUnfilledChangeNoPixel)
    {
        const DenseBarsCase& c = GetParam();
        chart.SetView3D(true);
        chart.View3DOptions().SetZoom(c.zoom);
        chart.resize(c.width, 500);
        for (int i = 0; i < c.count; ++i) {
            const int spread = (i * 7919) % 1000;
            bars.AddBar(c.even ? 0.01 * ((i * 7919) % 100000) : std::pow(10.0, -2.0 + 5.0 * spread / 1000.0), "f",
                i % 2 == 0 ? clRed : clTeal);
        }
        chart.AddSeries(bars);
        static_cast<void>(test::Render(chart)); // the axes size their labels by the last layout
        const QImage saved = test::Render(chart);
        bars.OnGetBarStyle = [](TCustomBarSeries&, int, TBarStyle&) {};
        const QImage whole = test::Render(chart);
        EXPECT_TRUE(saved == whole) << c.count << " bars, " << c.width << " pixels wide";
        if (saved != whole) {
            test::SavePicture(saved, QStringLiteral("dense-bars-%1-%2.png").arg(c.count).arg(c.width));
            test::SavePicture(whole, QStringLiteral("dense-bars-%1-%2-whole.png").arg(c.count).arg(c.width));
        }
    }

    INSTANTIATE_TEST_SUITE_P(Charts, DenseBarsTest,
        ::testing::Values(DenseBarsCase { 40, 800, 100, true }, DenseBarsCase { 120, 900, 100, false },
            DenseBarsCase { 300, 1200, 100, true }, DenseBarsCase { 500, 1600, 100, true },
            DenseBarsCase { 500, 1600, 80, false }, DenseBarsCase { 2000, 900, 100, true }));

} // namespace
} // namespace tarvo
