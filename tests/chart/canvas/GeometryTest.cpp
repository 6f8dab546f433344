// Hit tests, shading, gradient bands, text scaling and the outlines of 3D shapes: all plain
// geometry, checked without painting.

#include "canvas/ChartGeometry.h"
#include "canvas/View3DOptions.h"
#include "style/GradientBands.h"

#include "canvas/ChartViews.h"

#include <gtest/gtest.h>

#include <numbers>

namespace tarvo
{
namespace
{

    struct InsideCase {
        QPoint point;
        bool inside;
    };

    // Even-odd with half-open edges: the left and top edges belong to the square, the right and
    // bottom ones do not.
    TEST(InsidePolygon, SquareEdgesAreHalfOpen)
    {
        const std::array<QPoint, 4> square { QPoint(0, 0), QPoint(10, 0), QPoint(10, 10), QPoint(0, 10) };
        const InsideCase cases[] = {
            { { 5, 5 }, true },
            { { 0, 5 }, true },
            { { 5, 0 }, true },
            { { 10, 5 }, false },
            { { 5, 10 }, false },
            { { -1, 5 }, false },
            { { 11, 5 }, false },
            { { 5, -1 }, false },
            { { 9, 9 }, true },
        };
        for (const InsideCase& c : cases)
            EXPECT_EQ(InsidePolygon(c.point, square), c.inside) << c.point.x() << "," << c.point.y();
    }

    TEST(InsidePolygon, ConcaveNotchIsOutside)
    {
        // A U: the notch between the arms is outside.
        const std::array<QPoint, 8> u { QPoint(0, 0), QPoint(4, 0), QPoint(4, 6), QPoint(8, 6), QPoint(8, 0),
            QPoint(12, 0), QPoint(12, 10), QPoint(0, 10) };
        EXPECT_TRUE(InsidePolygon({ 2, 3 }, u));
        EXPECT_FALSE(InsidePolygon({ 6, 3 }, u));
        EXPECT_TRUE(InsidePolygon({ 10, 3 }, u));
        EXPECT_TRUE(InsidePolygon({ 6, 8 }, u));
    }

    TEST(InsidePolygon, NoPointsContainNothing) { EXPECT_FALSE(InsidePolygon({ 0, 0 }, std::span<const QPoint>())); }

    TEST(InsideEllipse, InscribedInTheRectangle)
    {
        const TRect rect { 0, 0, 20, 10 }; // centre (10, 5), a = 10, b = 5
        const InsideCase cases[] = {
            { { 10, 5 }, true },
            { { 20, 5 }, true },
            { { 0, 5 }, true },
            { { 10, 0 }, true },
            { { 0, 0 }, false },
            { { 19, 8 }, false },
            { { 16, 8 }, true },
            { { 21, 5 }, false },
        };
        for (const InsideCase& c : cases)
            EXPECT_EQ(InsideEllipse(c.point, rect), c.inside) << c.point.x() << "," << c.point.y();
        EXPECT_FALSE(InsideEllipse({ 0, 5 }, TRect { 0, 0, 1, 10 })) << "no half-width";
        EXPECT_FALSE(InsideEllipse({ 5, 0 }, TRect { 0, 0, 10, 1 })) << "no half-height";
    }

    TEST(InsideTriangle, UprightAndSideways)
    {
        // Apex (5, 0), base from (0, 10) to (10, 10).
        EXPECT_TRUE(InsideTriangle({ 5, 5 }, 0, 10, 10, 0));
        EXPECT_FALSE(InsideTriangle({ 1, 1 }, 0, 10, 10, 0));
        EXPECT_FALSE(InsideTriangle({ 5, 10 }, 0, 10, 10, 0));
        EXPECT_FALSE(InsideTriangle({ 5, -1 }, 0, 10, 10, 0));
        // Apex (20, 5), base from (0, 0) to (0, 10).
        EXPECT_TRUE(InsideSideTriangle({ 10, 5 }, 0, 10, 0, 20));
        EXPECT_FALSE(InsideSideTriangle({ 15, 1 }, 0, 10, 0, 20));
    }

    struct NearLineCase {
        QPoint point;
        QPoint from;
        QPoint to;
        int tolerance;
        bool near;
    };

    class NearLineTest : public testing::TestWithParam<NearLineCase>
    {
    };

    TEST_P(NearLineTest, WithinAPixelAndNotBeyondTheEnds)
    {
        const NearLineCase& c = GetParam();
        EXPECT_EQ(NearLine(c.point, c.from.x(), c.from.y(), c.to.x(), c.to.y(), c.tolerance), c.near);
    }

