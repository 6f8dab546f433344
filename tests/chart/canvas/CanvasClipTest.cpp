// Clipping to the projected plotting box: whatever shortcut the canvas takes per shape, the
// pixels are those of the box's outline as a clip region, and a later clip replaces it.

#include "canvas/CanvasTestSupport.h"
#include "canvas/ChartGeometry.h"
#include "canvas/ChartViews.h"

#include <QPolygon>
#include <QRegion>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>

namespace tarvo
{
namespace
{

    using test::CanvasDrawing;
    using test::PixelColor;

    constexpr int kSize = 200;

    struct ClipCase {
        const char* name;
        std::function<TView3DOptions()> view;
        TRect rect;
        int z0;
        int z1;
    };

    void PrintTo(const ClipCase& c, std::ostream* out) { *out << c.name; }

    TView3DOptions Oblique(int zoom)
    {
        TView3DOptions options;
        options.SetZoom(zoom);
        return options;
    }

    // Seen from an angle, every edge of the outline is slanted and none at 45 degrees.
    TView3DOptions Turned()
    {
        TView3DOptions options = test::PieChartView();
        options.SetElevation(340);
        options.SetRotation(330);
        return options;
    }

    QRegion OutlineRegion(const TChartCanvas3D& canvas, const ClipCase& c)
    {
        const auto outline = ClipBoxOutline(canvas.Projection(), c.rect, c.z0, c.z1);
        return QRegion(QPolygon(QList<QPoint>(outline.begin(), outline.end())));
    }

    // Bars of every size across the whole picture, outlined and not, thin and wide pens, a hatched
    // brush, lines between them and slanted polygons: many of them cross the outline's edges.
    void DrawScene(TChartCanvas3D& canvas)
    {
        int index = 0;
        for (int left = -10; left < kSize; left += 23) {
            for (int top = -15; top < kSize; top += 41) {
                canvas.Pen().SetStyle(index % 4 == 0 ? psClear : psSolid);
                canvas.Pen().SetWidth(index % 3 == 0 ? 3 : 1);
                canvas.Brush().SetStyle(index % 5 == 0 ? bsDiagCross : bsSolid);
                canvas.Brush().SetColor(static_cast<TColor>(0x102030 * (index + 1) & 0xFFFFFF));
                canvas.Box3D(left, left + 17, top, top + 9 + index % 47, index % 4 * 9, index % 4 * 9 + 11, true);
                // A line across the picture right after a box: it is clipped to the whole outline,
                // not to the part the box could reach.
                if (index % 7 == 3)
                    canvas.Line2D(-5, top, kSize + 5, top + 30);
                ++index;
            }
        }
        // A dense bar chart: thin bars of every height on one floor below the outline's, each
        // drawn right after its neighbour, so that one narrowed clip serves many of them.
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetStyle(bsSolid);
        for (int left = -4; left < kSize; left += 3) {
            canvas.Brush().SetColor(static_cast<TColor>(0x0F3050 * (left + 7) & 0xFFFFFF));
            canvas.Box3D(left, left + 2, (left * 37) % kSize - 10, kSize - 25, 4, 18, true);
        }
        canvas.Pen().SetWidth(2);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clLime);
        const std::array<QPoint, 3> sliver { QPoint(0, 5), QPoint(kSize, 60), QPoint(5, kSize) };
        canvas.Polygon2D(sliver);
    }

    class ClipBoxOutline3D : public testing::TestWithParam<ClipCase>
    {
    };

