#include "canvas/View3DOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo
{
namespace
{

    TEST(View3DOptions, Defaults)
    {
        const TView3DOptions o;
        EXPECT_EQ(o.Elevation(), 345);
        EXPECT_EQ(o.HorizOffset(), 0);
        EXPECT_TRUE(o.Orthogonal());
        EXPECT_EQ(o.Perspective(), 15);
        EXPECT_EQ(o.Rotation(), 345);
        EXPECT_EQ(o.Tilt(), 0);
        EXPECT_EQ(o.VertOffset(), 0);
        EXPECT_EQ(o.Zoom(), 100);
        EXPECT_TRUE(o.ZoomText());
    }

    TEST(View3DOptions, EverySetterInvalidatesOnlyOnChange)
    {
        TView3DOptions o;
        int changes = 0;
        o.SetOnChange([&changes] { ++changes; });
        o.SetElevation(345);
        o.SetZoom(100);
        o.SetOrthogonal(true);
        EXPECT_EQ(changes, 0);
        o.SetElevation(315);
        o.SetHorizOffset(3);
        o.SetOrthogonal(false);
        o.SetPerspective(0);
        o.SetRotation(360); // no range check
        o.SetTilt(5);
        o.SetVertOffset(-2);
        o.SetZoom(95);
        o.SetZoomText(false);
        EXPECT_EQ(changes, 9);
    }

    TEST(View3DOptions, OffsetsReportScrollingWithTheirDirection)
    {
        TView3DOptions o;
        std::vector<bool> scrolled;
        o.SetOnScrolled([&scrolled](bool horizontal) { scrolled.push_back(horizontal); });
        o.SetHorizOffset(10);
        o.SetHorizOffset(10);
        o.SetVertOffset(4);
        EXPECT_EQ(scrolled, (std::vector<bool> { true, false }));
    }

    TEST(View3DOptions, ZoomListenerHearsTheNewValueBeforeItIsStored)
    {
        TView3DOptions o;
        int heard = 0;
        int storedWhileHeard = 0;
        o.SetOnZoomChanged([&](int zoom) {
            heard = zoom;
            storedWhileHeard = o.Zoom();
        });
        o.SetZoom(95);
        EXPECT_EQ(heard, 95);
        EXPECT_EQ(storedWhileHeard, 100);
        EXPECT_EQ(o.Zoom(), 95);
    }

    TEST(View3DOptions, AssignCopiesAllNineValuesButNoListeners)
    {
        TView3DOptions source;
        int sourceScrolls = 0;
        source.SetOnScrolled([&sourceScrolls](bool) { ++sourceScrolls; });
        source.SetElevation(1);
        source.SetHorizOffset(2);
        source.SetOrthogonal(false);
        source.SetPerspective(3);
        source.SetRotation(4);
        source.SetTilt(5);
        source.SetVertOffset(6);
        source.SetZoom(7);
        source.SetZoomText(false);
        ASSERT_EQ(sourceScrolls, 2);

        TView3DOptions target;
        int targetChanges = 0;
        target.SetOnChange([&targetChanges] { ++targetChanges; });
        target.Assign(source);
        EXPECT_EQ(targetChanges, 1);
        EXPECT_EQ(target, source);
        EXPECT_EQ(target.Tilt(), 5);
        EXPECT_FALSE(target.ZoomText());

        TView3DOptions copy(source);
        copy.SetHorizOffset(20);
        EXPECT_EQ(sourceScrolls, 2) << "listeners stay with the object they were given to";
    }

} // namespace
} // namespace tarvo