    INSTANTIATE_TEST_SUITE_P(Table, NearLineTest,
        testing::Values(NearLineCase { { 5, 0 }, { 0, 0 }, { 10, 0 }, 0, true },
            NearLineCase { { 5, 1 }, { 0, 0 }, { 10, 0 }, 0, false }, // a pixel off
            NearLineCase { { 5, 5 }, { 0, 0 }, { 10, 10 }, 0, true },
            NearLineCase { { 5, 6 }, { 0, 0 }, { 10, 10 }, 0, false },
            NearLineCase { { 0, 0 }, { 0, 0 }, { 10, 0 }, 0, true }, // an end
            NearLineCase { { 12, 0 }, { 0, 0 }, { 10, 0 }, 0, false }, // beyond the end
            NearLineCase { { 12, 0 }, { 0, 0 }, { 10, 0 }, 3, true },
            NearLineCase { { -3, 0 }, { 0, 0 }, { 10, 0 }, 3, true },
            NearLineCase { { -4, 0 }, { 0, 0 }, { 10, 0 }, 3, false },
            NearLineCase { { 3, 3 }, { 3, 3 }, { 3, 3 }, 5, false })); // no line through one point

    TEST(Shade, ReducesEachChannelNotBelowZero)
    {
        EXPECT_EQ(Shade(RGBColor(16, 128, 255), 32), RGBColor(0, 96, 223));
        EXPECT_EQ(Shade(RGBColor(64, 65, 200), 64), RGBColor(0, 1, 136));
        EXPECT_EQ(Shade(clWhite, 128), RGBColor(127, 127, 127));
        EXPECT_EQ(Shade(clRed, 0), clRed);
    }

    TEST(ScaledFontSize, FollowsTheZoomButNeverVanishes)
    {
        EXPECT_EQ(ScaledFontSize(8, 0.5), 4);
        EXPECT_EQ(ScaledFontSize(8, 0.1), 1);
        EXPECT_EQ(ScaledFontSize(8, 0.01), 1);
        EXPECT_EQ(ScaledFontSize(9, 0.5), 4); // 4.5: halves to even
        EXPECT_EQ(ScaledFontSize(8, 1.5), 12);
    }

    TEST(GradientBands, ThousandPixelsHigh)
    {
        const TRect rect { 0, 0, 50, 1000 };
        const auto bands = LinearGradientBands(rect, clBlack, clWhite, gdTopBottom);
        ASSERT_EQ(bands.size(), 256u);
        EXPECT_EQ(bands.front().Color, clBlack) << "colour1 at the bottom";
        EXPECT_EQ(bands.front().Rect.Bottom, 1000);
        EXPECT_EQ(bands.back().Color, clWhite) << "colour2 at the top";
        EXPECT_EQ(bands.back().Rect.Top, 0);
        EXPECT_EQ(bands[128].Color, RGBColor(128, 128, 128));
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_GE(bands[i].Rect.Height(), 3) << i;
            EXPECT_LE(bands[i].Rect.Height(), 4) << i;
            EXPECT_EQ(bands[i].Rect.Left, 0);
            EXPECT_EQ(bands[i].Rect.Right, 50);
            if (i > 0) {
                EXPECT_EQ(bands[i].Rect.Bottom, bands[i - 1].Rect.Top) << "bands tile without gaps at " << i;
            }
        }
    }

    TEST(GradientBands, HorizontalStartsAtTheRight)
    {
        const TRect rect { 10, 0, 20, 5 };
        const auto bands = LinearGradientBands(rect, clRed, clBlue, gdLeftRight);
        ASSERT_EQ(bands.size(), 10u);
        EXPECT_EQ(bands.front().Rect, (TRect { 19, 0, 20, 5 }));
        EXPECT_EQ(bands.front().Color, clRed);
        EXPECT_EQ(bands.back().Rect, (TRect { 10, 0, 11, 5 }));
        EXPECT_EQ(bands.back().Color, clBlue);
    }

    TEST(GradientBands, DegenerateRectangles)
    {
        const auto one = LinearGradientBands({ 0, 0, 10, 1 }, clRed, clBlue, gdBottomTop);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(one.front().Color, clRed);
        EXPECT_TRUE(LinearGradientBands({ 0, 0, 10, 0 }, clRed, clBlue, gdTopBottom).empty());
        // Equal colours make one fill.
        EXPECT_EQ(LinearGradientBands({ 0, 0, 10, 300 }, clNavy, clNavy, gdTopBottom).size(), 1u);
    }

    TProjection ObliqueAtOrigin()
    {
        TProjection p; // centre = origin = (0, 0): (x, y, z) → (x + z, y − z)
        p.Is3D = true;
        p.Oblique = true;
        return p;
    }

