// The legend's layout without a painter: box, rows and columns for the four sides, the room the
// plot gives up, and which row a click hits.

#include "legend/ChartLegendGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo
{
namespace
{

    // A 440 × 350 panel whose plot is (20, 30)–(420, 330); rows are 14 pixels high.
    TLegendLayoutInput PlotInput(TLegendAlignment alignment, int itemCount)
    {
        TLegendLayoutInput input;
        input.Alignment = alignment;
        input.ChartRect = { 20, 30, 420, 330 };
        input.PanelRect = { 0, 0, 440, 350 };
        input.PlotWidth = 400;
        input.PlotHeight = 300;
        input.PlotCenterX = 220;
        input.LineHeight = 14;
        input.ItemCount = itemCount;
        return input;
    }

    const std::vector<int> kFiveWidths { 30, 50, 40, 20, 10 };

    struct LayoutCase {
        const char* name;
        TLegendAlignment alignment;
        TRect rect;
        int colorBoxWidth;
        int columns;
        int rows;
        int boxLeft;
        int textX;
    };

    class LegendLayoutSides : public ::testing::TestWithParam<LayoutCase>
    {
    };

    TEST_P(LegendLayoutSides, PlacesTheBoxAndItsColumnsOnEachSide)
    {
        const LayoutCase& c = GetParam();
        const TLegendLayout layout = LayOutLegend(PlotInput(c.alignment, 5), kFiveWidths);
        EXPECT_EQ(layout.Rect, c.rect);
        EXPECT_EQ(layout.ColorBoxWidth, c.colorBoxWidth);
        EXPECT_EQ(layout.ColumnCount, c.columns);
        EXPECT_EQ(layout.RowCount, c.rows);
        EXPECT_EQ(layout.BoxLeft, c.boxLeft);
        EXPECT_EQ(layout.TextX, c.textX);
        EXPECT_EQ(layout.VisibleItems(), 5);
    }

    // Widest text 50 (+4 = 54 for top and bottom legends); a side legend's colour box is
    // Round(60 × 12 %) = 7, a top or bottom one's Round(54 × 12 %) = 6.
    INSTANTIATE_TEST_SUITE_P(Legend, LegendLayoutSides,
        ::testing::Values(LayoutCase { "right", laRight, { 348, 35, 415, 107 }, 7, 1, 5, 352, 363 },
            LayoutCase { "left", laLeft, { 22, 35, 89, 107 }, 7, 1, 5, 26, 37 },
            LayoutCase { "top", laTop, { 64, 32, 398, 48 }, 6, 5, 1, 68, 78 },
            LayoutCase { "bottom", laBottom, { 64, 309, 398, 325 }, 6, 5, 1, 68, 78 }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(LegendLayout, ASideLegendWithoutRoomListsOnlyTheRowsThatFitAndIsAsWideAsThem)
    {
        TLegendLayoutInput input = PlotInput(laRight, 5);
        input.ChartRect.Bottom = 70;
        input.PlotHeight = 40;
        // The third item is the widest, but it does not fit.
        const TLegendLayout layout = LayOutLegend(input, std::vector<int> { 30, 20, 80, 10, 10 });
        EXPECT_EQ(layout.RowCount, 2);
        EXPECT_EQ(layout.Rect, (TRect { 370, 35, 415, 65 }));
        EXPECT_EQ(layout.ColorBoxWidth, 5);
    }

    TEST(LegendLayout, ASideLegendStartingBelowThePlotHasNoRows)
    {
        TLegendLayoutInput input = PlotInput(laLeft, 5);
        input.TopPos = 100;
        EXPECT_EQ(LayOutLegend(input, kFiveWidths).VisibleItems(), 0);
        input.TopPos = 10;
        input.PlotHeight = 2; // room for less than nothing
        EXPECT_EQ(LayOutLegend(input, kFiveWidths).RowCount, 0);
    }

    TEST(LegendLayout, ABottomLegendStopsAtMaxNumRowsButASideLegendHasNoRowLimit)
    {
        const std::vector<int> widths(30, 50);
        TLegendLayoutInput input = PlotInput(laBottom, 30);
        input.MaxNumRows = 3;
        const TLegendLayout bottom = LayOutLegend(input, widths);
        EXPECT_EQ(bottom.ColumnCount, 5);
        EXPECT_EQ(bottom.RowCount, 3);
        EXPECT_EQ(bottom.VisibleItems(), 15);
        input.Alignment = laRight;
        EXPECT_EQ(LayOutLegend(input, widths).RowCount, 20); // (300 + 30 − 2 − 35) div 14
    }

    TEST(LegendLayout, ANarrowTopLegendHasNoColumns)
    {
        TLegendLayoutInput input = PlotInput(laTop, 5);
        input.ChartRect = { 0, 30, 8, 330 };
        EXPECT_EQ(LayOutLegend(input, kFiveWidths).VisibleItems(), 0);
        input = PlotInput(laTop, 0);
        EXPECT_EQ(LayOutLegend(input, {}).VisibleItems(), 0);
    }

    TEST(LegendLayout, ItemsOfATopLegendFillRowsColumnByColumn)
    {
        TLegendLayoutInput input = PlotInput(laBottom, 7);
        const TLegendLayout layout = LayOutLegend(input, std::vector<int>(7, 50));
        ASSERT_EQ(layout.ColumnCount, 5);
        EXPECT_EQ(LegendItemTextPos(layout, 0), QPoint(layout.TextX, layout.Rect.Top + 1));
        EXPECT_EQ(LegendItemTextPos(layout, 6), QPoint(layout.TextX + 54 + 6 + 4, layout.Rect.Top + 15));
        const QPoint pos = LegendItemTextPos(layout, 1);
        EXPECT_EQ(LegendColorBox(layout, pos, LegendColorBoxX(layout, pos.x())),
            (TRect { pos.x() - 10, pos.y() + 2, pos.x() - 4, pos.y() + 12 }));
    }

    TEST(LegendLayout, InvertedOrderDrawsTheLastShownItemFirst)
    {
        EXPECT_EQ(LegendItemAtPosition(0, 2, 3, false), 2);
        EXPECT_EQ(LegendItemAtPosition(0, 2, 3, true), 4);
        EXPECT_EQ(LegendItemAtPosition(2, 2, 3, true), 2);
    }

    struct ShadowCase {
        bool frameVisible;
        int frameWidth;
        int shadowSize;
        TRect expected;
    };

    TEST(LegendBox, TheShadowReachesPastTheFrame)
    {
        const TRect rect { 10, 10, 50, 40 };
        for (const ShadowCase& c :
            { ShadowCase { true, 1, 3, { 13, 13, 54, 44 } }, ShadowCase { false, 1, 3, { 13, 13, 52, 42 } },
                ShadowCase { true, 3, 3, { 13, 13, 57, 47 } }, ShadowCase { true, 1, 0, {} } })
            EXPECT_EQ(LegendShadowRect(rect, c.shadowSize, c.frameVisible, c.frameWidth), c.expected)
                << c.frameWidth << " " << c.shadowSize;
        EXPECT_EQ(LegendBoxRect(rect, true, 2), (TRect { 8, 8, 52, 42 }));
        EXPECT_EQ(LegendBoxRect(rect, false, 2), rect);
    }

    struct RoomCase {
        const char* name;
        TLegendAlignment alignment;
        TRect legend;
        bool resize;
        int margin;
        TRect expected;
    };

    class LegendRoom : public ::testing::TestWithParam<RoomCase>
    {
    };

    TEST_P(LegendRoom, ThePlotGivesUpTheLegendAndTheMargin)
    {
        const RoomCase& c = GetParam();
        TLegendLayout layout;
        layout.Alignment = c.alignment;
        layout.Rect = c.legend;
        TLegendRoom room;
        room.ResizeChart = c.resize;
        room.HorizMargin = IsSideLegend(c.alignment) ? c.margin : 0;
        room.VertMargin = IsSideLegend(c.alignment) ? 0 : c.margin;
        room.PlotWidth = 400;
        room.PlotHeight = 300;
        EXPECT_EQ(ChartRectBesideLegend({ 20, 30, 420, 330 }, layout, room), c.expected);
    }

    // Default margins: 3 % of 400 = 12 beside, 4 % of 300 = 12 above or below.
    INSTANTIATE_TEST_SUITE_P(Legend, LegendRoom,
        ::testing::Values(RoomCase { "right", laRight, { 348, 35, 415, 107 }, true, 0, { 20, 30, 336, 330 } },
            RoomCase { "rightKeepsWidth", laRight, { 348, 35, 415, 107 }, false, 0, { 20, 30, 408, 330 } },
            RoomCase { "rightOwnMargin", laRight, { 348, 35, 415, 107 }, true, 5, { 20, 30, 343, 330 } },
            RoomCase { "left", laLeft, { 22, 35, 89, 107 }, true, 0, { 101, 30, 420, 330 } },
            RoomCase { "leftKeepsWidth", laLeft, { 22, 35, 89, 107 }, false, 0, { 32, 30, 420, 330 } },
            RoomCase { "top", laTop, { 64, 32, 398, 48 }, true, 0, { 20, 63, 420, 330 } },
            RoomCase { "topKeepsHeight", laTop, { 64, 32, 398, 48 }, false, 0, { 20, 42, 420, 330 } },
            RoomCase { "bottom", laBottom, { 64, 309, 398, 325 }, true, 0, { 20, 30, 420, 297 } },
            RoomCase { "bottomOwnMargin", laBottom, { 64, 309, 398, 325 }, false, 7, { 20, 30, 420, 323 } }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST(LegendRowAt, ASideLegendAnswersTheFirstRowBandThatHoldsTheClick)
    {
        TLegendLayout layout;
        layout.Alignment = laRight;
        layout.Rect = { 348, 35, 415, 107 }; // rows of 72 div 5 = 14 pixels from y 36 on
        layout.RowCount = 5;
        layout.ColumnCount = 1;
        layout.LineHeight = 14;
        struct Hit {
            int x, y, expected;
        };
        for (const Hit& hit : { Hit { 360, 36, 0 }, Hit { 360, 50, 0 }, Hit { 360, 51, 1 }, Hit { 415, 95, 4 },
                 Hit { 360, 35, -1 }, Hit { 360, 107, -1 }, Hit { 347, 40, -1 }, Hit { 416, 40, -1 } })
            EXPECT_EQ(LegendRowAt(layout, hit.x, hit.y, 5), hit.expected) << hit.x << "," << hit.y;
        EXPECT_EQ(LegendRowAt(layout, 360, 80, 3), -1); // only three rows were drawn
        layout.RowCount = 0;
        EXPECT_EQ(LegendRowAt(layout, 360, 40, 5), -1);
    }

    TEST(LegendRowAt, ABottomLegendCountsColumnsAcrossRows)
    {
        TLegendLayout layout;
        layout.Alignment = laBottom;
        layout.Rect = { 64, 295, 398, 325 }; // columns of 334 div 5 = 66 pixels from x 65 on
        layout.RowCount = 2;
        layout.ColumnCount = 5;
        layout.LineHeight = 14;
        EXPECT_EQ(LegendRowAt(layout, 70, 300, 7), 0);
        EXPECT_EQ(LegendRowAt(layout, 131, 300, 7), 1); // on the shared edge the later column wins
        EXPECT_EQ(LegendRowAt(layout, 140, 315, 7), 6);
        EXPECT_EQ(LegendRowAt(layout, 210, 315, 7), -1); // an empty cell of the last row
        EXPECT_EQ(LegendRowAt(layout, 70, 294, 7), -1);
    }

} // namespace
} // namespace tarvo
