// The program's pie chart as the main window sets it up, flat and in 3D, with twelve
// folder-like slices: pictures for people to look at, and a few pixels and clicks checked.

#include "ChartAxis.h"
#include "ChartPanelTestSupport.h"
#include "PieSeries.h"
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

    struct ProgramPie {
        std::unique_ptr<TChart> chart = std::make_unique<TChart>();
        std::unique_ptr<TPieSeries> pie = std::make_unique<TPieSeries>();

        explicit ProgramPie(bool view3D)
        {
            TChart& c = *chart;
            c.resize(640, 420);
            InstallChartAxes(c);
            test::StyleLikeBars(c);
            c.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
            c.SetView3D(view3D);
            c.SetBevelInner(bvRaised);
            c.SetBevelOuter(bvLowered);
            c.View3DOptions().SetZoom(95);

            TPieSeries& p = *pie;
            p.Marks().SetStyle(smsLabelValue);
            p.Marks().SetVisible(true);
            p.Marks().SetArrowLength(8);
            p.SetSeriesColor(clRed);
            p.SetCircled(true);
            p.OtherSlice().SetText("Other");
            p.PieValues().SetName("Pie");
            p.PieValues().SetOrder(loNone);
            p.SetRotationAngle(5);
            const std::array<const char*, 12> names { "usr", "var", "home", "opt", "srv", "lib", "etc", "boot", "root",
                "tmp", "snap", "<All files in this folder>" };
            const std::array<double, 12> sizes { 5120, 2048, 3900, 800, 1200, 640, 12, 210, 95, 40, 1500, 3 };
            for (std::size_t i = 0; i < names.size(); ++i)
                p.AddPie(sizes[i], names[i], kPalette[i % kPalette.size()]);
            c.AddSeries(p);
        }
        ~ProgramPie() { pie->SetParentChart(nullptr); }
        ProgramPie(const ProgramPie&) = delete;
        ProgramPie& operator=(const ProgramPie&) = delete;
    };

    class PieSeriesPictureTest : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }
    };

    TEST_F(PieSeriesPictureTest, TheFlatPieShowsEachSliceInItsColourAndSwitchesTheChartToPieMode)
    {
        ProgramPie program(false);
        const auto* left = dynamic_cast<const TCustomChartAxis*>(program.chart->Axis(carLeft));
        ASSERT_NE(left, nullptr);
        const double leftMaximum = left->Maximum();
        const QImage image = test::Render(*program.chart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/pie-flat.png")));

        EXPECT_FALSE(program.chart->AxisVisible());
        EXPECT_FALSE(program.chart->View3DWalls());
        EXPECT_FALSE(program.chart->AllowZoom());
        EXPECT_EQ(program.chart->View3DOptions().Elevation(), 315);
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
    }

    TEST_F(PieSeriesPictureTest, The3DPieAnswersClicksThroughTheProjection)
    {
        ProgramPie program(true);
        const QImage image = test::Render(*program.chart);
        ASSERT_TRUE(image.save(test::PicturesFolder() + QStringLiteral("/pie-3d.png")));

        const TPieSeries& pie = *program.pie;
        const TChartCanvas3D& canvas = program.chart->Canvas();
        ASSERT_EQ(pie.SliceAngles().size(), 12U);
        for (const int i : { 0, 1, 2 }) {
            const TPieAngle& slice = pie.SliceAngles()[static_cast<std::size_t>(i)];
            const QPoint flat = pie.AngleToPos(slice.MidAngle, pie.XRadius() / 2, pie.YRadius() / 2);
            const QPoint screen = canvas.ProjectXY(flat.x(), flat.y(), 0);
            EXPECT_EQ(pie.PointAt(screen.x(), screen.y()), i) << "slice " << i;
        }
    }

} // namespace
} // namespace tarvo
