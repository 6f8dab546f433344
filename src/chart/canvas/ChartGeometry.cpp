#include "canvas/ChartGeometry.h"

#include "core/ChartRounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

namespace tarvo
{

bool InsidePolygon(QPoint p, std::span<const QPoint> points) { return InsidePolygonF(QPointF(p), points); }

bool InsidePolygonF(QPointF p, std::span<const QPoint> points)
{
    bool inside = false;
    const std::size_t count = points.size();
    for (std::size_t i = 0, j = count - 1; i < count; j = i++) {
        const QPoint& a = points[i];
        const QPoint& b = points[j];
        const bool spansY = (a.y() <= p.y() && p.y() < b.y()) || (b.y() <= p.y() && p.y() < a.y());
        if (!spansY)
            continue;
        const double edgeX = static_cast<double>(b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x();
        if (p.x() < edgeX)
            inside = !inside;
    }
    return inside;
}

bool InsideEllipse(QPoint p, const TRect& rect)
{
    const int cx = (rect.Left + rect.Right) / 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const double a = cx - rect.Left;
    const double b = cy - rect.Top;
    if (a == 0 || b == 0)
        return false;
    const double dx = p.x() - cx;
    const double dy = p.y() - cy;
    return dx * dx / (a * a) + dy * dy / (b * b) <= 1.0;
}

bool InsideTriangle(QPoint p, int x0, int x1, int yBase, int yApex)
{
    const std::array<QPoint, 3> triangle { QPoint(x0, yBase), QPoint((x0 + x1) / 2, yApex), QPoint(x1, yBase) };
    return InsidePolygon(p, triangle);
}

bool InsideSideTriangle(QPoint p, int y0, int y1, int xBase, int xApex)
{
    const std::array<QPoint, 3> triangle { QPoint(xBase, y0), QPoint(xApex, (y0 + y1) / 2), QPoint(xBase, y1) };
    return InsidePolygon(p, triangle);
}

bool NearLine(QPoint p, int x0, int y0, int x1, int y1, int tolerance)
{
    const std::int64_t dx = static_cast<std::int64_t>(x1) - x0;
    const std::int64_t dy = static_cast<std::int64_t>(y1) - y0;
    // Twice the triangle area over the longer extent: about the distance from the line in pixels.
    const std::int64_t cross
        = (static_cast<std::int64_t>(p.x()) - x0) * dy - (static_cast<std::int64_t>(p.y()) - y0) * dx;
    if (std::llabs(cross) >= std::max(std::llabs(dx), std::llabs(dy)))
        return false;
    return p.x() >= std::min(x0, x1) - tolerance && p.x() <= std::max(x0, x1) + tolerance
        && p.y() >= std::min(y0, y1) - tolerance && p.y() <= std::max(y0, y1) + tolerance;
}

TColor Shade(TColor color, int amount)
{
    const TColor rgb = ColorToRGB(color);
    auto darker = [amount](int channel) { return channel > amount ? channel - amount : 0; };
    return RGBColor(darker(RedOf(rgb)), darker(GreenOf(rgb)), darker(BlueOf(rgb)));
}

int ScaledFontSize(int points, double scale) { return std::max(1, Round(points * scale)); }

TBoxFaces BoxFaces(const TProjection& projection, int left, int right, int top, int bottom, int z0, int z1)
{
    auto at = [&projection](int x, int y, int z) { return projection.Project(x, y, z); };
    TBoxFaces faces;
    faces.Front = { at(left, top, z0), at(right, top, z0), at(right, bottom, z0), at(left, bottom, z0) };
    // When depth runs to the left on screen, the left side is the one that faces the viewer.
    const int sideX = at(right, bottom, z0).x() >= at(right, bottom, z1).x() ? left : right;
    faces.Side = { at(sideX, top, z0), at(sideX, top, z1), at(sideX, bottom, z1), at(sideX, bottom, z0) };
    if (at(left, top, z1).y() < at(right, top, z0).y())
        faces.Top
            = std::array<QPoint, 4> { at(left, top, z0), at(right, top, z0), at(right, top, z1), at(left, top, z1) };
    return faces;
}

TPieSliceShape PieSliceShape(const TProjection& projection, int cx, int cy, int xRadius, int yRadius, int z0, int z1,
    double startAngle, double endAngle)
{
    TPieSliceShape shape;
    const double step = (endAngle - startAngle) / (kPieSlicePoints - 1);
    for (int i = 0; i < kPieSlicePoints; ++i) {
        const double angle = startAngle + i * step;
        const int x = cx + Round(xRadius * std::cos(angle));
        const int y = cy - Round(yRadius * std::sin(angle));
        shape.Front[i] = projection.Project(x, y, z1);
        shape.Back[i] = projection.Project(x, y, z0);
    }
    shape.FrontCenter = projection.Project(cx, cy, z1);
    shape.BackCenter = projection.Project(cx, cy, z0);

    // A radial side faces the viewer when the slice lies behind it: the end side when the rim ends
    // left of the centre, the start side when it starts right of it.
    const int centerX = shape.FrontCenter.x();
    shape.EndSideVisible = shape.Front[kPieSlicePoints - 1].x() < centerX;
    shape.StartSideVisible = shape.Front[0].x() > centerX;

    // The rim faces the viewer where it runs to the right on screen. The first such stretch, and
    // a final one that comes back at the end of the slice (a slice over the 3 o'clock line).
    const auto& f = shape.Front;
    int first = 1;
    while (first < kPieSlicePoints && f[first].x() <= f[first - 1].x())
        ++first;
    if (first == kPieSlicePoints)
        return shape;
    const int runStart = first - 1;
    int runEnd = first;
    while (runEnd + 1 < kPieSlicePoints && f[runEnd + 1].x() >= f[runEnd].x())
        ++runEnd;
    shape.RimBands.emplace_back(runStart, runEnd);
    const int last = kPieSlicePoints - 1;
    if (runEnd < last && f[last].x() > f[last - 1].x()) {
        int finalStart = last - 1;
        while (finalStart > 1 && f[finalStart - 1].x() < f[finalStart].x())
            --finalStart;
        shape.RimBands.emplace_back(std::max(finalStart, runEnd), last);
    }
    return shape;
}

std::array<QPoint, 32> EllipsePoints3D(const TProjection& projection, int x1, int y1, int x2, int y2, int z)
{
    const int cx = (x1 + x2) / 2;
    const int cy = (y1 + y2) / 2;
    const int rx = (x2 - x1) / 2;
    const int ry = (y2 - y1) / 2;
    std::array<QPoint, 32> points;
    points[0] = projection.Project(cx, y2, z);
    // Twenty points close the outline; the remaining ones go round a second time so the shape is
    // always 32 points whatever the caller does with them.
    for (int i = 1; i < 32; ++i) {
        const double angle = i * std::numbers::pi / 10.0;
        points[i] = projection.Project(cx + Round(rx * std::sin(angle)), cy + Round(ry * std::cos(angle)), z);
    }
    return points;
}

std::array<QPoint, 6> ClipBoxOutline(const TProjection& projection, const TRect& rect, int z0, int z1)
{
    QPoint frontBottomLeft = projection.Project(rect.Left, rect.Bottom, z0);
    const QPoint frontTopLeft = projection.Project(rect.Left, rect.Top, z0);
    const QPoint frontTopRight = projection.Project(rect.Right, rect.Top, z0);
    const QPoint frontBottomRight = projection.Project(rect.Right, rect.Bottom, z0);
    const QPoint backTopLeft = projection.Project(rect.Left, rect.Top, z1);
    const QPoint backTopRight = projection.Project(rect.Right, rect.Top, z1);
    const QPoint backBottomRight = projection.Project(rect.Right, rect.Bottom, z1);
    if (frontBottomRight.x() < frontBottomLeft.x())
        frontBottomLeft.setX(frontBottomRight.x());
    return { frontBottomLeft, frontTopLeft, backTopLeft.y() < frontTopRight.y() ? backTopLeft : frontTopRight,
        backTopRight, backBottomRight.x() > frontTopRight.x() ? backBottomRight : frontTopRight, frontBottomRight };
}

} // namespace tarvo
