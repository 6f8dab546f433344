// Bar shapes of styles the program's charts do not use (arrow, pyramid, cone, cylinder). They
// follow the same face rules as Box3D: front first, sides shaded when asked.

#include "canvas/ChartCanvas3D.h"

#include "canvas/ChartGeometry.h"
#include "core/ChartRounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tarvo
{

void TChartCanvas3D::Arrow3D(bool filled, QPoint from, QPoint to, int headWidth, int headHeight, int z)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return;
    // Unit vectors along the arrow and across it.
    const double ux = dx / length;
    const double uy = dy / length;
    const double vx = -uy;
    const double vy = ux;
    const double neck = std::max(0.0, length - headHeight);
    const double shaft = headWidth / 4.0;
    auto at = [&](double along, double across) {
        return ProjectXY(from.x() + Round(ux * along + vx * across), from.y() + Round(uy * along + vy * across), z);
    };
    const std::array<QPoint, 7> arrow { at(0, -shaft), at(neck, -shaft), at(neck, -headWidth / 2.0), at(length, 0),
        at(neck, headWidth / 2.0), at(neck, shaft), at(0, shaft) };
    if (filled) {
        Polygon2D(arrow);
        return;
    }
    MoveTo2D(arrow.back().x(), arrow.back().y());
    for (const QPoint& p : arrow)
        LineTo2D(p.x(), p.y());
}

void TChartCanvas3D::PyramidShape(
    bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides)
{
    const TColor fill = FaceColor();
    const int zMiddle = (z0 + z1) / 2;
    if (vertical) {
        const QPoint apex = ProjectXY((left + right) / 2, top, zMiddle);
        const std::array<QPoint, 3> front { ProjectXY(left, bottom, z0), ProjectXY(right, bottom, z0), apex };
        Polygon2D(front);
        if (!Is3D())
            return;
        if (darkSides)
            SetFaceColor(Shade(fill, 128));
        const std::array<QPoint, 3> side { ProjectXY(right, bottom, z0), ProjectXY(right, bottom, z1), apex };
        Polygon2D(side);
        return;
    }
    const QPoint apex = ProjectXY(right, (top + bottom) / 2, zMiddle);
    const std::array<QPoint, 3> front { ProjectXY(left, top, z0), ProjectXY(left, bottom, z0), apex };
    Polygon2D(front);
    if (!Is3D())
        return;
    if (darkSides)
        SetFaceColor(Shade(fill, 64));
    const std::array<QPoint, 3> topFace { ProjectXY(left, top, z0), ProjectXY(left, top, z1), apex };
    Polygon2D(topFace);
}

void TChartCanvas3D::ConeShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides)
{
    PyramidShape(vertical, left, top, right, bottom, z0, z1, darkSides);
}

void TChartCanvas3D::CylinderShape(
    bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover)
{
    // A ring of 32 points round the bar's axis at each end; the mantle is the strip of quads
    // between them, drawn from the back forward so nearer quads cover farther ones.
    constexpr int kRing = 32;
    const double zCenter = (z0 + z1) / 2.0;
    const double zRadius = (z1 - z0) / 2.0;
    const double across = vertical ? (right - left) / 2.0 : (bottom - top) / 2.0;
    const double axis = vertical ? (left + right) / 2.0 : (top + bottom) / 2.0;
    auto ringPoint = [&](int end, int i, double& depth) {
        const double angle = i * 2.0 * std::numbers::pi / kRing;
        const int offset = Round(axis + across * std::cos(angle));
        depth = zCenter - zRadius * std::sin(angle);
        const int z = Round(depth);
        return vertical ? ProjectXY(offset, end, z) : ProjectXY(end, offset, z);
    };
    const int startEnd = vertical ? bottom : left;
    const int coverEnd = vertical ? top : right;
    struct Quad {
        double depth;
        std::array<QPoint, 4> points;
    };
    std::vector<Quad> mantle;
    std::array<QPoint, kRing> cover;
    for (int i = 0; i < kRing; ++i) {
        double d0 = 0;
        double d1 = 0;
        const QPoint a = ringPoint(startEnd, i, d0);
        const QPoint b = ringPoint(startEnd, (i + 1) % kRing, d1);
        const QPoint c = ringPoint(coverEnd, (i + 1) % kRing, d1);
        cover[i] = ringPoint(coverEnd, i, d0);
        mantle.push_back({ (d0 + d1) / 2.0, { a, b, c, cover[i] } });
    }
    std::sort(mantle.begin(), mantle.end(), [](const Quad& a, const Quad& b) { return a.depth > b.depth; });
    const TColor fill = FaceColor();
    for (const Quad& quad : mantle)
        Polygon2D(quad.points);
    if (darkCover)
        SetFaceColor(Shade(fill, 64));
    Polygon2D(cover);
}

} // namespace tarvo
