// The pie's geometry without painting: circle box, angle ↔ pixel, slice angles, explode
// offsets, the 3D order and the box-and-angle hit test.

#include "pie/PieGeometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace tarvo
{
namespace
{

    TPieCircle CircleIn(const TRect& rect)
    {
        TPieCircle circle;
        circle.Rect = rect;
        circle.AdjustRect();
        circle.CalcRadius(0, 0);
        return circle;
    }

    struct CircleCase {
        TRect input;
        int customX;
        int customY;
        TRect expectedRect;
        int centerX;
        int centerY;
        int xRadius;
        int yRadius;
    };

    TEST(PieCircleLayout, OddSizesLoseAPixelTinyOnesGrowToFourAndCustomRadiiWin)
    {
        const std::vector<CircleCase> cases {
            { { 0, 0, 101, 51 }, 0, 0, { 0, 0, 100, 50 }, 50, 25, 50, 25 },
            { { 10, 20, 12, 21 }, 0, 0, { 10, 20, 14, 24 }, 12, 22, 2, 2 },
            { { 0, 0, 100, 100 }, 30, 0, { 20, 0, 80, 100 }, 50, 50, 30, 50 },
            { { -40, -20, 40, 20 }, 0, 5, { -40, -5, 40, 5 }, 0, 0, 40, 5 },
        };
        for (const CircleCase& c : cases) {
            TPieCircle circle;
            circle.Rect = c.input;
            circle.AdjustRect();
            circle.CalcRadius(c.customX, c.customY);
            EXPECT_EQ(circle.Rect, c.expectedRect) << c.input.Right;
            EXPECT_EQ(circle.CenterX, c.centerX);
            EXPECT_EQ(circle.CenterY, c.centerY);
            EXPECT_EQ(circle.XRadius, c.xRadius);
            EXPECT_EQ(circle.YRadius, c.yRadius);
            EXPECT_EQ(circle.Width, 2 * c.xRadius);
        }
    }

    TEST(PieAngles, AngleToPosMeasuresCounterClockwiseFromThreeOClockWithScreenYDown)
    {
        const TPieCircle circle = CircleIn({ 0, 0, 200, 100 });
        EXPECT_EQ(AngleToPos(circle, 0, 0, 100, 50), QPoint(200, 50));
        EXPECT_EQ(AngleToPos(circle, 0, kPi / 2, 100, 50), QPoint(100, 0));
        EXPECT_EQ(AngleToPos(circle, 0, kPi, 100, 50), QPoint(0, 50));
        // The rotation turns the same angle a quarter further.
        EXPECT_EQ(AngleToPos(circle, kPi / 2, kPi / 2, 100, 50), QPoint(0, 50));
    }

    TEST(PieAngles, PointToAngleInvertsAngleToPosForAnyRotation)
    {
        const TPieCircle circle = CircleIn({ 0, 0, 400, 200 });
        for (const double rotation : { 0.0, 5 * kRadiansPerDegree, 3.0 }) {
            for (double angle = 0.05; angle < kTwoPi; angle += 0.4) {
                const QPoint p = AngleToPos(circle, rotation, angle, 180, 90);
                EXPECT_NEAR(PointToAngle(circle, rotation, p.x(), p.y()), angle, 0.02) << rotation;
            }
        }
    }

    TEST(PieSliceAngles, SlicesShareTheirEdgesAndTheLastEndsOnAFullTurn)
    {
        const std::array<double, 3> values { 1, -1, 2 };
        const std::array<bool, 3> folded { false, false, false };
        const std::vector<TPieAngle> angles = CalcSliceAngles(values, folded, 4);
        ASSERT_EQ(angles.size(), 3U);
        EXPECT_DOUBLE_EQ(angles[0].EndAngle, kPi / 2);
        EXPECT_DOUBLE_EQ(angles[1].StartAngle, angles[0].EndAngle);
        EXPECT_DOUBLE_EQ(angles[1].EndAngle, kPi); // the negative value counts by its size
        EXPECT_EQ(angles[2].EndAngle, kTwoPi);
        EXPECT_DOUBLE_EQ(angles[2].MidAngle, 1.5 * kPi);
    }

    TEST(PieSliceAngles, FoldedSlicesHaveNoWidthAndAZeroTotalGivesTheFirstSliceTheCircle)
    {
        const std::array<double, 3> values { 2, 1, 2 };
        const std::array<bool, 3> folded { false, true, false };
        const std::vector<TPieAngle> angles = CalcSliceAngles(values, folded, 4);
        EXPECT_DOUBLE_EQ(angles[1].StartAngle, angles[1].EndAngle);
        EXPECT_EQ(angles[2].EndAngle, kTwoPi);

        const std::array<double, 2> zeros { 0, 0 };
        const std::array<bool, 2> none { false, false };
        const std::vector<TPieAngle> empty = CalcSliceAngles(zeros, none, 0);
        EXPECT_EQ(empty[0].StartAngle, 0);
        EXPECT_EQ(empty[0].EndAngle, kTwoPi);
        EXPECT_EQ(empty[1].StartAngle, kTwoPi);
        EXPECT_EQ(empty[1].EndAngle, kTwoPi);
    }

    TEST(PieExplode, TheFirstOfEqualPercentagesLeadsAndZeroNeverDoes)
    {
        EXPECT_EQ(MostExplodedIndex(std::vector<int> { 0, 20, 30, 30 }), 2);
        EXPECT_EQ(MostExplodedIndex(std::vector<int> { 0, 0 }), -1);
        EXPECT_EQ(MostExplodedIndex(std::vector<int> { -5, 0 }), -1);
        EXPECT_EQ(MostExplodedIndex(std::vector<int> {}), -1);
    }

    TEST(PieDrawOrder, TwelveOClockIsDrawnFirstAndSixOClockLast)
    {
        EXPECT_DOUBLE_EQ(DistanceFromBack(kPi / 2, 0), 0);
        EXPECT_DOUBLE_EQ(DistanceFromBack(3 * kPi / 2, 0), kPi);
        EXPECT_DOUBLE_EQ(DistanceFromBack(0, 0), kPi / 2);
        EXPECT_DOUBLE_EQ(DistanceFromBack(kPi, 0), kPi / 2);
        // Rotation past a full turn wraps.
        EXPECT_NEAR(DistanceFromBack(3 * kPi / 2, kPi), 0, 1e-12);

        // Four quarter slices: mids at 45°, 135°, 225°, 315°. The two upper ones lie at the back.
        const std::array<double, 4> values { 1, 1, 1, 1 };
        const std::array<bool, 4> folded {};
        const std::vector<TPieAngle> angles = CalcSliceAngles(values, folded, 4);
        EXPECT_EQ(BackToFrontOrder(angles, 0), (std::vector<int> { 0, 1, 2, 3 }));
        // Turned by 45°: slice 0 points to 12 o'clock, slice 2 to 6 o'clock.
        const std::vector<int> turned = BackToFrontOrder(angles, kPi / 4);
        EXPECT_EQ(turned.front(), 0);
        EXPECT_EQ(turned.back(), 2);
    }

    struct HitCase {
        int x;
        int y;
        int expected;
        const char* what;
    };

    TEST(PieHitTest, BoxAndAngleRangeDecide)
    {
        const TPieCircle circle = CircleIn({ 0, 0, 200, 200 }); // centre (100, 100), radius 100
        const std::array<double, 4> values { 1, 1, 1, 1 };
        const std::array<bool, 4> folded {};
        const std::vector<TPieAngle> angles = CalcSliceAngles(values, folded, 4);
        const std::vector<QPoint> offsets(4);
        const std::vector<HitCase> cases {
            { 150, 50, 0, "upper right quarter" },
            { 50, 50, 1, "upper left quarter" },
            { 50, 150, 2, "lower left quarter" },
            { 150, 150, 3, "lower right quarter" },
            { 100, 30, 0, "on the boundary at 12 o'clock: the lower index" },
            { 195, 195, 3, "outside the rim but inside the box" },
            { 100, 200, -1, "on the box's edge" },
            { 350, 100, -1, "far outside" },
        };
        for (const HitCase& c : cases)
            EXPECT_EQ(SliceAtPoint(circle, 0, angles, offsets, c.x, c.y), c.expected) << c.what;
    }

    TEST(PieHitTest, AnExplodedSliceWidensItsBoxBySignedOffsets)
    {
        const TPieCircle circle = CircleIn({ 0, 0, 200, 200 });
        const std::array<double, 2> values { 1, 1 };
        const std::array<bool, 2> folded {};
        const std::vector<TPieAngle> angles = CalcSliceAngles(values, folded, 2);
        // Slice 0 (the upper half) moved up by 20: its box reaches 20 further in y.
        const std::vector<QPoint> offsets { QPoint(0, 20), QPoint(0, 0) };
        EXPECT_EQ(SliceAtPoint(circle, 0, angles, offsets, 100, -15), 0);
        EXPECT_EQ(SliceAtPoint(circle, 0, angles, { offsets.data(), 1 }, 100, -15), 0);
        // A negative offset narrows the box instead.
        const std::vector<QPoint> shrunk { QPoint(0, -20), QPoint(0, 0) };
        EXPECT_EQ(SliceAtPoint(circle, 0, angles, shrunk, 100, 5), -1);
    }

    TEST(PieScreenAspect, PixelsPerMillimetreDecideTheRatio)
    {
        EXPECT_DOUBLE_EQ(CircledAspectRatio({ 1600, 900, 400, 225 }), 1.0);
        // Pixels twice as tall as wide: the same number of pixels covers twice the height.
        EXPECT_DOUBLE_EQ(CircledAspectRatio({ 1000, 500, 250, 250 }), 2.0);
        // Unknown physical size: pixel counts alone.
        EXPECT_DOUBLE_EQ(CircledAspectRatio({ 1280, 1024, 0, 0 }), 1.25);
        EXPECT_DOUBLE_EQ(CircledAspectRatio({ 0, 0, 0, 0 }), 1.0);
    }

} // namespace
} // namespace tarvo
