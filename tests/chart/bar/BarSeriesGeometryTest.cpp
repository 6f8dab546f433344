// The bars' geometry without a chart: widths from the slot, group placement, the hit test of
// each shape, where marks go and the room they claim.

#include "bar/BarGeometry.h"

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    struct WidthCase {
        const char* name;
        TBarWidthInput input;
        int expected;
    };

    TBarWidthInput Points(int count, int axisSize)
    {
        TBarWidthInput input;
        input.PointCount = count;
        input.AxisSize = axisSize;
        return input;
    }

    TBarWidthInput With(TBarWidthInput input, auto change)
    {
        change(input);
        return input;
    }

    class BarWidthTest : public ::testing::TestWithParam<WidthCase>
    {
    };

    TEST_P(BarWidthTest, ComesFromTheSlotAndIsEven)
    {
        EXPECT_EQ(ComputeBarWidth(GetParam().input), GetParam().expected);
    }

    INSTANTIATE_TEST_SUITE_P(Widths, BarWidthTest,
        ::testing::Values(
            // 700 div 11 = 63; Round(0.7 × 63) = 44.
            WidthCase { "TenPointsOn700Pixels", Points(10, 700), 44 },
            // 704 div 11 = 64; Round(44.8) = 45, made even.
            WidthCase { "OddWidthGrowsByOne", Points(10, 704), 46 },
            WidthCase { "TwoGroupsShareTheSlot", With(Points(10, 700), [](auto& i) { i.Groups = 2; }), 22 },
            WidthCase { "ThreeGroupsOddShareGrows", With(Points(10, 704), [](auto& i) { i.Groups = 3; }), 16 },
            WidthCase {
                "NoSideMarginsOneSlotPerPoint", With(Points(10, 700), [](auto& i) { i.SideMargins = false; }), 50 },
            WidthCase { "PagingDecidesTheCount", With(Points(10, 700), [](auto& i) { i.MaxPointsPerPage = 4; }), 98 },
            WidthCase { "CustomWidthWins", With(Points(10, 700), [](auto& i) { i.CustomBarWidth = 17; }), 17 },
            WidthCase { "NoPoints", Points(0, 700), 0 },
            WidthCase { "FullPercent", With(Points(10, 700), [](auto& i) { i.BarWidthPercent = 100; }), 64 },
            WidthCase { "AutoSizeFromTheAxisRange",
                With(Points(3, 700),
                    [](auto& i) {
                        i.AutoBarSize = true;
                        i.AxisMinimum = 0;
                        i.AxisMaximum = 9;
                    }),
                46 },
            WidthCase { "TinyAxis", Points(10, 5), 0 }),
        [](const auto& info) { return std::string(info.param.name); });

    struct PlaceCase {
        const char* name;
        TMultiBar mode;
        int order;
        int count;
        int width;
        int offsetPercent;
        int expectedLeft;
    };

    class BarPlacementTest : public ::testing::TestWithParam<PlaceCase>
    {
    };

    TEST_P(BarPlacementTest, LeftEdgeAroundTheValuePixel)
    {
        const PlaceCase& c = GetParam();
        EXPECT_EQ(BarLeftEdge(300, c.mode, c.order, c.count, c.width, c.offsetPercent), c.expectedLeft);
    }

    INSTANTIATE_TEST_SUITE_P(Placement, BarPlacementTest,
        ::testing::Values(PlaceCase { "SingleSideSeriesIsCentred", mbSide, 1, 1, 44, 0, 278 },
            PlaceCase { "FirstOfTwoLeftOfTheValue", mbSide, 1, 2, 22, 0, 278 },
            PlaceCase { "SecondOfTwoRightOfTheValue", mbSide, 2, 2, 22, 0, 300 },
            PlaceCase { "MiddleOfThreeCentred", mbSide, 2, 3, 16, 0, 292 },
            PlaceCase { "StackedCentred", mbStacked, 2, 1, 44, 0, 278 },
            PlaceCase { "OverlappingCentred", mbNone, 3, 1, 44, 0, 278 },
            PlaceCase { "OffsetHalfAWidthRight", mbNone, 1, 1, 44, 50, 300 },
            PlaceCase { "OffsetFullWidthLeft", mbSide, 1, 1, 44, -100, 234 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(BarStackTest, PercentOfAnEmptyStackIsZero)
    {
        EXPECT_DOUBLE_EQ(PercentOfTotal(5, 0), 0.0);
        EXPECT_DOUBLE_EQ(PercentOfTotal(30, 120), 25.0);
    }

    struct HitCase {
        const char* name;
        TBarStyle style;
        int x;
        int y;
        bool inside;
    };

    class BarHitTest : public ::testing::TestWithParam<HitCase>
    {
    };

    // The box 100 … 140 across, 50 … 130 down (apex of a pyramid at x 120).
    TEST_P(BarHitTest, EdgesBelongToTheBar)
    {
        const HitCase& c = GetParam();
        EXPECT_EQ(BarContains(c.style, { 100, 140, 50, 130 }, c.x, c.y), c.inside);
    }

    INSTANTIATE_TEST_SUITE_P(Shapes, BarHitTest,
        ::testing::Values(HitCase { "RectLeftEdge", bsRectangle, 100, 90, true },
            HitCase { "RectRightEdge", bsRectangle, 140, 90, true },
            HitCase { "RectTopEdge", bsRectangle, 120, 50, true },
            HitCase { "RectBottomCorner", bsRectangle, 140, 130, true },
            HitCase { "RectJustLeft", bsRectangle, 99, 90, false },
            HitCase { "RectJustRight", bsRectangle, 141, 90, false },
            HitCase { "RectJustAbove", bsRectangle, 120, 49, false },
            HitCase { "ArrowUsesTheBox", bsArrow, 101, 51, true }, HitCase { "PyramidApex", bsPyramid, 120, 50, true },
            HitCase { "PyramidTopCornerOutside", bsPyramid, 101, 51, false },
            HitCase { "PyramidBaseCorner", bsPyramid, 100, 130, true },
            HitCase { "InvPyramidTip", bsInvPyramid, 120, 130, true },
            HitCase { "InvPyramidBottomCornerOutside", bsInvPyramid, 101, 129, false },
            HitCase { "InvPyramidTopCorner", bsInvPyramid, 100, 50, true },
            HitCase { "EllipseCentre", bsEllipse, 120, 90, true }, HitCase { "EllipseRim", bsEllipse, 100, 90, true },
            HitCase { "EllipseCornerOutside", bsEllipse, 102, 52, false }),
        [](const auto& info) { return std::string(info.param.name); });

    TSeriesMarkPosition BaseMark(int x, int y)
    {
        TSeriesMarkPosition p;
        p.ArrowStart = { x, y };
        p.ArrowEnd = p.ArrowStart;
        p.BoxWidth = 30;
        p.BoxHeight = 14;
        p.BoxCorner = { x - 15, y - 13 };
        return p;
    }

    TEST(BarMarkTest, AnUpwardBarsMarkSitsCentredAboveItsTop)
    {
        TSeriesMarkPosition p = BaseMark(100, 60); // left edge 100, top 60, origin at 200
        PlaceMarkOverBar(p, 44, 20, 200);
        EXPECT_EQ(p.ArrowStart, QPoint(122, 60));
        EXPECT_EQ(p.ArrowEnd, QPoint(122, 40));
        EXPECT_EQ(p.BoxCorner, QPoint(107, 27));
        EXPECT_LT(p.BoxCorner.y() + p.BoxHeight, p.ArrowStart.y());
    }

    TEST(BarMarkTest, ADownwardBarsMarkHangsBelowItsEnd)
    {
        TSeriesMarkPosition p = BaseMark(100, 260); // value end 260 below the origin at 200
        PlaceMarkOverBar(p, 44, 20, 200);
        EXPECT_EQ(p.ArrowStart, QPoint(122, 260));
        EXPECT_EQ(p.ArrowEnd, QPoint(122, 294));
        EXPECT_EQ(p.BoxCorner, QPoint(107, 281));
        EXPECT_GT(p.BoxCorner.y(), p.ArrowStart.y());
    }

    struct MarginCase {
        const char* name;
        bool useOrigin;
        double lowest;
        double highest;
        bool inverted;
        int top;
        int bottom;
    };

    class BarMarkMarginTest : public ::testing::TestWithParam<MarginCase>
    {
    };

    TEST_P(BarMarkMarginTest, RoomOnTheSidesWhereBarsEnd)
    {
        const MarginCase& c = GetParam();
        const TBarMarkMargins m = MarkMargins(33, c.useOrigin, 0.0, c.lowest, c.highest, c.inverted);
        EXPECT_EQ(m.Top, c.top);
        EXPECT_EQ(m.Bottom, c.bottom);
    }

    INSTANTIATE_TEST_SUITE_P(Margins, BarMarkMarginTest,
        ::testing::Values(MarginCase { "AllUpward", true, 0, 10, false, 34, 0 },
            MarginCase { "OneNegative", true, -5, 10, false, 34, 34 },
            MarginCase { "AllDownward", true, -5, -1, false, 0, 34 },
            MarginCase { "AllDownwardInverted", true, -5, -1, true, 34, 0 },
            MarginCase { "NoOriginOnlyTop", false, -5, -1, false, 34, 0 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(BarMarkMarginTest, NoMarkSpaceNoMargin)
    {
        const TBarMarkMargins m = MarkMargins(0, true, 0.0, -5, 10, false);
        EXPECT_EQ(m.Top, 0);
        EXPECT_EQ(m.Bottom, 0);
    }

} // namespace
} // namespace tarvo
