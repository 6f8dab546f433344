// The chart and the mouse, through real Qt events on shown charts: what a pixel hits, clicks,
// the zoom band and zooming, panning, the wheel and the cursor.

#include "MouseEvents.h"
#include "QtApp.h"
#include "axes/ChartAxis.h"
#include "bar/BarSeries.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tarvo
{
namespace
{

    using test::Drag;
    using test::Press;
    using test::Release;

    // A series whose only point covers a fixed rectangle: overlaps are then the test's choice.
    class SpotSeries : public test::BoxSeries
    {
    public:
        explicit SpotSeries(TRect spot)
            : m_spot(spot)
        {
            AddPoint(0, 50);
        }
        [[nodiscard]] int PointAt(int x, int y) const override
        {
            return x >= m_spot.Left && x < m_spot.Right && y >= m_spot.Top && y < m_spot.Bottom ? 0 : -1;
        }

    private:
        TRect m_spot;
    };

    struct ClickRecord {
        const TChartSeries* series;
        int index;
        TMouseButton button;
        bool doubleClick;
    };

    class ChartMouse : public ::testing::Test
    {
    protected:
        void SetUp() override { test::EnsureQtApp(); }

        // A shown chart, painted once, its draws counted.
        void Show(TChart& chart)
        {
            chart.resize(600, 400);
            chart.OnAfterDraw = [this](TCustomAxisPanel&) { ++m_draws; };
            chart.OnClickSeries = [this](TCustomChart&, TChartSeries& series, int index, TMouseButton button,
                                      TShiftState shift, int, int) {
                m_clicks.push_back({ &series, index, button, shift.testFlag(ssDouble) });
            };
            chart.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
            chart.repaint();
        }

        // Ten bars of heights 10 … 100 on the flat bar chart.
        std::unique_ptr<TChart> BarChart(TBarSeries*& bars)
        {
            auto chart = std::make_unique<TChart>();
            chart->SetView3D(false);
            chart->SetAnimatedZoom(true);
            bars = &static_cast<TBarSeries&>(chart->AddSeries(std::make_unique<TBarSeries>()));
            bars->SetCursor(crHandPoint);
            for (int i = 1; i <= 10; ++i)
                bars->AddBar(10.0 * i, "b" + std::to_string(i), clRed);
            Show(*chart);
            return chart;
        }

        static QPoint BarCentre(const TBarSeries& bars, int i)
        {
            return { bars.PointX(i) + bars.BarWidth() / 2, (bars.PointY(i) + bars.OriginPosition(i)) / 2 };
        }

        static TCustomChartAxis& AxisOf(TChart& chart, TChartAxisRole role) { return *chart.ChartAxis(role); }

        int m_draws = 0;
        std::vector<ClickRecord> m_clicks;
    };

    TEST_F(ChartMouse, PartsAreFoundInTheirOrder)
    {
        TChart chart;
        auto& back
            = static_cast<SpotSeries&>(chart.AddSeries(std::make_unique<SpotSeries>(TRect { 100, 100, 200, 200 })));
        auto& front
            = static_cast<SpotSeries&>(chart.AddSeries(std::make_unique<SpotSeries>(TRect { 150, 150, 250, 250 })));
        chart.Title().SetText({ QStringLiteral("Title") });
        Show(chart);

        EXPECT_EQ(chart.PartAt(175, 175).ASeries, &front) << "the later series wins where both are";
        EXPECT_EQ(chart.PartAt(120, 120).ASeries, &back);
        front.SetActive(false);
        EXPECT_EQ(chart.PartAt(175, 175).ASeries, &back) << "an inactive series is never hit";
        front.SetActive(true);
        chart.repaint();

        const TRect title = chart.Title().DrawnRect();
        EXPECT_EQ(chart.PartAt((title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2).Part, cpTitle);

        const TCustomChartAxis& left = AxisOf(chart, carLeft);
        EXPECT_EQ(chart.PartAt(left.PosAxis() - 4, left.CenterPos()).Part, cpAxis);
        EXPECT_EQ(chart.PartAt(left.PosAxis() - 4, left.CenterPos()).AAxis, chart.Axis(carLeft));

        const auto& legend = *chart.ChartLegend();
        const QPoint row1 = LegendItemTextPos(legend.Layout(), 1);
        const TChartClickedPart legendPart = chart.PartAt(row1.x() + 2, row1.y() + 2);
        EXPECT_EQ(legendPart.Part, cpLegend);
        EXPECT_EQ(legendPart.PointIndex, 1);

        const TRect plot = chart.ChartRect();
        EXPECT_EQ(chart.PartAt(plot.Right - 5, plot.Top + 5).Part, cpChartRect);
        EXPECT_EQ(chart.PartAt(1, chart.height() - 2).Part, cpNone);
    }

    TEST_F(ChartMouse, APressOnASliceReportsItAndAConsumedClickSwallowsTheNextPress)
    {
        TChart chart;
        chart.SetView3D(false);
        auto& pie = static_cast<TPieSeries&>(chart.AddSeries(std::make_unique<TPieSeries>()));
        for (const double value : { 40.0, 30.0, 20.0, 10.0 })
            pie.AddPie(value);
        Show(chart);
        const TPieAngle& slice = pie.SliceAngles()[2];
        const QPoint inside = pie.AngleToPos(slice.MidAngle, pie.XRadius() / 2, pie.YRadius() / 2);

        test::ClickAt(chart, inside, Qt::RightButton);
        ASSERT_EQ(m_clicks.size(), 1U);
        EXPECT_EQ(m_clicks[0].series, &pie);
        EXPECT_EQ(m_clicks[0].index, 2);
        EXPECT_EQ(m_clicks[0].button, mbRight);
        EXPECT_FALSE(chart.ClickConsumed());

        test::ClickAt(chart, { chart.ChartRect().Left + 2, chart.ChartRect().Top + 2 });
        test::ClickAt(chart, inside, Qt::BackButton);
        EXPECT_EQ(m_clicks.size(), 1U) << "empty plot and unknown buttons reach no series handler";

        chart.SetClickConsumed(true);
        test::ClickAt(chart, inside);
        EXPECT_EQ(m_clicks.size(), 1U) << "a consumed click counts for nothing once";
        test::DoubleClickAt(chart, inside, Qt::MiddleButton);
        ASSERT_EQ(m_clicks.size(), 3U);
        EXPECT_EQ(m_clicks[1].button, mbMiddle);
        EXPECT_FALSE(m_clicks[1].doubleClick);
        EXPECT_TRUE(m_clicks[2].doubleClick) << "the second press of a double click says so";
    }

    TEST_F(ChartMouse, DragsZoomInAnimatedFramesAndUndoTheOtherWay)
    {
        TBarSeries* bars = nullptr;
        auto chart = BarChart(bars);
        TCustomChartAxis& bottom = AxisOf(*chart, carBottom);
        const TAxisRangeSettings before = bottom.RangeSettings();
        // Above the short bars: a press on a bar belongs to the click handler, not to the zoom.
        const QPoint start(bars->PointX(1), chart->ChartRect().Top + 10);

        Drag(*chart, start, start + QPoint(10, 50));
        EXPECT_FALSE(chart->Zoomed()) << "10 pixels across is not a zoom";
        EXPECT_EQ(bottom.RangeSettings(), before);

        const double target = bottom.PixelToValue(start.x());
        m_draws = 0;
        Press(*chart, start);
        test::MoveTo(*chart, start + QPoint(50, 50), Qt::LeftButton);
        EXPECT_EQ(m_draws, 0) << "moving the band draws no chart";
        Release(*chart, start + QPoint(50, 50));
        EXPECT_EQ(m_draws, 7) << "AnimatedZoomSteps 8: seven frames before the target";
        EXPECT_TRUE(chart->Zoomed());
        EXPECT_FALSE(bottom.Automatic());
        EXPECT_NEAR(bottom.Minimum(), target, 1e-9);
        EXPECT_LT(bottom.Maximum() - bottom.Minimum(), before.Maximum - before.Minimum);

        Drag(*chart, start + QPoint(50, 50), start);
        EXPECT_FALSE(chart->Zoomed()) << "up and left undoes the zoom";
        EXPECT_EQ(bottom.RangeSettings(), before);
    }

    TEST_F(ChartMouse, TheBandInvertsTheShownPictureAndLeavesNoTrace)
    {
        TBarSeries* bars = nullptr;
        auto chart = BarChart(bars);
        const QImage clean = chart->grab().toImage();
        const QPoint from(chart->ChartRect().Left + 20, chart->ChartRect().Top + 20);
        const QPoint to = from + QPoint(100, 80);
        Press(*chart, from);
        test::MoveTo(*chart, from + QPoint(30, 30), Qt::LeftButton);
        test::MoveTo(*chart, to, Qt::LeftButton);
        const QImage banded = chart->grab().toImage();
        // The band's right and bottom lines lie one pixel inside its corner.
        for (const QPoint p :
            { QPoint(to.x() - 1, (from.y() + to.y()) / 2), QPoint((from.x() + to.x()) / 2, to.y() - 1) })
            EXPECT_NE(banded.pixel(p), clean.pixel(p)) << "on the band at " << p.x() << ", " << p.y();
        const QPoint old = from + QPoint(29, 20);
        EXPECT_EQ(banded.pixel(old), clean.pixel(old)) << "the band at its first corner is gone";
        Release(*chart, from + QPoint(5, 5));
        EXPECT_EQ(chart->grab().toImage(), clean);
    }

    TEST_F(ChartMouse, RightDragPansAndTheWheelScrollsTheValueAxis)
    {
        TBarSeries* bars = nullptr;
        auto chart = BarChart(bars);
        TCustomChartAxis& bottom = AxisOf(*chart, carBottom);
        TCustomChartAxis& left = AxisOf(*chart, carLeft);
        int scrolls = 0;
        chart->OnScroll = [&](TCustomChart&) { ++scrolls; };
        const QPoint start(bars->PointX(5), chart->ChartRect().Top + 10);
        const double valueAtStart = bottom.PixelToValue(start.x());
        const double valueAtEnd = bottom.PixelToValue(start.x() - 40);
        const double width = bottom.Maximum() - bottom.Minimum();
        const double low = bottom.Minimum();

        Drag(*chart, start, start - QPoint(40, 0), Qt::RightButton);
        EXPECT_GT(scrolls, 0);
        EXPECT_NEAR(bottom.Minimum(), low + (valueAtStart - valueAtEnd), 1e-9);
        EXPECT_NEAR(bottom.Maximum() - bottom.Minimum(), width, 1e-9);
        chart->UndoZoom();
        EXPECT_TRUE(bottom.Automatic());

        const double minimum = left.Minimum();
        const double range = left.Maximum() - left.Minimum();
        test::Wheel(*chart, start, 120);
        EXPECT_NEAR(left.Minimum(), minimum - 0.03 * range, 1e-9) << "up subtracts";
        test::Wheel(*chart, start, -60);
        test::Wheel(*chart, start, -60);
        EXPECT_NEAR(left.Minimum(), minimum, 1e-9) << "two half notches make one step down";
    }

    TEST_F(ChartMouse, TheCursorIsTheSeriesOwnOverItsPointsOnly)
    {
        TBarSeries* bars = nullptr;
        auto chart = BarChart(bars);
        test::MoveTo(*chart, BarCentre(*bars, 6));
        EXPECT_EQ(chart->cursor().shape(), Qt::PointingHandCursor);
        test::MoveTo(*chart, { chart->ChartRect().Left + 2, chart->ChartRect().Top + 2 });
        EXPECT_EQ(chart->cursor().shape(), chart->OriginalCursor());
    }

} // namespace
} // namespace tarvo
