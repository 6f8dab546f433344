#pragma once

// A chart for panel tests: a series that draws each point as a box standing on the plot's
// bottom edge (no axes needed), and a way to render a chart onto an image.

#include "Chart.h"
#include "canvas/CanvasTestSupport.h"
#include "legend/ChartLegend.h"
#include "legend/ChartLegendGeometry.h"
#include "series/ChartSeries.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tarvo::test
{

// Point i is a box in the i-th of PointCount columns of the plot, value percent of its height
// high, in the point's colour, in the series' slice of depth.
class BoxSeries : public TChartSeries
{
public:
    void DrawPoint(int index) override
    {
        TChartSeriesHost* chart = ParentChart();
        if (chart == nullptr)
            return;
        const TRect r = chart->ChartRect();
        const int count = PointCount();
        const int left = r.Left + r.Width() * index / count;
        const int right = r.Left + r.Width() * (index + 1) / count - 2;
        const int top = r.Bottom - static_cast<int>(r.Height() * YValue(index) / 100.0);
        chart->ApplyBrush(PointColor(index), bsSolid, clWhite);
        chart->Canvas().Pen().SetColor(clBlack);
        chart->Canvas().Pen().SetStyle(psSolid);
        chart->Canvas().Box3D(left, right, top, r.Bottom, StartZ(), EndZ(), true);
        drawnPoints.push_back(index);
    }
    void PrepareDraw() override { log.push_back("PrepareDraw " + Name()); }
    void HorizMargins(int& left, int& right) override
    {
        left = horizMargins[0];
        right = horizMargins[1];
    }

    std::vector<int> drawnPoints;
    std::vector<std::string> log;
    int horizMargins[2] = { 0, 0 };
};

// The program's bar chart look: gradient from navy (top) to 0x408000 (bottom), default walls.
inline void StyleLikeBars(TChart& chart)
{
    chart.Gradient().SetVisible(true);
    chart.Gradient().SetStartColor(0x408000);
    chart.Gradient().SetEndColor(clNavy);
    chart.Title().Font().SetName(QStringLiteral("Arial"));
    chart.Title().Font().SetStyle(fsBold);
    chart.Title().Font().SetColor(clYellow);
    chart.Title().Font().SetHeight(-11);
}

// Layout examples measure the panel alone; the legend every chart starts with would take its room.
inline void HideLegend(TChart& chart)
{
    auto* legend = chart.ChartLegend();
    ASSERT_NE(legend, nullptr);
    legend->SetVisible(false);
}

// The legend's background shows beside its rows and row p's colour box has colors[p].
inline void ExpectLegendRows(const QImage& image, const TChartLegend& legend, TColor background,
    const std::vector<std::pair<int, TColor>>& colors)
{
    const TLegendLayout& layout = legend.Layout();
    for (const auto& [p, color] : colors) {
        const QPoint text = LegendItemTextPos(layout, p);
        const TRect box = LegendColorBox(layout, text, LegendColorBoxX(layout, text.x()));
        const int midY = (box.Top + box.Bottom) / 2;
        EXPECT_EQ(PixelColor(image, (box.Left + box.Right) / 2, midY), color) << "row " << p;
        EXPECT_EQ(PixelColor(image, layout.Rect.Left + 2, midY), background) << "row " << p;
    }
}

inline QImage Render(TChart& chart)
{
    QImage image(chart.width(), chart.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.DrawTo(painter, { 0, 0, chart.width(), chart.height() });
    painter.end();
    return image;
}

inline bool IsNear(TColor a, TColor b, int tolerance)
{
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance
        && std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

} // namespace tarvo::test
