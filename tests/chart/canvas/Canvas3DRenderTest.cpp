// The 3D shapes drawn on images: faces where the projection puts them, shaded as they should be,
// text scaled with the zoom, and with the 3D view off the same pixels as the flat operations.

#include "canvas/CanvasTestSupport.h"
#include "canvas/ChartGeometry.h"

#include "canvas/ChartViews.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

namespace tarvo
{
namespace
{

    using test::CanvasDrawing;
    using test::PixelColor;

    using test::PieChartView;

    TEST(CanvasBox3D, ObliqueBarHasShadedSideAndTop)
    {
        const TView3DOptions options; // oblique, zoom 100: (x, y, z) → (x + z, y − z) about the centre
        CanvasDrawing drawing(200, 160, &options, true);
        drawing.canvas.Pen().SetStyle(psClear);
        drawing.canvas.Brush().SetColor(clRed);
        drawing.canvas.Box3D(60, 120, 50, 130, 0, 20, true);
        const QImage& image = drawing.Finish();
        test::SavePicture(image, QStringLiteral("canvas-box3d.png"));

        EXPECT_EQ(PixelColor(image, 90, 90), clRed) << "front face";
        EXPECT_EQ(PixelColor(image, 130, 80), Shade(clRed, 128)) << "right side";
        EXPECT_EQ(PixelColor(image, 100, 40), Shade(clRed, 64)) << "top";
        EXPECT_EQ(PixelColor(image, 50, 90), clWhite) << "nothing left of the bar";
        EXPECT_EQ(PixelColor(image, 90, 135), clWhite) << "no bottom face";
        EXPECT_EQ(PixelColor(image, 145, 40), clWhite) << "nothing beyond the back corner";
        EXPECT_EQ(drawing.canvas.Brush().Color(), Shade(clRed, 64)) << "the last shade stays set";
    }

    TEST(CanvasBox3D, HatchedBrushShadesTheBackground)
    {
        const TView3DOptions options;
        CanvasDrawing drawing(200, 160, &options, true);
        drawing.canvas.Pen().SetStyle(psClear);
        drawing.canvas.Brush().SetColor(clBlue);
        drawing.canvas.Brush().SetStyle(bsCross);
        drawing.canvas.SetBackgroundMode(OPAQUE);
        drawing.canvas.SetBackgroundColor(clYellow);
        drawing.canvas.Box3D(60, 120, 50, 130, 0, 20, true);
        EXPECT_EQ(drawing.canvas.Brush().Color(), clBlue);
        EXPECT_EQ(drawing.canvas.BackgroundColor(), Shade(clYellow, 64));
        const QImage& image = drawing.Finish();
        EXPECT_GT(test::CountPixels(image, Shade(clYellow, 128)), 100) << "side face between the hatch lines";
    }

    TEST(CanvasPieSlice3D, LowerHalfShowsTopFaceAndShadedRim)
    {
        const TView3DOptions options = PieChartView();
        CanvasDrawing drawing(200, 200, &options, true);
        drawing.canvas.PrepareProjection(20, { 0, 0, 200, 200 }, { 0, 0, 200, 200 });
        drawing.canvas.Pen().SetStyle(psClear);
        drawing.canvas.Brush().SetColor(clGreen);
        const double pi = std::numbers::pi;
        drawing.canvas.PieSlice3D(100, 100, 60, 60, 0, 20, pi, 2 * pi, true, true);
        const QImage& image = drawing.Finish();
        test::SavePicture(image, QStringLiteral("canvas-pieslice3d.png"));

        // Centre at z1 projects to y 93; the lowest rim point to 134 (front) and 147 (back).
        EXPECT_EQ(PixelColor(image, 100, 110), clGreen) << "top face";
        EXPECT_EQ(PixelColor(image, 100, 140), Shade(clGreen, 32)) << "rim below the top face";
        EXPECT_EQ(PixelColor(image, 100, 150), clWhite) << "nothing below the rim";
        EXPECT_EQ(PixelColor(image, 100, 80), clWhite) << "the upper half is not part of the slice";
    }

    TEST(CanvasPieSlice3D, EqualAnglesDrawWithoutFailing)
    {
        const TView3DOptions options = PieChartView();
        CanvasDrawing drawing(100, 100, &options, true);
        drawing.canvas.PieSlice3D(50, 50, 30, 30, 0, 10, 0.5, 0.5, true, true);
        drawing.canvas.PieSlice3D(50, 50, 0, 0, 0, 0, 0.0, 0.0, false, false);
        const QImage& image = drawing.Finish();
        // What can show is the one radial side that faces the viewer: at most radius × depth.
        EXPECT_GT(test::CountPixels(image, clWhite), 100 * 100 - 30 * 10);
    }

