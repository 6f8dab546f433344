// The main window's two charts as they are set up, flat and in 3D, with twelve folder-like
// points: pictures for people to look at, with the colours, the legend and clicks checked.

#include "ChartSetup.h"
#include "GuiTestSupport.h"
#include "TestPictures.h"
#include "axes/ChartAxis.h"
#include "bar/BarSeries.h"
#include "legend/ChartLegend.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>

namespace tarvo
{
namespace
{

    constexpr std::array<TColor, 16> kPalette { clWhite, clNavy, clBlue, clPurple, clMaroon, clRed, clFuchsia, clGray,
        clTeal, clGreen, clLime, clOlive, clYellow, clSilver, clSilver, clGray };

    struct ProgramCharts {
        std::unique_ptr<TChart> barChart = std::make_unique<TChart>();
        std::unique_ptr<TChart> pieChart = std::make_unique<TChart>();
        std::unique_ptr<TBarSeries> bars = std::make_unique<TBarSeries>();
        std::unique_ptr<TPieSeries> pie = std::make_unique<TPieSeries>();

        explicit ProgramCharts(bool view3D)
        {
            barChart->resize(760, 460);
            pieChart->resize(640, 420);
            SetUpBarChart(*barChart, *bars);
            SetUpPieChart(*pieChart, *pie);
            const std::array<const char*, 12> names { "usr", "var", "home", "opt", "srv", "lib", "etc", "boot", "root",
                "tmp", "snap", "<All files in this folder>" };
            const std::array<double, 12> sizes { 5120, 2048, 3900, 800, 1200, 640, 12, 210, 95, 40, 1500, 3 };
            for (TChart* chart : { barChart.get(), pieChart.get() }) {
                chart->Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
                chart->SetView3D(view3D);
            }
            for (std::size_t i = 0; i < names.size(); ++i) {
                pie->AddPie(sizes[i], names[i], kPalette[i % kPalette.size()]);
                bars->AddBar(sizes[i], names[i], kPalette[i % kPalette.size()]);
            }
        }
        ~ProgramCharts()
        {
            bars->SetParentChart(nullptr);
            pie->SetParentChart(nullptr);
        }
        ProgramCharts(const ProgramCharts&) = delete;
        ProgramCharts& operator=(const ProgramCharts&) = delete;
    };

