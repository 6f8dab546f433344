// Pictures of legends for a person to look at, with the pixels that matter checked: the box in
// the legend colour, its shadow, and colour boxes that stay visible on a legend of their colour.

#include "QtApp.h"
#include "legend/ChartLegend.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace tarvo
{
namespace
{

    constexpr std::array<TColor, 12> kSlices { clWhite, clNavy, clBlue, clPurple, clMaroon, clRed, clFuchsia, clGray,
        clTeal, clGreen, clLime, clOlive };

    TChartLegend& InstallLegend(TChart& chart)
    {
        auto legend = std::make_unique<TChartLegend>(chart);
        TChartLegend& result = *legend;
        chart.SetLegend(std::move(legend));
        return result;
    }

    class ChartLegendPictureTest : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }
    };

    TEST_F(ChartLegendPictureTest, TheBarChartsLegendIsALightYellowBoxWithAShadow)
    {
        TChart chart;
        chart.resize(640, 420);
        test::StyleLikeBars(chart);
        chart.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
        TChartLegend& legend = InstallLegend(chart);
        legend.SetColor(0x80FFFF);
        auto& bars = static_cast<test::BoxSeries&>(chart.AddSeries(std::make_unique<test::BoxSeries>()));
        bars.SetColorEachPoint(true);
        for (std::size_t i = 0; i < kSlices.size(); ++i)
            bars.Append(8.0 * static_cast<double>(i + 1), "folder " + std::to_string(i), kSlices[i]);

        const QImage image = test::Render(chart);
        test::SavePicture(image, QStringLiteral("legend-bars.png"));

        const TRect r = legend.LegendRect();
        ASSERT_EQ(legend.RowCount(), 12);
        test::ExpectLegendRows(image, legend, 0x80FFFF, { { 1, kSlices[1] }, { 5, kSlices[5] }, { 11, kSlices[11] } });
        EXPECT_EQ(test::PixelColor(image, r.Right + 2, r.Bottom + 2), clBlack); // shadow
        EXPECT_EQ(test::PixelColor(image, r.Left - 1, r.Top + 5), clBlack); // frame
        EXPECT_LT(chart.ChartRect().Right, r.Left);
    }

    struct SameColourCase {
        TColor legendColor;
        TColor outline;
    };

    TEST_F(ChartLegendPictureTest, ASliceInTheLegendColourKeepsAVisibleOutline)
    {
        for (const SameColourCase c : { SameColourCase { clWhite, clBlack }, SameColourCase { clBlack, clWhite } }) {
            TChart chart;
            chart.resize(480, 360);
            TChartLegend& legend = InstallLegend(chart);
            legend.SetColor(c.legendColor);
            legend.SetTextStyle(ltsPlain);
            auto& pie = static_cast<TPieSeries&>(chart.AddSeries(std::make_unique<TPieSeries>()));
            pie.AddPie(40, "same", c.legendColor);
            pie.AddPie(60, "other", clRed);
            const QImage image = test::Render(chart);
            test::SavePicture(image,
                c.legendColor == clWhite ? QStringLiteral("legend-white.png") : QStringLiteral("legend-black.png"));

            const TLegendLayout& layout = legend.Layout();
            ASSERT_EQ(legend.RowCount(), 2);
            const QPoint text = LegendItemTextPos(layout, 0);
            const TRect box = LegendColorBox(layout, text, LegendColorBoxX(layout, text.x()));
            const int midY = (box.Top + box.Bottom) / 2;
            EXPECT_EQ(test::PixelColor(image, box.Left, midY), c.outline);
            EXPECT_EQ(test::PixelColor(image, box.Left + box.Width() / 2, midY), c.legendColor);
            EXPECT_EQ(test::PixelColor(image, layout.Rect.Left + 2, midY), c.legendColor);
        }
    }

} // namespace
} // namespace tarvo
