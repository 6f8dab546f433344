// The legend boxes a series draws: which rows get one, in which colour, and the outline that keeps
// a box visible on a legend of its own colour.

#include "QtApp.h"
#include "canvas/ChartCanvas3D.h"
#include "series/ChartSeries.h"
#include "series/SeriesTestChart.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    constexpr TRect kBox { 10, 10, 30, 20 };
    constexpr TColor kUntouched = 0x123456;

    class LegendSymbolTest : public testing::Test
    {
    protected:
        LegendSymbolTest()
            : m_image(40, 30, QImage::Format_RGB32)
        {
            test::EnsureQtApp();
            m_image.fill(ToQColor(kUntouched));
            m_painter.begin(&m_image);
            m_canvas.Attach(&m_painter);
            m_chart.canvas = &m_canvas;
            m_series.SetParentChart(&m_chart);
        }
        ~LegendSymbolTest() override
        {
            m_series.SetParentChart(nullptr);
            Finish();
        }

        void Finish()
        {
            if (!m_painter.isActive())
                return;
            m_canvas.Attach(nullptr);
            m_painter.end();
        }
        // The pixel inside the box and the one on its top edge, once painting is over.
        [[nodiscard]] TColor Inside()
        {
            Finish();
            return FromQColor(m_image.pixelColor(20, 15));
        }
        [[nodiscard]] TColor Edge()
        {
            Finish();
            return FromQColor(m_image.pixelColor(20, 10));
        }

        QImage m_image;
        QPainter m_painter;
        TChartCanvas3D m_canvas;
        FakeChart m_chart;
        TChartSeries m_series;
    };

    TEST_F(LegendSymbolTest, PointRowIsFilledWithThePointColour)
    {
        m_series.Append(1, "a", clRed);
        m_series.DrawLegendSymbol(0, kBox);
        EXPECT_EQ(Inside(), clRed);
    }

    TEST_F(LegendSymbolTest, SeriesRowUsesTheSeriesColour)
    {
        m_series.SetSeriesColor(clBlue);
        m_series.DrawLegendSymbol(-1, kBox);
        EXPECT_EQ(Inside(), clBlue);
    }

    TEST_F(LegendSymbolTest, NullPointsAndMulticolouredSeriesRowsDrawNothing)
    {
        m_series.AppendNull("gap");
        m_series.DrawLegendSymbol(0, kBox);
        m_series.SetColorEachPoint(true);
        m_series.DrawLegendSymbol(-1, kBox);
        EXPECT_EQ(Inside(), kUntouched);
    }

    TEST_F(LegendSymbolTest, BlackBoxOnABlackLegendGetsAWhiteOutline)
    {
        m_chart.legendColor = clBlack;
        m_series.Append(1, "dark", clBlack);
        m_series.DrawLegendSymbol(0, kBox);
        EXPECT_EQ(Edge(), clWhite);
        EXPECT_EQ(Inside(), clBlack);
        EXPECT_EQ(m_canvas.Pen().Color(), clBlack); // the pen is put back
    }

    TEST_F(LegendSymbolTest, BoxInAnotherColourKeepsTheCanvasPen)
    {
        m_chart.legendColor = clBlack;
        m_canvas.Pen().SetColor(clLime);
        m_series.Append(1, "a", clRed);
        m_series.DrawLegendSymbol(0, kBox);
        EXPECT_EQ(Edge(), clLime);
    }

} // namespace
} // namespace tarvo
