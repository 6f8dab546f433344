// Where marks go and what they look like: measured boxes, stored positions and rendered pictures.

#include "canvas/CanvasTestSupport.h"
#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesFormat.h"
#include "series/SeriesTestChart.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <memory>
#include <optional>

namespace tarvo
{
namespace
{

    // Keeps its boxes ArrowLength pixels above the point, as the bar series does, so that the
    // arrow shows; remembers the last position the base drawing handed back.
    class LiftedMarksSeries : public TChartSeries
    {
    public:
        void DrawMark(int index, const std::string& text, TSeriesMarkPosition& position) override
        {
            const int lift = Marks().ArrowLength();
            position.ArrowEnd.ry() -= lift;
            position.BoxCorner.ry() -= lift;
            TChartSeries::DrawMark(index, text, position);
            lastDrawn = position;
        }
        std::optional<TSeriesMarkPosition> lastDrawn;
    };

    // Inside of the left / top edge, outside the right / bottom (the layout's rectangles).
    struct TBounds {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        bool operator==(const TBounds&) const = default;
    };

    std::optional<TBounds> BoundsOf(const QImage& image, TColor color)
    {
        std::optional<TBounds> found;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (test::PixelColor(image, x, y) != color)
                    continue;
                if (!found)
                    found = TBounds { x, y, x + 1, y + 1 };
                found->left = std::min(found->left, x);
                found->top = std::min(found->top, y);
                found->right = std::max(found->right, x + 1);
                found->bottom = std::max(found->bottom, y + 1);
            }
        }
        return found;
    }

    // Red text, anti-aliased over white or yellow: red stays full, green drops.
    bool IsInk(const QImage& image, int x, int y)
    {
        const TColor c = test::PixelColor(image, x, y);
        return RedOf(c) > 200 && GreenOf(c) < 160 && BlueOf(c) < 160;
    }

    int CountInk(const QImage& image, int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y)
            for (int x = std::max(0, left); x < std::min(image.width(), right); ++x)
                count += IsInk(image, x, y) ? 1 : 0;
        return count;
    }

    class MarksDrawTest : public testing::Test
    {
    protected:
        static constexpr int kWidth = 320;
        static constexpr int kHeight = 200;
        static constexpr TColor kBack = clYellow; // box fill, nowhere else in the pictures

        // A repaint in progress with the series in the chart: points at x = 40 + 80·X, y = 170 − Y.
        void StartDrawing(const TView3DOptions* options = nullptr, bool view3D = false)
        {
            m_saved = ChartFormatSettings();
            SetChartFormatSettings(FormatSettings::Invariant());
            drawing = std::make_unique<test::CanvasDrawing>(kWidth, kHeight, options, view3D);
            chart.canvas = &drawing->canvas;
            chart.panelColor = clWhite;
            chart.chartRect = { 0, 0, kWidth, kHeight };
            chart.bottom = std::make_unique<FakeAxis>(true, 40, 80.0);
            chart.left = std::make_unique<FakeAxis>(false, 170, -1.0);
            series.SetParentChart(&chart);
            series.SetSeriesColor(clGreen);
            TSeriesMarks& marks = series.Marks();
            marks.SetVisible(true);
            marks.SetBackColor(kBack);
            marks.Font().SetColor(clRed);
            marks.Arrow().SetColor(clBlue);
            marks.SetArrowLength(20);
        }
        void TearDown() override
        {
            series.SetParentChart(nullptr);
            if (drawing)
                SetChartFormatSettings(m_saved);
        }

        const QImage& Paint()
        {
            series.CalcFirstLastVisible();
            series.PaintMarks();
            return drawing->Finish();
        }

        FakeChart chart;
        LiftedMarksSeries series;
        std::unique_ptr<test::CanvasDrawing> drawing;

    private:
        FormatSettings m_saved;
    };

    TEST_F(MarksDrawTest, BoxSitsCentredAboveItsPointSizedByTextAndFrame)
    {
        StartDrawing();
        series.Marks().SetArrowLength(0);
        series.Append(100, "abcdef");
        series.Append(60, "ab\rabcdef");
        series.Append(120, "abcdef");
        series.Marks().Frame().SetWidth(3);
        series.Marks().SetTransparent(true);
        series.Marks().Frame().SetVisible(false);
        series.Marks().SetStyle(smsLabel);
        series.CalcFirstLastVisible();
        series.PaintMarks();

        const TSeriesMarkPositions& stored = series.Marks().Positions();
        ASSERT_EQ(stored.Count(), 3);
        const TSeriesMarkPosition first = *stored.At(0);
        const TSeriesMarkPosition second = *stored.At(1);
        EXPECT_EQ(first.ArrowStart, QPoint(40, 70));
        EXPECT_EQ(first.ArrowEnd, QPoint(40, 70));
        EXPECT_EQ(second.ArrowStart, QPoint(120, 110));
        EXPECT_EQ(first.BoxCorner, QPoint(40 - first.BoxWidth / 2, 70 - first.BoxHeight + 1));
        EXPECT_EQ(second.BoxCorner, QPoint(120 - second.BoxWidth / 2, 110 - second.BoxHeight + 1));
        // The second box has two lines, its widest as wide as the first box' one line.
        EXPECT_EQ(second.BoxWidth, first.BoxWidth);
        EXPECT_EQ(second.BoxHeight, 2 * first.BoxHeight);
        EXPECT_GT(first.BoxWidth, drawing->canvas.TextWidth(QStringLiteral("abcdef")));
        EXPECT_EQ(stored.At(2)->BoxCorner.y(), 50 - first.BoxHeight + 1);

        // A visible frame adds its width on every side.
        series.Marks().Frame().SetVisible(true);
        series.PaintMarks();
        EXPECT_EQ(stored.At(0)->BoxWidth, first.BoxWidth + 6);
        EXPECT_EQ(stored.At(1)->BoxHeight, 2 * (stored.At(0)->BoxHeight - 6) + 6);
        drawing->Finish();
    }

    TEST_F(MarksDrawTest, OnlyVisibleNonNullPointsWithTextGetMarks)
    {
        StartDrawing();
        series.Append(10, "a");
        series.AppendNull("null");
        series.Append(30, "skip");
        series.Append(40, "d");
        series.Append(50, "beyond the right edge");
        series.OnGetMarkText = [](TChartSeries&, int index, std::string& text) {
            if (index == 2)
                text.clear();
        };
        Paint();
        const TSeriesMarkPositions& stored = series.Marks().Positions();
        EXPECT_TRUE(stored.Has(0));
        EXPECT_FALSE(stored.Has(1));
        EXPECT_FALSE(stored.Has(2));
        EXPECT_TRUE(stored.Has(3));
        EXPECT_FALSE(stored.Has(4));
        EXPECT_EQ(series.FirstVisible(), 0);
        EXPECT_EQ(series.LastVisible(), 3);
    }

    TEST_F(MarksDrawTest, HiddenMarksDrawAndStoreNothing)
    {
        StartDrawing();
        series.Append(100, "hidden");
        series.Marks().SetVisible(false);
        const QImage& image = Paint();
        EXPECT_EQ(series.Marks().Positions().Count(), 0);
        EXPECT_EQ(test::CountPixels(image, clWhite), kWidth * kHeight);
    }

    TEST_F(MarksDrawTest, CustomStoredPositionIsDrawnInsteadOfTheComputedOne)
    {
        StartDrawing();
        series.Append(100, "computed");
        series.Append(100, "custom");
        TSeriesMarkPosition& custom = series.Marks().Positions().Ensure(1);
        custom.IsCustom = true;
        custom.ArrowStart = QPoint(200, 150);
        custom.ArrowEnd = QPoint(250, 150);
        custom.BoxCorner = QPoint(250, 140);
        custom.BoxWidth = 40;
        custom.BoxHeight = 20;
        series.Marks().SetTransparent(false);
        series.Marks().Frame().SetVisible(false);

        const QImage& image = Paint();
        test::SavePicture(image, QStringLiteral("marks-custom-position.png"));

        ASSERT_TRUE(series.lastDrawn.has_value());
        EXPECT_EQ(series.lastDrawn->BoxCorner, QPoint(250, 140)); // handed back to the series
        const TSeriesMarkPosition& stored = *series.Marks().Positions().At(1);
        EXPECT_TRUE(stored.IsCustom);
        EXPECT_EQ(stored.BoxCorner, QPoint(250, 140));
        EXPECT_EQ(stored.BoxWidth, 40);
        EXPECT_FALSE(series.Marks().Positions().At(0)->IsCustom);

        // The custom box and the computed one of point 0 are the two yellow areas.
        EXPECT_EQ(test::PixelColor(image, 251, 141), kBack);
        EXPECT_EQ(test::PixelColor(image, 288, 158), kBack);
        EXPECT_NE(test::PixelColor(image, 291, 141), kBack);
        EXPECT_EQ(test::PixelColor(image, 225, 150), clBlue); // the custom arrow
        // Point 1's computed place, above (120, 70), stayed empty.
        EXPECT_EQ(test::PixelColor(image, 120, 45), clWhite);
    }

    TEST_F(MarksDrawTest, RendersArrowBoxFrameAndText)
    {
        StartDrawing();
        series.Marks().SetStyle(smsLabelValue);
        series.Append(60, "Windows");
        series.Append(100, "Tmp\rfiles");
        const QImage& image = Paint();
        test::SavePicture(image, QStringLiteral("marks-flat.png"));

        for (int i = 0; i < 2; ++i) {
            const TSeriesMarkPosition& at = *series.Marks().Positions().At(i);
            const QPoint point = at.ArrowStart;
            SCOPED_TRACE(i);
            // Arrow from the point up to the box.
            EXPECT_EQ(at.ArrowEnd, point - QPoint(0, 20));
            EXPECT_EQ(test::PixelColor(image, point.x(), point.y() - 10), clBlue);
            // Box: frame on its edges, fill inside, text in the font colour.
            const int left = at.BoxCorner.x();
            const int top = at.BoxCorner.y();
            EXPECT_EQ(test::PixelColor(image, left, top + at.BoxHeight / 2), clBlack);
            EXPECT_EQ(test::PixelColor(image, left + at.BoxWidth - 1, top + 1), clBlack);
            EXPECT_EQ(test::PixelColor(image, left + 2, top + 2), kBack);
            EXPECT_GT(CountInk(image, left, top, left + at.BoxWidth, top + at.BoxHeight), 10);
        }
        // The second box holds two lines: text in its lower half too.
        const TSeriesMarkPosition& two = *series.Marks().Positions().At(1);
        const int middle = two.BoxCorner.y() + two.BoxHeight / 2;
        EXPECT_GT(CountInk(image, two.BoxCorner.x(), middle + 1, two.BoxCorner.x() + two.BoxWidth,
                      two.BoxCorner.y() + two.BoxHeight),
            5);
        // No fill and no text outside the boxes.
        QImage outside = image.copy();
        QPainter blank(&outside);
        for (int i = 0; i < 2; ++i) {
            const TSeriesMarkPosition& at = *series.Marks().Positions().At(i);
            blank.fillRect(at.BoxCorner.x(), at.BoxCorner.y(), at.BoxWidth, at.BoxHeight, Qt::white);
        }
        blank.end();
        EXPECT_EQ(test::CountPixels(outside, kBack), 0);
        EXPECT_EQ(CountInk(outside, 0, 0, kWidth, kHeight), 0);
    }

    TEST_F(MarksDrawTest, TextPaintsNoCellBackground)
    {
        StartDrawing();
        series.Append(100, "filled box");
        const QImage& image = Paint();
        const TSeriesMarkPosition& at = *series.Marks().Positions().At(0);
        // Inside the frame only the fill and the text's anti-aliased red show, never white.
        int white = 0;
        for (int y = at.BoxCorner.y() + 1; y < at.BoxCorner.y() + at.BoxHeight - 1; ++y)
            for (int x = at.BoxCorner.x() + 1; x < at.BoxCorner.x() + at.BoxWidth - 1; ++x)
                white += test::PixelColor(image, x, y) == clWhite ? 1 : 0;
        EXPECT_EQ(white, 0);
    }

    TEST_F(MarksDrawTest, TransparentWithoutFrameDrawsOnlyTextAndArrowOverTheChart)
    {
        StartDrawing();
        drawing->canvas.Brush().SetColor(clSilver);
        drawing->canvas.FillRect2D({ 0, 0, kWidth, kHeight });
        series.Marks().SetTransparent(true);
        series.Marks().Frame().SetVisible(false);
        series.Append(100, "see through");
        const QImage& image = Paint();
        EXPECT_EQ(test::CountPixels(image, kBack), 0);
        EXPECT_EQ(test::CountPixels(image, clBlack), 0);
        EXPECT_EQ(test::CountPixels(image, clWhite), 0); // no text cell hides the chart
        EXPECT_GT(CountInk(image, 0, 0, kWidth, kHeight), 10);
        EXPECT_EQ(test::PixelColor(image, 40, 60), clBlue);
    }

    struct ArrowCase {
        TColor arrow;
        TColor point;
        TColor panel;
        TColor drawn;
    };

    class MarksArrowColourTest : public MarksDrawTest, public testing::WithParamInterface<ArrowCase>
    {
    };

    TEST_P(MarksArrowColourTest, ArrowNeverVanishesIntoItsPointOrThePanel)
    {
        const ArrowCase& c = GetParam();
        StartDrawing();
        chart.panelColor = c.panel;
        drawing->canvas.Brush().SetColor(c.panel);
        drawing->canvas.Brush().SetStyle(bsSolid);
        drawing->canvas.FillRect2D({ 0, 0, kWidth, kHeight });
        series.Marks().Arrow().SetColor(c.arrow);
        series.Append(100, "x", c.point);
        const QImage& image = Paint();
        EXPECT_EQ(test::PixelColor(image, 40, 60), c.drawn);
    }

    INSTANTIATE_TEST_SUITE_P(Colours, MarksArrowColourTest,
        testing::Values(ArrowCase { clBlue, clGreen, clWhite, clBlue }, // its own colour
            ArrowCase { clGreen, clGreen, clWhite, clBlack }, // same as the point
            ArrowCase { clWhite, clGreen, clWhite, clBlack }, // same as the panel
            ArrowCase { clGreen, clGreen, clBlack, clWhite })); // on a black panel

    TEST_F(MarksDrawTest, In3DTheBoxFollowsTheProjectedArrowEnd)
    {
        TView3DOptions options;
        options.SetOrthogonal(true);
        StartDrawing(&options, true);
        series.Marks().SetMarkDepth(30);
        series.Append(100, "deep");
        const QImage& image = Paint();
        test::SavePicture(image, QStringLiteral("marks-3d.png"));

        const TSeriesMarkPosition& stored = *series.Marks().Positions().At(0);
        const QPoint end = drawing->canvas.ProjectXY(stored.ArrowEnd.x(), stored.ArrowEnd.y(), 30);
        ASSERT_NE(end, stored.ArrowEnd) << "the test needs a projection that moves the depth";
        const QPoint shift = end - stored.ArrowEnd;
        // The fill lies one frame pixel inside the box drawn at the shifted corner.
        const std::optional<TBounds> fill = BoundsOf(image, kBack);
        ASSERT_TRUE(fill.has_value());
        const QPoint corner = stored.BoxCorner + shift;
        EXPECT_EQ(*fill,
            (TBounds {
                corner.x() + 1, corner.y() + 1, corner.x() + stored.BoxWidth - 1, corner.y() + stored.BoxHeight - 1 }));
        // The arrow was drawn at that depth too: its middle is shifted as well.
        const QPoint middle = drawing->canvas.ProjectXY(40, 60, 30);
        EXPECT_EQ(test::PixelColor(image, middle.x(), middle.y()), clBlue);
    }

    TEST_F(MarksDrawTest, ZoomedTextIn3DGrowsTheFontAndTheBox)
    {
        TView3DOptions options;
        options.SetZoom(200);
        StartDrawing(&options, true);
        series.Marks().Font().SetSize(8);
        series.Append(100, "zoom");
        Paint();
        const TSeriesMarkPosition zoomed = *series.Marks().Positions().At(0);

        TChartCanvas3D measure;
        TChartFont big = series.Marks().Font();
        big.SetSize(16);
        measure.Font() = big;
        EXPECT_EQ(zoomed.BoxHeight, measure.LineHeight() + 2);
        EXPECT_EQ(
            zoomed.BoxWidth, measure.TextWidth(QStringLiteral("zoom")) + measure.TextWidth(QStringLiteral("W")) + 2);
    }

    TEST_F(MarksDrawTest, WithoutZoomTextTheFontKeepsItsSize)
    {
        TView3DOptions options;
        options.SetZoom(200);
        options.SetZoomText(false);
        StartDrawing(&options, true);
        series.Append(100, "zoom");
        Paint();
        TChartCanvas3D measure;
        measure.Font() = series.Marks().Font();
        EXPECT_EQ(series.Marks().Positions().At(0)->BoxHeight, measure.LineHeight() + 2);
    }

    TEST_F(MarksDrawTest, WidestMarkTextCoversEveryNonNullPoint)
    {
        StartDrawing();
        series.Marks().SetStyle(smsLabel);
        series.Append(1, "a");
        series.Append(2, "wide label\rx");
        series.AppendNull("a far wider label of a null point");
        series.Marks().ApplyFont(drawing->canvas);
        EXPECT_EQ(
            series.Marks().MaxMarkWidth(drawing->canvas), drawing->canvas.TextWidth(QStringLiteral("wide label")));
        drawing->Finish();
    }

    TEST_F(MarksDrawTest, ClearingAndDeletingPointsDropStoredPositions)
    {
        StartDrawing();
        for (double v : { 10.0, 20.0, 30.0 })
            series.Append(v, "p");
        series.CalcFirstLastVisible();
        series.PaintMarks();
        const QPoint third = series.Marks().Positions().At(2)->ArrowStart;
        series.DeletePoint(1);
        EXPECT_EQ(series.Marks().Positions().Count(), 2);
        EXPECT_EQ(series.Marks().Positions().At(1)->ArrowStart, third);
        series.ClearPoints();
        EXPECT_EQ(series.Marks().Positions().Count(), 0);
        TSeriesMarkPosition position;
        EXPECT_THROW(series.Marks().DrawMarkItem(-1, clRed, position, "x"), ChartListIndexError);
        EXPECT_EQ(series.Marks().Positions().Count(), 0);
        drawing->Finish();
    }

} // namespace
} // namespace tarvo