    TEST(BoxFaces, RightSideAndTopWhenDepthGoesRightAndUp)
    {
        const TBoxFaces faces = BoxFaces(ObliqueAtOrigin(), 0, 10, 0, 20, 0, 5);
        EXPECT_EQ(faces.Front, (std::array<QPoint, 4> { QPoint(0, 0), QPoint(10, 0), QPoint(10, 20), QPoint(0, 20) }));
        EXPECT_EQ(
            faces.Side, (std::array<QPoint, 4> { QPoint(10, 0), QPoint(15, -5), QPoint(15, 15), QPoint(10, 20) }));
        ASSERT_TRUE(faces.Top.has_value());
        EXPECT_EQ(*faces.Top, (std::array<QPoint, 4> { QPoint(0, 0), QPoint(10, 0), QPoint(15, -5), QPoint(5, -5) }));
    }

    TEST(BoxFaces, LeftSideAndNoTopWhenDepthComesForward)
    {
        const TBoxFaces faces = BoxFaces(ObliqueAtOrigin(), 0, 10, 0, 20, 5, 0);
        EXPECT_EQ(faces.Side[0].x(), 5) << "left side at x = left, seen at depth 5";
        EXPECT_FALSE(faces.Top.has_value());
    }

    TProjection PieChartProjection()
    {
        const TView3DOptions options = test::PieChartView();
        TProjection p;
        p.Begin(&options, true);
        p.Prepare(&options, 20, { 0, 0, 200, 200 });
        return p;
    }

    TEST(PieSliceShape, EqualAnglesGiveADegenerateSlice)
    {
        const TPieSliceShape shape = PieSliceShape(PieChartProjection(), 100, 100, 60, 60, 0, 20, 1.0, 1.0);
        for (const QPoint& p : shape.Front)
            EXPECT_EQ(p, shape.Front[0]);
        EXPECT_TRUE(shape.RimBands.empty());
    }

    struct SliceCase {
        const char* name;
        double startDegrees;
        double endDegrees;
        bool startSide;
        bool endSide;
        std::size_t bands;
    };

    class PieSliceRim : public testing::TestWithParam<SliceCase>
    {
    };

    TEST_P(PieSliceRim, SidesAndRimFacingTheViewer)
    {
        const SliceCase& c = GetParam();
        const double toRadians = std::numbers::pi / 180.0;
        const TPieSliceShape shape = PieSliceShape(
            PieChartProjection(), 100, 100, 60, 60, 0, 20, c.startDegrees * toRadians, c.endDegrees * toRadians);
        EXPECT_EQ(shape.StartSideVisible, c.startSide);
        EXPECT_EQ(shape.EndSideVisible, c.endSide);
        ASSERT_EQ(shape.RimBands.size(), c.bands);
        for (const auto& [first, last] : shape.RimBands) {
            EXPECT_LT(first, last);
            for (int i = first + 1; i <= last; ++i)
                EXPECT_GE(shape.Front[i].x(), shape.Front[i - 1].x()) << "band runs rightward at " << i;
            // The back rim lies below the front one: that is the side seen from above.
            EXPECT_GT(shape.Back[first].y(), shape.Front[first].y());
        }
    }

    INSTANTIATE_TEST_SUITE_P(Slices, PieSliceRim,
        testing::Values(SliceCase { "UpperHalf", 0, 180, true, true, 0 },
            SliceCase { "LowerHalf", 180, 360, false, false, 1 },
            SliceCase { "UpperLeftQuarter", 90, 180, false, true, 0 },
            SliceCase { "AcrossThreeOClock", 300, 420, true, false, 1 },
            SliceCase { "ComesBackAtTheEnd", 300, 650, true, false, 2 }),
        [](const testing::TestParamInfo<SliceCase>& info) { return std::string(info.param.name); });

    TEST(PieSliceShape, FullLowerHalfBandCoversTheWholeRim)
    {
        const double pi = std::numbers::pi;
        const TPieSliceShape shape = PieSliceShape(PieChartProjection(), 100, 100, 60, 60, 0, 20, pi, 2 * pi);
        ASSERT_EQ(shape.RimBands.size(), 1u);
        // The rim starts where it first turns rightward: the first step may be level on the grid.
        EXPECT_LE(shape.RimBands[0].first, 1);
        EXPECT_EQ(shape.RimBands[0].second, kPieSlicePoints - 1);
    }

    TEST(ClipBoxOutline, ObliqueBoxIsAHexagon)
    {
        const auto outline = ClipBoxOutline(ObliqueAtOrigin(), { 0, 0, 100, 50 }, 0, 10);
        const std::array<QPoint, 6> expected { QPoint(0, 50), QPoint(0, 0), QPoint(10, -10), QPoint(110, -10),
            QPoint(110, 40), QPoint(100, 50) };
        EXPECT_EQ(outline, expected);
    }

} // namespace
} // namespace tarvo
