// The 3D projection and its inverse, without painting.

#include "canvas/Projection.h"
#include "canvas/View3DOptions.h"

#include "canvas/ChartViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace tarvo
{
namespace
{

    // The plot rectangle (100, 50, 300, 250) puts the centre at (200, 150).
    constexpr TRect kPlot { 100, 50, 300, 250 };

    TProjection Prepared(const TView3DOptions& options, int depth, bool view3D = true)
    {
        TProjection projection;
        projection.Begin(&options, view3D);
        projection.Prepare(&options, depth, kPlot);
        return projection;
    }

    using test::PieChartView;

    TEST(Projection, CentreOriginAndDepthCentreComeFromThePlot)
    {
        TView3DOptions options;
        options.SetHorizOffset(7);
        options.SetVertOffset(-3);
        const TProjection p = Prepared(options, 31);
        EXPECT_EQ(p.CenterX, 200);
        EXPECT_EQ(p.CenterY, 150);
        EXPECT_EQ(p.CenterZ, 15);
        EXPECT_EQ(p.OriginX, 207);
        EXPECT_EQ(p.OriginY, 147);
    }

    TEST(Projection, ObliqueDepthMovesRightAndUpEqually)
    {
        TView3DOptions options; // orthogonal, zoom 100
        options.SetHorizOffset(7);
        options.SetVertOffset(-3);
        const TProjection p = Prepared(options, 20);
        EXPECT_EQ(p.Project(p.CenterX + 10, p.CenterY, 5), QPoint(p.OriginX + 15, p.OriginY - 5));
        EXPECT_EQ(p.Project(p.CenterX, p.CenterY, 0), QPoint(p.OriginX, p.OriginY));
        EXPECT_EQ(p.Project(p.CenterX - 40, p.CenterY + 30, 20), QPoint(p.OriginX - 20, p.OriginY + 10));
    }

    TEST(Projection, ObliqueZoomRoundsHalvesToEven)
    {
        TView3DOptions options;
        options.SetZoom(50);
        const TProjection p = Prepared(options, 0);
        struct Case {
            int dx;
            int expected;
        };
        for (const Case c : { Case { 5, 2 }, Case { 7, 4 }, Case { -5, -2 }, Case { -7, -4 }, Case { 3, 2 } })
            EXPECT_EQ(p.Project(p.CenterX + c.dx, p.CenterY, 0).x() - p.OriginX, c.expected) << c.dx;
    }

    TEST(Projection, RotatedWithAllAnglesZeroIgnoresDepth)
    {
        TView3DOptions options;
        options.SetOrthogonal(false);
        options.SetElevation(0);
        options.SetRotation(0);
        options.SetTilt(0);
        options.SetPerspective(0);
        options.SetHorizOffset(11);
        const TProjection p = Prepared(options, 40);
        EXPECT_DOUBLE_EQ(p.Rotation.a22, 1.0);
        EXPECT_DOUBLE_EQ(p.Rotation.a23, 0.0);
        for (const int z : { -30, 0, 7, 40, 500 }) {
            EXPECT_EQ(p.Project(123, 77, z), QPoint(123 - p.CenterX + p.OriginX, 77 - p.CenterY + p.OriginY)) << z;
        }
    }

    TEST(Projection, PieChartViewIsSeenFromAboveTiltedBy45Degrees)
    {
        const TProjection p = Prepared(PieChartView(), 20);
        EXPECT_NEAR(p.Rotation.a11, 1.0, 1e-12);
        EXPECT_NEAR(p.Rotation.a12, 0.0, 1e-12);
        EXPECT_NEAR(p.Rotation.a22, std::sqrt(0.5), 1e-12);
        EXPECT_NEAR(p.Rotation.a23, -std::sqrt(0.5), 1e-12);
        EXPECT_DOUBLE_EQ(p.PerspectiveFactor, 0.0);
        struct Case {
            int dx, dy, dz;
            QPoint expected; // relative to the origin
        };
        // x' = Nint(0.95 dx), y' = Nint(0.95 (0.7071 dy − 0.7071 dz))
        const Case cases[] = {
            { 40, 20, 10, { 38, 7 } }, // 0.95 · 7.071 = 6.72
            { -60, 0, 0, { -57, 0 } }, { 0, 60, 10, { 0, 34 } }, // 33.59
            { 0, 60, -10, { 0, 47 } }, // 47.02
            { 13, -50, 10, { 12, -40 } }, // 12.35; −40.30
        };
        for (const Case& c : cases) {
            const QPoint got = p.Project(p.CenterX + c.dx, p.CenterY + c.dy, p.CenterZ + c.dz);
            EXPECT_EQ(got - QPoint(p.OriginX, p.OriginY), c.expected) << c.dx << "," << c.dy << "," << c.dz;
        }
    }

    TEST(Projection, PerspectiveShrinksDeeperPoints)
    {
        TView3DOptions options;
        options.SetOrthogonal(false);
        options.SetElevation(0);
        options.SetRotation(0);
        options.SetPerspective(35); // factor 0.001
        const TProjection p = Prepared(options, 0);
        EXPECT_DOUBLE_EQ(p.PerspectiveFactor, 0.001);
        EXPECT_EQ(p.Project(p.CenterX + 50, p.CenterY, 100).x() - p.OriginX, 45); // 50 · (1 − 0.1)
        EXPECT_EQ(p.Project(p.CenterX + 50, p.CenterY, -100).x() - p.OriginX, 55);
    }

    TEST(Projection, FlatViewAndNoOptionsLeavePointsAlone)
    {
        TView3DOptions options;
        const TProjection flat = Prepared(options, 30, false);
        EXPECT_EQ(flat.Project(12, 34, 56), QPoint(12, 34));
        TProjection none;
        none.Begin(nullptr, true);
        none.Prepare(nullptr, 30, kPlot);
        EXPECT_FALSE(none.Oblique);
        EXPECT_DOUBLE_EQ(none.Scale, 1.0);
        EXPECT_EQ(none.OriginX, none.CenterX);
    }

    struct RoundTripCase {
        const char* name;
        bool orthogonal;
        int zoom;
        int maxError; // pixels lost to rounding on the screen grid
    };

    class ProjectionRoundTrip : public testing::TestWithParam<RoundTripCase>
    {
    };

    TEST_P(ProjectionRoundTrip, UnprojectInvertsProject)
    {
        TView3DOptions options = GetParam().orthogonal ? TView3DOptions() : PieChartView();
        options.SetZoom(GetParam().zoom);
        options.SetHorizOffset(-9);
        options.SetVertOffset(4);
        const TProjection p = Prepared(options, 40);
        for (int x = 100; x <= 300; x += 23) {
            for (int y = 50; y <= 250; y += 19) {
                for (const int z : { 0, 13, 40 }) {
                    const QPoint screen = p.Project(x, y, z);
                    int backX = screen.x();
                    int backY = screen.y();
                    p.Unproject(backX, backY, z);
                    EXPECT_LE(std::abs(backX - x), GetParam().maxError) << x << "," << y << "," << z;
                    EXPECT_LE(std::abs(backY - y), GetParam().maxError) << x << "," << y << "," << z;
                    // The exact inverse loses only the screen's rounding, at most half a pixel.
                    const QPointF exact = p.UnprojectExact(QPointF(screen), z);
                    const double scale = GetParam().zoom * 0.01;
                    EXPECT_LE(std::abs(exact.x() - x), 0.5 / scale + 1e-9) << x << "," << y << "," << z;
                    EXPECT_LE(std::abs(exact.y() - y), 0.75 / scale + 1e-9) << x << "," << y << "," << z;
                }
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P(Views, ProjectionRoundTrip,
        testing::Values(RoundTripCase { "Oblique100", true, 100, 0 }, RoundTripCase { "Oblique150", true, 150, 0 },
            RoundTripCase { "Oblique95", true, 95, 1 }, RoundTripCase { "PieView100", false, 100, 1 },
            RoundTripCase { "PieView95", false, 95, 1 }),
        [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

    TEST(Projection, UnprojectWithZeroZoomChangesNothing)
    {
        TView3DOptions options;
        options.SetZoom(0);
        const TProjection p = Prepared(options, 10);
        int x = 17;
        int y = 23;
        p.Unproject(x, y, 5);
        EXPECT_EQ(x, 17);
        EXPECT_EQ(y, 23);
    }

} // namespace
} // namespace tarvo