    TEST_P(ClipBoxOutline3D, ShapesDrawTheSamePixelsAsUnderTheOutlineRegion)
    {
        const TView3DOptions options = GetParam().view();
        CanvasDrawing viaCanvas(kSize, kSize, &options, true);
        viaCanvas.canvas.ClipBox(GetParam().rect, GetParam().z0, GetParam().z1);
        DrawScene(viaCanvas.canvas);
        const QImage clipped = viaCanvas.Finish();
        test::SavePicture(clipped, QStringLiteral("canvas-clipbox-%1.png").arg(QLatin1String(GetParam().name)));

        CanvasDrawing viaRegion(kSize, kSize, &options, true);
        viaRegion.canvas.DeviceContext()->setClipRegion(OutlineRegion(viaRegion.canvas, GetParam()));
        DrawScene(viaRegion.canvas);
        EXPECT_EQ(clipped, viaRegion.Finish());

        CanvasDrawing unclipped(kSize, kSize, &options, true);
        DrawScene(unclipped.canvas);
        EXPECT_NE(clipped, unclipped.Finish()) << "the scene reaches beyond the outline";
    }

    TEST_P(ClipBoxOutline3D, FillAcrossTheEdgesCoversExactlyTheOutline)
    {
        const TView3DOptions options = GetParam().view();
        CanvasDrawing drawing(kSize, kSize, &options, true);
        drawing.canvas.ClipBox(GetParam().rect, GetParam().z0, GetParam().z1);
        drawing.canvas.Pen().SetStyle(psClear);
        drawing.canvas.Brush().SetColor(clRed);
        const std::array<QPoint, 4> everything { QPoint(-5, -5), QPoint(kSize + 5, -5), QPoint(kSize + 5, kSize + 5),
            QPoint(-5, kSize + 5) };
        drawing.canvas.Polygon2D(everything);
        const QRegion outline = OutlineRegion(drawing.canvas, GetParam());
        const QImage& image = drawing.Finish();

        int wrong = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                wrong += (PixelColor(image, x, y) == clRed) != outline.contains(QPoint(x, y)) ? 1 : 0;
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(test::CountPixels(image, clRed), 1000);
    }

    INSTANTIATE_TEST_SUITE_P(Views, ClipBoxOutline3D,
        testing::Values(ClipCase { "Oblique", [] { return Oblique(100); }, { 30, 50, 160, 170 }, 0, 30 },
            ClipCase { "ObliqueZoomedOut", [] { return Oblique(73); }, { 10, 20, 190, 180 }, 0, 55 },
            ClipCase { "Turned", Turned, { 40, 40, 160, 160 }, 0, 40 },
            // No depth: the outline is a rectangle.
            ClipCase { "NoDepth", [] { return Oblique(100); }, { 30, 50, 160, 170 }, 12, 12 }),
        [](const testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

    // Fills the whole picture red after setting the clip with then and answers the red pixels.
    int RedAfter(const std::function<void(TChartCanvas3D&)>& then)
    {
        const TView3DOptions options;
        CanvasDrawing drawing(kSize, kSize, &options, true);
        drawing.canvas.ClipBox({ 30, 50, 160, 170 }, 0, 30);
        then(drawing.canvas);
        drawing.canvas.Pen().SetStyle(psClear);
        drawing.canvas.Brush().SetColor(clRed);
        const std::array<QPoint, 4> everything { QPoint(0, 0), QPoint(kSize, 0), QPoint(kSize, kSize),
            QPoint(0, kSize) };
        drawing.canvas.Polygon2D(everything);
        return test::CountPixels(drawing.Finish(), clRed);
    }

    TEST(CanvasClipBox, LaterClipReplacesTheOutline)
    {
        EXPECT_EQ(RedAfter([](TChartCanvas3D& c) { c.ClipToRect({ 0, 0, 20, 10 }); }), 20 * 10);
        EXPECT_EQ(RedAfter([](TChartCanvas3D& c) { c.RemoveClip(); }), kSize * kSize);
        EXPECT_EQ(RedAfter([](TChartCanvas3D& c) { c.DeviceContext()->setClipRect(QRect(190, 0, 10, 5)); }), 10 * 5)
            << "a clip set on the painter directly";
        EXPECT_EQ(RedAfter([](TChartCanvas3D& c) {
            c.ClipBox({ 30, 50, 160, 170 }, 5, 5);
        }),
            130 * 120)
            << "a box without depth";
    }

} // namespace
} // namespace tarvo