    TEST(CanvasText3D, ZoomScalesTheFontAndNeverBelowOnePoint)
    {
        struct Case {
            int zoom;
            int points;
        };
        for (const Case c : { Case { 50, 4 }, Case { 10, 1 } }) {
            TView3DOptions options;
            options.SetZoom(c.zoom);
            CanvasDrawing zoomed(200, 60, &options, true);
            zoomed.canvas.PrepareProjection(0, { 0, 0, 200, 60 }, { 0, 0, 200, 60 });
            zoomed.canvas.SetBackgroundMode(TRANSPARENT);
            zoomed.canvas.Font().SetSize(8);
            // At the centre the projection leaves the point where it is.
            zoomed.canvas.Text3D(100, 30, QStringLiteral("Folder"), 0);
            const QImage zoomedImage = zoomed.Finish();

            CanvasDrawing plain(200, 60, nullptr, false);
            plain.canvas.SetBackgroundMode(TRANSPARENT);
            plain.canvas.Font().SetSize(c.points);
            plain.canvas.TextOut2D(100, 30, QStringLiteral("Folder"));
            EXPECT_EQ(zoomedImage, plain.Finish()) << "zoom " << c.zoom;
        }
    }

    TEST(CanvasText3D, WithoutZoomTextTheFontKeepsItsSize)
    {
        TView3DOptions options;
        options.SetZoom(50);
        options.SetZoomText(false);
        CanvasDrawing zoomed(200, 60, &options, true);
        zoomed.canvas.PrepareProjection(0, { 0, 0, 200, 60 }, { 0, 0, 200, 60 });
        zoomed.canvas.Text3D(100, 30, QStringLiteral("Folder"), 0);
        CanvasDrawing plain(200, 60, nullptr, false);
        plain.canvas.TextOut2D(100, 30, QStringLiteral("Folder"));
        EXPECT_EQ(zoomed.Finish(), plain.Finish());
    }

    struct TwinCase {
        const char* name;
        std::function<void(TChartCanvas3D&)> in3D;
        std::function<void(TChartCanvas3D&)> flat;
    };

    class FlatTwin : public testing::TestWithParam<TwinCase>
    {
    };

    // With the 3D view off a depth operation is its flat twin with depth ignored.
    TEST_P(FlatTwin, ViewOffDrawsLikeTheFlatOperation)
    {
        const TView3DOptions options;
        auto draw = [&options](const std::function<void(TChartCanvas3D&)>& operation) {
            CanvasDrawing drawing(80, 80, &options, false);
            drawing.canvas.Brush().SetColor(clAqua);
            drawing.canvas.Pen().SetColor(clMaroon);
            operation(drawing.canvas);
            return drawing.Finish();
        };
        const QImage depth = draw(GetParam().in3D);
        EXPECT_EQ(depth, draw(GetParam().flat));
        EXPECT_LT(test::CountPixels(depth, clWhite), 80 * 80) << "something was drawn";
    }

    INSTANTIATE_TEST_SUITE_P(Operations, FlatTwin,
        testing::Values(TwinCase { "Line3D", [](TChartCanvas3D& c) { c.Line3D(5, 5, 70, 40, 33); },
                            [](TChartCanvas3D& c) { c.Line2D(5, 5, 70, 40); } },
            TwinCase { "Ellipse3D", [](TChartCanvas3D& c) { c.Ellipse3D(10, 10, 60, 40, 25); },
                [](TChartCanvas3D& c) { c.Ellipse2D(10, 10, 61, 41); } },
            TwinCase { "RectAtDepth",
                [](TChartCanvas3D& c) {
                    c.RectAtDepth({ 10, 10, 60, 50 }, 17);
                },
                [](TChartCanvas3D& c) {
                    const std::array<QPoint, 4> quad { QPoint(10, 10), QPoint(60, 10), QPoint(60, 50), QPoint(10, 50) };
                    c.Polygon2D(quad);
                } },
            TwinCase { "Box3D", [](TChartCanvas3D& c) { c.Box3D(10, 60, 10, 50, 0, 30, true); },
                [](TChartCanvas3D& c) {
                    const std::array<QPoint, 4> quad { QPoint(10, 10), QPoint(60, 10), QPoint(60, 50), QPoint(10, 50) };
                    c.Polygon2D(quad);
                } },
            TwinCase { "Text3D", [](TChartCanvas3D& c) { c.Text3D(5, 30, QStringLiteral("Abc"), 50); },
                [](TChartCanvas3D& c) { c.TextOut2D(5, 30, QStringLiteral("Abc")); } }),
        [](const testing::TestParamInfo<TwinCase>& info) { return std::string(info.param.name); });

    TEST(CanvasEllipse3D, RotatedViewFillsTheProjectedEllipse)
    {
        const TView3DOptions options = PieChartView();
        CanvasDrawing drawing(200, 200, &options, true);
        drawing.canvas.PrepareProjection(0, { 0, 0, 200, 200 }, { 0, 0, 200, 200 });
        drawing.canvas.Pen().SetColor(clBlack);
        drawing.canvas.Brush().SetColor(clFuchsia);
        drawing.canvas.Ellipse3D(40, 40, 160, 160, 0);
        const QImage& image = drawing.Finish();
        EXPECT_EQ(PixelColor(image, 100, 100), clFuchsia);
        // 120 pixels across at zoom 95: about 57 either side of the centre, and flattened to
        // 0.95 · 0.7071 · 60 ≈ 40 vertically.
        EXPECT_EQ(PixelColor(image, 100 + 50, 100), clFuchsia);
        EXPECT_EQ(PixelColor(image, 100, 100 + 45), clWhite);
        EXPECT_EQ(PixelColor(image, 100 + 62, 100), clWhite);
    }

} // namespace
} // namespace tarvo