    class ChartSetupPicture : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureApp(); }
    };

    TEST_F(ChartSetupPicture, BothChartsWaitForTheFirstAnalysisUnderTheirNames)
    {
        TChart bars;
        TChart pies;
        TBarSeries barSeries;
        TPieSeries pieSeries;
        SetUpBarChart(bars, barSeries);
        SetUpPieChart(pies, pieSeries);
        for (const TChart* chart : { &bars, &pies }) {
            EXPECT_EQ(
                chart->Title().Text(), QStringList { QStringLiteral("Select drive or directory and press run !") });
            EXPECT_TRUE(chart->View3D());
            ASSERT_EQ(chart->SeriesCount(), 1);
        }
        EXPECT_EQ(bars.Name(), QStringLiteral("Bars"));
        EXPECT_EQ(pies.Name(), QStringLiteral("Pies"));
        EXPECT_EQ(barSeries.Marks().ArrowLength(), 20);
        EXPECT_EQ(pieSeries.Marks().ArrowLength(), 8);
        EXPECT_EQ(pieSeries.RotationAngle(), 5);
        EXPECT_EQ(pies.View3DOptions().Zoom(), 95);
        EXPECT_FALSE(pies.ClipPoints());
        EXPECT_TRUE(bars.ClipPoints());
        barSeries.SetParentChart(nullptr);
        pieSeries.SetParentChart(nullptr);
    }

    TEST_F(ChartSetupPicture, TheFlatBarChartShowsEachBarInItsColour)
    {
        ProgramCharts program(false);
        const QImage image = test::Render(*program.barChart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/bars-flat.png")));

        const TBarSeries& bars = *program.bars;
        ASSERT_GT(bars.BarWidth(), 4);
        for (const int i : { 0, 1, 2, 4, 10 }) { // tall enough to have an inside
            const int x = bars.PointX(i) + bars.BarWidth() / 2;
            const int y = (bars.PointY(i) + bars.OriginPosition(i)) / 2;
            EXPECT_EQ(test::PixelColor(image, x, y), bars.PointColor(i)) << "bar " << i;
            EXPECT_EQ(bars.PointAt(x, y), i);
        }
        // Every mark drawn sits above its bar, its arrow from the bar's centre into its box's
        // lower edge: a box that would cover a drawn text (usr's the value axis, etc's and the
        // files' their neighbours') slides sideways along its arrow; only tmp's, which fits
        // nowhere, is left out.
        int drawn = 0;
        for (int i = 0; i < bars.PointCount(); ++i) {
            const TSeriesMarkPosition* mark = bars.MarkPositions().At(i);
            if (mark == nullptr)
                continue;
            ++drawn;
            EXPECT_LT(mark->BoxCorner.y(), bars.PointY(i)) << i;
            EXPECT_EQ(mark->ArrowStart.x(), bars.PointX(i) + bars.BarWidth() / 2) << i;
            EXPECT_GT(mark->ArrowEnd.x(), mark->BoxCorner.x()) << i;
            EXPECT_LT(mark->ArrowEnd.x(), mark->BoxCorner.x() + mark->BoxWidth) << i;
        }
        EXPECT_EQ(drawn, bars.PointCount() - 1);
        EXPECT_EQ(bars.MarkPositions().At(9), nullptr) << "tmp";
        EXPECT_EQ(bars.PointAt(3, 3), -1);
        // The legend lists all twelve entries, each beside a box of its colour.
        const auto* legend = program.barChart->ChartLegend();
        ASSERT_NE(legend, nullptr);
        ASSERT_EQ(legend->RowCount(), 12);
        test::ExpectLegendRows(image, *legend, 0x80FFFF,
            { { 0, bars.PointColor(0) }, { 6, bars.PointColor(6) }, { 11, bars.PointColor(11) } });
    }

    TEST_F(ChartSetupPicture, The3DBarChartAnswersClicksThroughTheProjection)
    {
        ProgramCharts program(true);
        const QImage image = test::Render(*program.barChart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/bars-3d.png")));

        const TBarSeries& bars = *program.bars;
        const TChartCanvas3D& canvas = program.barChart->Canvas();
        for (const int i : { 0, 2, 10 }) {
            const int x = bars.PointX(i) + bars.BarWidth() / 2;
            const int y = (bars.PointY(i) + bars.OriginPosition(i)) / 2;
            const QPoint front = canvas.ProjectXY(x, y, bars.StartZ());
            EXPECT_EQ(bars.PointAt(front.x(), front.y()), i) << "bar " << i;
            // The front face is the bar's own colour.
            EXPECT_EQ(test::PixelColor(image, front.x(), front.y()), bars.PointColor(i)) << "bar " << i;
        }
    }

    TEST_F(ChartSetupPicture, TheFlatPieShowsEachSliceInItsColourAndSwitchesTheChartToPieMode)
    {
        ProgramCharts program(false);
        const auto* left = program.pieChart->ChartAxis(carLeft);
        ASSERT_NE(left, nullptr);
        const double leftMaximum = left->Maximum();
        const QImage image = test::Render(*program.pieChart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/pie-flat.png")));

        EXPECT_FALSE(program.pieChart->AxisVisible());
        EXPECT_FALSE(program.pieChart->View3DWalls());
        EXPECT_FALSE(program.pieChart->AllowZoom());
        EXPECT_EQ(program.pieChart->View3DOptions().Elevation(), 315);
        // The slices' sizes (up to 5120) never reach the axes the pie sits on.
        EXPECT_EQ(left->Maximum(), leftMaximum);

        const TPieSeries& pie = *program.pie;
        ASSERT_EQ(pie.SliceAngles().size(), 12U);
        // Circled on square pixels (or nearly so): about as wide as high.
        EXPECT_NEAR(pie.XRadius(), pie.YRadius(), pie.YRadius() / 4 + 1);
        for (int i = 0; i < 12; ++i) {
            const TPieAngle& slice = pie.SliceAngles()[static_cast<std::size_t>(i)];
            if (slice.EndAngle - slice.StartAngle < 0.2)
                continue; // too thin to hit a pixel inside reliably
            const QPoint p = pie.AngleToPos(slice.MidAngle, pie.XRadius() / 2, pie.YRadius() / 2);
            EXPECT_EQ(test::PixelColor(image, p.x(), p.y()), pie.PointColor(i)) << "slice " << i;
            EXPECT_EQ(pie.PointAt(p.x(), p.y()), i);
        }
        // Outside the pie's box there is no slice.
        EXPECT_EQ(pie.PointAt(3, 3), -1);
        // The legend lists all twelve entries, each beside a box of its colour.
        const auto* legend = program.pieChart->ChartLegend();
        ASSERT_NE(legend, nullptr);
        ASSERT_EQ(legend->RowCount(), 12);
        test::ExpectLegendRows(image, *legend, clWhite,
            { { 0, pie.PointColor(0) }, { 6, pie.PointColor(6) }, { 11, pie.PointColor(11) } });
    }

    TEST_F(ChartSetupPicture, The3DPieAnswersClicksThroughTheProjection)
    {
        ProgramCharts program(true);
        const QImage image = test::Render(*program.pieChart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/pie-3d.png")));

        const TPieSeries& pie = *program.pie;
        const TChartCanvas3D& canvas = program.pieChart->Canvas();
        ASSERT_EQ(pie.SliceAngles().size(), 12U);
        for (const int i : { 0, 1, 2 }) {
            const TPieAngle& slice = pie.SliceAngles()[static_cast<std::size_t>(i)];
            const QPoint flat = pie.AngleToPos(slice.MidAngle, pie.XRadius() / 2, pie.YRadius() / 2);
            const QPoint screen = canvas.ProjectXY(flat.x(), flat.y(), 0);
            EXPECT_EQ(pie.PointAt(screen.x(), screen.y()), i) << "slice " << i;
        }
    }

    // The zoom band over the bar chart of sixteen folders (every palette colour, gray and silver
    // included): it crosses the gradient, the walls and every bar, each of its pixels differs
    // clearly from the picture under it, nothing else changes, and a second band erases it.
    class ZoomBandPicture : public ::testing::TestWithParam<bool>
    {
    protected:
        void SetUp() override { test::EnsureApp(); }
    };

    TEST_P(ZoomBandPicture, TheBandShowsOnEveryBackgroundAndItsSecondDrawingErasesIt)
    {
        TChart chart;
        TBarSeries bars;
        SetUpBarChart(chart, bars);
        chart.resize(900, 520);
        chart.SetView3D(GetParam());
        chart.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
        for (std::size_t i = 0; i < kPalette.size(); ++i)
            bars.AddBar(400.0 + 37.0 * static_cast<double>(i % 5), "folder " + std::to_string(i), kPalette[i]);
        QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
        QPainter painter(&window);
        chart.DrawTo(painter, chart.ClientRect());
        const QImage clean = window.copy();

        // From above the plot, left of the walls, down to just above the bars' feet.
        const QPoint foot = chart.Canvas().ProjectXY(bars.PointX(0), bars.OriginPosition(0), bars.StartZ());
        const TRect plot = chart.ChartRect();
        chart.ZoomState() = { plot.Left - 30, plot.Top - 20, plot.Right + 20, foot.y() - 4, true };
        const auto drawBand = [&chart, &painter] {
            ASSERT_TRUE(chart.Canvas().DrawOverBuffer([&chart] { chart.DrawZoomRectangle(); }));
            ASSERT_TRUE(chart.Canvas().RedrawFromBuffer(painter));
        };
        drawBand();
        const QImage banded = window.copy();
        std::set<TColor> under;
        int changed = 0;
        for (int y = 0; y < clean.height(); ++y)
            for (int x = 0; x < clean.width(); ++x) {
                const TColor before = test::PixelColor(clean, x, y);
                const TColor after = test::PixelColor(banded, x, y);
                if (before == after)
                    continue;
                ++changed;
                under.insert(before);
                const TZoomPanningRecord& band = chart.ZoomState();
                EXPECT_TRUE(x == band.X0 || x == band.X1 - 1 || x == band.X1 || y == band.Y0 || y == band.Y1 - 1
                    || y == band.Y1)
                    << "(" << x << ", " << y << ") changed off the band";
                for (const int shift : { 0, 8, 16 })
                    ASSERT_GE(std::abs(static_cast<int>((before >> shift) & 0xFF)
                                  - static_cast<int>((after >> shift) & 0xFF)),
                        128)
                        << "(" << x << ", " << y << ") " << std::hex << before << " -> " << after;
            }
        const TZoomPanningRecord& band = chart.ZoomState();
        EXPECT_GE(changed, 2 * (band.X1 - band.X0 + band.Y1 - band.Y0) - 4);
        for (const TColor color : kPalette)
            EXPECT_TRUE(under.contains(color)) << "no band pixel over a bar of colour " << std::hex << color;
        EXPECT_TRUE(std::any_of(under.begin(), under.end(), [](TColor c) { return RedOf(c) == 0 && BlueOf(c) > 0x40; }))
            << "the band never crossed the gradient";
        test::SavePicture(banded, QStringLiteral("zoom-band-%1.png").arg(GetParam() ? "3d" : "flat"));

        drawBand();
        EXPECT_EQ(window, clean) << "the second band left a trace";
        painter.end();
        bars.SetParentChart(nullptr);
    }

    INSTANTIATE_TEST_SUITE_P(Views, ZoomBandPicture, ::testing::Bool(),
        [](const ::testing::TestParamInfo<bool>& info) { return std::string(info.param ? "View3D" : "Flat"); });

} // namespace
} // namespace tarvo
