// Drawing a pie on a test chart: the 2D chain and its one-point and sliver rules, exploded
// slices and the smaller circle, the 3D order, marks outside the rim, circled layout and hit
// tests on the geometry the drawing left behind.

#include "QtApp.h"
#include "canvas/ChartCanvas3D.h"
#include "pie/PieSeries.h"
#include "series/SeriesTestChart.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace tarvo
{
namespace
{

    // Remembers the pie calls and draws them too.
    class RecordingCanvas : public TChartCanvas3D
    {
    public:
        struct Pie2DCall {
            TRect box;
            QPoint from;
            QPoint to;
        };
        struct Slice3DCall {
            QPoint center;
            double start;
            double end;
            bool drawSides;
        };
        void Pie2D(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
        {
            pies.push_back({ { x1, y1, x2, y2 }, { x3, y3 }, { x4, y4 } });
            TChartCanvas3D::Pie2D(x1, y1, x2, y2, x3, y3, x4, y4);
        }
        void PieSlice3D(int cx, int cy, int xRadius, int yRadius, int z0, int z1, double startAngle, double endAngle,
            bool darkSides, bool drawSides) override
        {
            slices.push_back({ { cx, cy }, startAngle, endAngle, drawSides });
            TChartCanvas3D::PieSlice3D(cx, cy, xRadius, yRadius, z0, z1, startAngle, endAngle, darkSides, drawSides);
        }
        std::vector<Pie2DCall> pies;
        std::vector<Slice3DCall> slices;
    };

    class PieChart : public FakeChart
    {
    public:
        [[nodiscard]] bool View3D() const override { return view3D; }
        void ApplyBrush(TColor color, TBrushStyle style, TColor) override
        {
            Canvas().Brush().SetColor(color);
            Canvas().Brush().SetStyle(style);
        }
        bool view3D = false;
    };

    // Records the order in which the chart asks for points.
    class OrderedPie : public TPieSeries
    {
    public:
        void DrawPoint(int index) override
        {
            drawn.push_back(index);
            TPieSeries::DrawPoint(index);
        }
        std::vector<int> drawn;
    };

    class PieDrawTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtApp();
            image.fill(Qt::white);
            painter.begin(&image);
            canvas.Attach(&painter);
            chart.canvas = &canvas;
            chart.chartRect = { 0, 0, 200, 200 };
        }
        void TearDown() override
        {
            for (TChartSeries* series : std::vector<TChartSeries*>(chart.series))
                series->SetParentChart(nullptr);
            canvas.Attach(nullptr);
            painter.end();
        }
        // What the chart does for one series, without the marks.
        static void Draw(TPieSeries& pie)
        {
            pie.PrepareDraw();
            pie.CalcFirstLastVisible();
            pie.BeginDrawValues();
            pie.DrawValues();
        }
        static TPieSeries& Prepared(TPieSeries& pie, PieChart& chart, const std::vector<double>& values)
        {
            pie.Marks().SetVisible(false);
            pie.PiePen().SetVisible(false);
            for (const double value : values)
                pie.AddPie(value);
            pie.SetParentChart(&chart);
            return pie;
        }

        QImage image { 200, 200, QImage::Format_RGB32 };
        QPainter painter;
        RecordingCanvas canvas;
        PieChart chart;
    };

    TColor PixelAt(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

    TEST_F(PieDrawTest, APieOfOnePointIsAFullEllipse)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 42 });
        pie.SetColorEachPoint(false);
        pie.SetSeriesColor(clRed);
        Draw(pie);
        ASSERT_EQ(canvas.pies.size(), 1U);
        EXPECT_EQ(canvas.pies[0].from, canvas.pies[0].to);
        // All four sides of the circle are filled, not just a sliver.
        for (const QPoint p : { QPoint(100, 20), QPoint(100, 180), QPoint(20, 100), QPoint(180, 100) })
            EXPECT_EQ(PixelAt(image, p.x(), p.y()), clRed) << p.x() << "," << p.y();
    }

    TEST_F(PieDrawTest, ASliverOnOnePixelIsSkippedAndTheNextSliceStartsWhereTheLastEnded)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 1000, 0.001, 1000 });
        Draw(pie);
        ASSERT_EQ(canvas.pies.size(), 2U);
        // Slice 0 ends at 9 o'clock; the skipped sliver leaves the chain there.
        EXPECT_EQ(canvas.pies[0].to, QPoint(0, 100));
        EXPECT_EQ(canvas.pies[1].from, canvas.pies[0].to);
        EXPECT_EQ(canvas.pies[0].from, QPoint(200, 100));
    }

    TEST_F(PieDrawTest, ExplodeBiggestShrinksThePieByHalfTheOffsetOnEachSide)
    {
        TPieSeries pie;
        // Two equal largest values; the first (index 1) points up after the rotation below.
        Prepared(pie, chart, { 10, 40, 40, 10 });
        pie.SetRotationAngle(0);
        pie.SetExplodeBiggest(30);
        Draw(pie);
        EXPECT_TRUE(pie.HasExploded());
        EXPECT_EQ(pie.ExplodePercent(1), 30);
        EXPECT_EQ(pie.ExplodePercent(2), 0);
        // Slice 1 spans 36° … 180°: mid 108°. Offset (Round(100·0.3·cos 108°), Round(100·0.3·sin 108°)) = (−9, 29).
        // The box loses 9 div 2 = 4 at the sides and 29 div 2 = 14 at top and bottom.
        EXPECT_EQ(pie.CircleRect(), (TRect { 4, 14, 196, 186 }));
        EXPECT_EQ(pie.XRadius(), 96);
        EXPECT_EQ(pie.YRadius(), 86);
        // The offset of the drawing is measured on the smaller circle.
        EXPECT_EQ(pie.ExplodedOffset(1), QPoint(-9, 25));
        ASSERT_EQ(canvas.pies.size(), 4U);
        EXPECT_EQ(canvas.pies[1].box, (TRect { 4 - 9, 14 - 25, 196 - 9, 186 - 25 }));
        EXPECT_EQ(canvas.pies[0].box, pie.CircleRect());
    }

    TEST_F(PieDrawTest, In3DAnExplodedPieIsDrawnFromTheBackAndShowsItsSides)
    {
        chart.view3D = true;
        OrderedPie pie;
        // Quarters with mids at 45°, 135°, 225°, 315°; turned by 45° they point to 12, 9, 6 and
        // 3 o'clock.
        Prepared(pie, chart, { 1, 1, 1, 1 });
        pie.SetRotationAngle(45);
        pie.SetExplodePercent(3, 10);
        Draw(pie);
        ASSERT_EQ(pie.drawn.size(), 4U);
        EXPECT_EQ(pie.drawn.front(), 0);
        EXPECT_EQ(pie.drawn.back(), 2);
        ASSERT_EQ(canvas.slices.size(), 4U);
        for (const auto& slice : canvas.slices)
            EXPECT_TRUE(slice.drawSides);
        // Only the exploded slice moves off the centre.
        const QPoint center(pie.CircleCenterX(), pie.CircleCenterY());
        for (std::size_t k = 0; k < 4; ++k) {
            const bool moved = canvas.slices[k].center != center;
            EXPECT_EQ(moved, pie.drawn[k] == 3) << pie.drawn[k];
        }
    }

    TEST_F(PieDrawTest, In3DWithoutExplodedSlicesThePointsComeInOrderWithoutSides)
    {
        chart.view3D = true;
        OrderedPie pie;
        Prepared(pie, chart, { 3, 1, 4, 1, 5 });
        pie.SetRotationAngle(45);
        Draw(pie);
        EXPECT_EQ(pie.drawn, (std::vector<int> { 0, 1, 2, 3, 4 }));
        ASSERT_EQ(canvas.slices.size(), 5U);
        for (const auto& slice : canvas.slices)
            EXPECT_FALSE(slice.drawSides);
        EXPECT_NEAR(canvas.slices[0].start, 45 * kRadiansPerDegree, 1e-12);
    }

    TEST_F(PieDrawTest, FoldedPointsAndTinyCirclesDrawNothing)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 90, 1, 9 });
        pie.OtherSlice().SetStyle(poBelowValue);
        pie.OtherSlice().SetValue(2);
        Draw(pie);
        EXPECT_EQ(canvas.pies.size(), 3U); // 90, 9 and the other slice
        canvas.pies.clear();

        chart.chartRect = { 10, 10, 14, 14 };
        Draw(pie);
        EXPECT_TRUE(canvas.pies.empty());
    }

    TEST_F(PieDrawTest, HitTestsUseTheLastDrawing)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 1, 1, 1, 1 });
        EXPECT_EQ(pie.PointAt(150, 50), -1) << "nothing drawn yet";
        Draw(pie);
        EXPECT_EQ(pie.PointAt(150, 50), 0);
        EXPECT_EQ(pie.PointAt(50, 150), 2);
        EXPECT_EQ(pie.PointAt(100, 20), 0) << "boundary at 12 o'clock belongs to the lower index";
        EXPECT_EQ(pie.PointAt(20, 100), 1) << "boundary at 9 o'clock belongs to the lower index";
        EXPECT_EQ(pie.PointAt(250, 100), -1) << "background beside the pie";
        // The picture turns, the hit test turns with it only after the next drawing.
        pie.SetRotationAngle(90);
        Draw(pie);
        EXPECT_EQ(pie.PointAt(150, 50), 3);
    }

    TEST_F(PieDrawTest, MarksLeaveRoomAroundTheCircleAndSitOutsideTheRim)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 1, 1, 1, 1 });
        pie.Marks().SetVisible(true);
        chart.chartRect = { 0, 0, 400, 300 };
        Draw(pie);
        EXPECT_LT(pie.XRadius(), 200);
        EXPECT_LT(pie.YRadius(), 150);

        TSeriesMarkPosition position;
        position.BoxWidth = 30;
        position.BoxHeight = 12;
        pie.DrawMark(0, "A", position); // mid angle 45°: upper right
        EXPECT_GT(position.ArrowEnd.x(), position.ArrowStart.x());
        EXPECT_LT(position.ArrowEnd.y(), position.ArrowStart.y());
        EXPECT_EQ(position.BoxCorner, QPoint(position.ArrowEnd.x(), position.ArrowEnd.y() - 12));
        EXPECT_EQ(pie.Marks().MarkDepth(), pie.EndZ());
        pie.DrawMark(2, "C", position); // 225°: lower left
        EXPECT_EQ(position.BoxCorner, QPoint(position.ArrowEnd.x() - 30, position.ArrowEnd.y()));
        ASSERT_NE(pie.MarkPositions().At(2), nullptr);
        // The arrow starts on the rim.
        const QPoint start = pie.MarkPositions().At(2)->ArrowStart;
        EXPECT_NEAR(start.x(), pie.CircleCenterX() - pie.XRadius() * 0.7071, 1.0);
    }

    TEST_F(PieDrawTest, CircledKeepsThePieRoundOnTheScreen)
    {
        TPieSeries pie;
        Prepared(pie, chart, { 1 });
        chart.chartRect = { 0, 0, 400, 200 };
        pie.SetCircled(true);
        pie.SetScreenAspectSource([] { return TScreenAspect { 1000, 1000, 300, 300 }; });
        Draw(pie);
        EXPECT_EQ(pie.XRadius(), 100);
        EXPECT_EQ(pie.YRadius(), 100);
        EXPECT_EQ(pie.CircleCenterX(), 200);

        // Pixels twice as tall as wide: half as many rows for the same height.
        pie.SetScreenAspectSource([] { return TScreenAspect { 1000, 500, 250, 250 }; });
        Draw(pie);
        EXPECT_EQ(pie.XRadius(), 200);
        EXPECT_EQ(pie.YRadius(), 100);

        pie.SetCircled(false);
        chart.chartRect = { 0, 0, 300, 100 };
        Draw(pie);
        EXPECT_EQ(pie.XRadius(), 150);
        EXPECT_EQ(pie.YRadius(), 50);
    }

} // namespace
} // namespace tarvo
