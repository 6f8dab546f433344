// The program's bar chart as the main window sets it up, flat and in 3D, with twelve
// folder-like bars: pictures for people to look at, and the bars' colours and clicks checked.

#include "BarSeries.h"
#include "ChartAxis.h"
#include "ChartLegend.h"
#include "ChartPanelTestSupport.h"
#include "QtApp.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace tarvo
{
namespace
{

    constexpr std::array<TColor, 16> kPalette { clWhite, clNavy, clBlue, clPurple, clMaroon, clRed, clFuchsia, clGray,
        clTeal, clGreen, clLime, clOlive, clYellow, clSilver, clSilver, clGray };

    struct ProgramBars {
        std::unique_ptr<TChart> chart = std::make_unique<TChart>();
        std::unique_ptr<TBarSeries> bars = std::make_unique<TBarSeries>();

        explicit ProgramBars(bool view3D)
        {
            TChart& c = *chart;
            c.resize(760, 460);
            InstallChartAxes(c);
            test::StyleLikeBars(c);
            c.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
            c.SetView3D(view3D);
            if (auto* legend = dynamic_cast<TChartLegend*>(c.Legend()))
                legend->SetColor(0x80FFFF);
            if (auto* left = dynamic_cast<TCustomChartAxis*>(c.Axis(carLeft))) {
                left->LabelsFont().SetName(QStringLiteral("Arial"));
                left->LabelsFont().SetColor(clYellow);
            }

            TBarSeries& b = *bars;
            b.Marks().SetArrowLength(20);
            b.Marks().SetStyle(smsLabelValue);
            b.Marks().SetVisible(true);
            b.SetSeriesColor(clRed);
            b.XValues().SetName("X");
            b.XValues().SetOrder(loAscending);
            b.YValues().SetName("Bar");
            b.YValues().SetOrder(loNone);
            b.SetCursor(crHandPoint);
            const std::array<const char*, 12> names { "usr", "var", "home", "opt", "srv", "lib", "etc", "boot", "root",
                "tmp", "snap", "<All files in this folder>" };
            const std::array<double, 12> sizes { 5120, 2048, 3900, 800, 1200, 640, 12, 210, 95, 40, 1500, 3 };
            for (std::size_t i = 0; i < names.size(); ++i)
                b.AddBar(sizes[i], names[i], kPalette[i % kPalette.size()]);
            c.AddSeries(b);
        }
        ~ProgramBars() { bars->SetParentChart(nullptr); }
        ProgramBars(const ProgramBars&) = delete;
        ProgramBars& operator=(const ProgramBars&) = delete;
    };

    class BarSeriesPictureTest : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }
    };

    TEST_F(BarSeriesPictureTest, TheFlatBarChartShowsEachBarInItsColour)
    {
        ProgramBars program(false);
        const QImage image = test::Render(*program.chart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/bars-flat.png")));

        const TBarSeries& bars = *program.bars;
        ASSERT_GT(bars.BarWidth(), 4);
        for (const int i : { 0, 1, 2, 4, 10 }) { // tall enough to have an inside
            const int x = bars.PointX(i) + bars.BarWidth() / 2;
            const int y = (bars.PointY(i) + bars.OriginPosition(i)) / 2;
            EXPECT_EQ(test::PixelColor(image, x, y), bars.PointColor(i)) << "bar " << i;
            EXPECT_EQ(bars.PointAt(x, y), i);
        }
        // Every mark sits above its bar, centred on it.
        for (int i = 0; i < bars.PointCount(); ++i) {
            const TSeriesMarkPosition* mark = bars.MarkPositions().At(i);
            ASSERT_NE(mark, nullptr) << i;
            EXPECT_LT(mark->BoxCorner.y(), bars.PointY(i)) << i;
            EXPECT_EQ(mark->ArrowStart.x(), bars.PointX(i) + bars.BarWidth() / 2) << i;
        }
        EXPECT_EQ(bars.PointAt(3, 3), -1);
    }

    TEST_F(BarSeriesPictureTest, The3DBarChartAnswersClicksThroughTheProjection)
    {
        ProgramBars program(true);
        const QImage image = test::Render(*program.chart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/bars-3d.png")));

        const TBarSeries& bars = *program.bars;
        const TChartCanvas3D& canvas = program.chart->Canvas();
        for (const int i : { 0, 2, 10 }) {
            const int x = bars.PointX(i) + bars.BarWidth() / 2;
            const int y = (bars.PointY(i) + bars.OriginPosition(i)) / 2;
            const QPoint front = canvas.ProjectXY(x, y, bars.StartZ());
            EXPECT_EQ(bars.PointAt(front.x(), front.y()), i) << "bar " << i;
            // The front face is the bar's own colour.
            EXPECT_EQ(test::PixelColor(image, front.x(), front.y()), bars.PointColor(i)) << "bar " << i;
        }
    }

} // namespace
} // namespace tarvo
