// The slice or bar a click answers is the one drawn under the mouse: the window's charts are
// drawn into an image and every pixel that lies at least 2 pixels inside a face of one point's
// colour (a slice's face, rim or side; a bar's front, side or top) is hit-tested.

#include "ChartSetup.h"
#include "GuiTestSupport.h"
#include "bar/BarSeries.h"
#include "canvas/ChartGeometry.h"
#include "legend/ChartLegend.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <gtest/gtest.h>

#include <QHash>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace tarvo
{
namespace
{

    // Twelve colours whose faces and darkened sides (32, 64 and 128 darker) are all different,
    // and none of them on the chart's gradient (which has no red), in the marks or the title.
    constexpr std::array<TColor, 12> kSweepColors = [] {
        std::array<TColor, 12> colors {};
        constexpr std::array<int, 4> greens { 0x80, 0xA0, 0xC0, 0xE0 };
        constexpr std::array<int, 3> blues { 0x80, 0xC0, 0xFF };
        for (std::size_t i = 0; i < colors.size(); ++i)
            colors[i] = RGBColor(0xFF, greens[i % 4], blues[i / 4]);
        return colors;
    }();
    constexpr std::array<double, 12> kSweepSizes { 5120, 2048, 3900, 800, 1200, 640, 120, 210, 95, 400, 1500, 300 };

    struct SweepCase {
        bool pie;
        bool view3D;
        int rotation; // the pie's RotationAngle; the bars' chart keeps its own
        QSize size;
        bool legend;
        bool marks;
        bool exploded;
        int elevation; // the pie's 3D view; 0 keeps the set-up's
    };

    // Named after the case, so that a failure says which picture to look at.
    void PrintTo(const SweepCase& c, std::ostream* out);

    std::string Describe(const SweepCase& c)
    {
        char text[160];
        std::snprintf(text, sizeof text, "%s %s %dx%d, legend %s, marks %s", c.pie ? "pie" : "bars",
            c.view3D ? "3D" : "flat", c.size.width(), c.size.height(), c.legend ? "on" : "off", c.marks ? "on" : "off");
        std::string described = text;
        if (c.pie)
            described += ", rotation " + std::to_string(c.rotation);
        if (c.exploded)
            described += ", exploded";
        if (c.elevation != 0)
            described += ", elevation " + std::to_string(c.elevation);
        return described;
    }

    // Which point each colour a point's faces are drawn in belongs to.
    QHash<TColor, int> FaceColors(bool pie)
    {
        QHash<TColor, int> owner;
        for (std::size_t i = 0; i < kSweepColors.size(); ++i) {
            const TColor color = kSweepColors[i];
            const int index = static_cast<int>(i);
            owner.insert(color, index);
            const std::vector<int> shades = pie ? std::vector<int> { 32 } : std::vector<int> { 64, 128 };
            for (const int shade : shades) {
                EXPECT_FALSE(owner.contains(Shade(color, shade)));
                owner.insert(Shade(color, shade), index);
            }
        }
        return owner;
    }

    // Pixels whose 5 × 5 neighbourhood is all one colour: at least 2 pixels inside a face.
    std::vector<bool> InsideFaces(const QImage& image)
    {
        const int width = image.width();
        const int height = image.height();
        const auto at = [&](int x, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]; };
        std::vector<bool> across(static_cast<std::size_t>(width * height));
        for (int y = 0; y < height; ++y)
            for (int x = 2; x + 2 < width; ++x) {
                const QRgb c = at(x, y);
                across[static_cast<std::size_t>(y * width + x)]
                    = at(x - 2, y) == c && at(x - 1, y) == c && at(x + 1, y) == c && at(x + 2, y) == c;
            }
        std::vector<bool> inside(across.size());
        for (int y = 2; y + 2 < height; ++y)
            for (int x = 2; x + 2 < width; ++x) {
                bool all = true;
                for (int dy = -2; dy <= 2 && all; ++dy)
                    all = across[static_cast<std::size_t>((y + dy) * width + x)] && at(x, y + dy) == at(x, y);
                inside[static_cast<std::size_t>(y * width + x)] = all;
            }
        return inside;
    }

    void PrintTo(const SweepCase& c, std::ostream* out) { *out << Describe(c); }

    class ChartHitSweep : public ::testing::TestWithParam<SweepCase>
    {
    protected:
        void SetUp() override { test::EnsureApp(); }
    };

    TEST_P(ChartHitSweep, EveryPixelInsideAFaceHitsThePointDrawnThere)
    {
        const SweepCase& c = GetParam();
        TChart chart;
        TPieSeries pie;
        TBarSeries bars;
        TChartSeries& series = c.pie ? static_cast<TChartSeries&>(pie) : static_cast<TChartSeries&>(bars);
        if (c.pie)
            SetUpPieChart(chart, pie);
        else
            SetUpBarChart(chart, bars);
        chart.resize(c.size);
        chart.SetView3D(c.view3D);
        chart.Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/home/user") });
        chart.Legend()->SetVisible(c.legend);
        series.Marks().SetVisible(c.marks);
        if (c.elevation != 0)
            chart.View3DOptions().SetElevation(c.elevation);
        for (std::size_t i = 0; i < kSweepSizes.size(); ++i) {
            const std::string label = "folder " + std::to_string(i);
            if (c.pie)
                pie.AddPie(kSweepSizes[i], label, kSweepColors[i]);
            else
                bars.AddBar(kSweepSizes[i], label, kSweepColors[i]);
        }
        if (c.pie) {
            pie.SetRotationAngle(c.rotation);
            if (c.exploded) {
                pie.SetExplodePercent(1, 25);
                pie.SetExplodePercent(4, 40);
                pie.SetExplodePercent(9, 15);
            }
        }

        const QImage image = test::Render(chart);
        const QHash<TColor, int> owner = FaceColors(c.pie);
        const std::vector<bool> inside = InsideFaces(image);
        const TRect legend = c.legend ? chart.ChartLegend()->LegendRect() : TRect {};
        int checked = 0;
        int wrong = 0;
        std::set<int> pointsSeen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (!inside[static_cast<std::size_t>(y * image.width() + x)])
                    continue;
                if (x >= legend.Left && x < legend.Right && y >= legend.Top && y < legend.Bottom)
                    continue; // the legend's colour boxes
                const auto found = owner.constFind(test::PixelColor(image, x, y));
                if (found == owner.cend())
                    continue;
                ++checked;
                pointsSeen.insert(*found);
                const int hit = series.PointAt(x, y);
                if (hit != *found && ++wrong <= 5)
                    ADD_FAILURE() << Describe(c) << ": pixel (" << x << ", " << y << ") of point " << *found << " hits "
                                  << hit;
            }
        std::printf("[ sweep    ] %s: %d pixels, %d wrong\n", Describe(c).c_str(), checked, wrong);
        EXPECT_EQ(wrong, 0) << Describe(c);
        // Every point but the two smallest (under 1 % of the pie, a few pixels high as bars)
        // shows a face inside: the sweep saw the whole chart, not a corner of it.
        EXPECT_GE(pointsSeen.size(), kSweepColors.size() - 2) << Describe(c);
        series.SetParentChart(nullptr);
    }

    std::vector<SweepCase> SweepCases()
    {
        std::vector<SweepCase> cases;
        const std::array<QSize, 2> sizes { QSize(640, 420), QSize(1100, 700) };
        const std::array<int, 4> rotations { 0, 45, 137, 359 };
        for (const bool pie : { true, false })
            for (const bool view3D : { true, false })
                for (std::size_t s = 0; s < sizes.size(); ++s)
                    for (std::size_t r = 0; r < (pie ? rotations.size() : 2); ++r) {
                        // Legend, marks, pulled-out slices and the pie's elevation change with the
                        // rows, so that each appears with either size and either view.
                        const bool legend = (r + s) % 2 == 0;
                        const bool marks = r != 1;
                        const bool exploded = pie && r >= 2;
                        const int elevation = pie && view3D && r == 3 ? (s == 0 ? 300 : 340) : 0;
                        cases.push_back({ pie, view3D, rotations[r], sizes[s], legend, marks, exploded, elevation });
                    }
        return cases;
    }

    INSTANTIATE_TEST_SUITE_P(WindowCharts, ChartHitSweep, ::testing::ValuesIn(SweepCases()));

} // namespace
} // namespace tarvo
