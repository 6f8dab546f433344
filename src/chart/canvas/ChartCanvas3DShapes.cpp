// The 3D shapes of the chart canvas: every corner goes through the projection, faces are drawn
// back to front with the current pen and brush.

#include "canvas/ChartCanvas3D.h"

#include "canvas/ChartGeometry.h"
#include "core/ChartRounding.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tarvo
{

void TChartCanvas3D::Pixel3D(int x, int y, int z, TColor color)
{
    const QPoint p = ProjectXY(x, y, z);
    if (Pen().Width() <= 1) {
        Pixel2D(p.x(), p.y(), color);
        return;
    }
    QPainter* painter = PreparePainter(false, false);
    if (painter == nullptr)
        return;
    painter->setBrush(ToQColor(color));
    const int width = Pen().Width();
    painter->drawEllipse(QRect(p.x() - width / 2, p.y() - width / 2, width, width));
    InvalidatePainterState();
}

void TChartCanvas3D::MoveToAtDepth(int x, int y, int z)
{
    const QPoint p = ProjectXY(x, y, z);
    MoveTo2D(p.x(), p.y());
}

void TChartCanvas3D::LineToAtDepth(int x, int y, int z)
{
    const QPoint p = ProjectXY(x, y, z);
    LineTo2D(p.x(), p.y());
}

void TChartCanvas3D::Line3D(int x0, int y0, int x1, int y1, int z)
{
    MoveToAtDepth(x0, y0, z);
    LineToAtDepth(x1, y1, z);
}

void TChartCanvas3D::HLineAtDepth(int x0, int x1, int y, int z) { Line3D(x0, y, x1, y, z); }

void TChartCanvas3D::VLineAtDepth(int x, int y0, int y1, int z) { Line3D(x, y0, x, y1, z); }

void TChartCanvas3D::DepthLine3D(int x, int y, int z0, int z1)
{
    MoveToAtDepth(x, y, z1);
    LineToAtDepth(x, y, z0);
}

void TChartCanvas3D::DepthQuad(QPoint p1, QPoint p2, int z0, int z1)
{
    const std::array<QPoint, 4> quad { ProjectXY(p1.x(), p1.y(), z1), ProjectXY(p2.x(), p2.y(), z1),
        ProjectXY(p2.x(), p2.y(), z0), ProjectXY(p1.x(), p1.y(), z0) };
    Polygon2D(quad);
}

void TChartCanvas3D::Quad3D(QPoint p1, QPoint p2, QPoint p3, QPoint p4, int z)
{
    const std::array<QPoint, 4> quad { ProjectXY(p1.x(), p1.y(), z), ProjectXY(p2.x(), p2.y(), z),
        ProjectXY(p3.x(), p3.y(), z), ProjectXY(p4.x(), p4.y(), z) };
    Polygon2D(quad);
}

void TChartCanvas3D::QuadAcrossDepth(const std::array<QPoint, 4>& points, int z0, int z1)
{
    const std::array<QPoint, 4> quad { ProjectXY(points[0].x(), points[0].y(), z0),
        ProjectXY(points[1].x(), points[1].y(), z0), ProjectXY(points[2].x(), points[2].y(), z1),
        ProjectXY(points[3].x(), points[3].y(), z1) };
    Polygon2D(quad);
}

void TChartCanvas3D::PolygonAtDepth(std::span<const QPoint> points, int z)
{
    static_cast<void>(z);
    Polygon2D(points);
}

void TChartCanvas3D::RectAtDepth(const TRect& rect, int z)
{
    Quad3D(
        { rect.Left, rect.Top }, { rect.Right, rect.Top }, { rect.Right, rect.Bottom }, { rect.Left, rect.Bottom }, z);
}

void TChartCanvas3D::FloorRect(int left, int y, int right, int z0, int z1)
{
    const std::array<QPoint, 4> quad { ProjectXY(left, y, z0), ProjectXY(right, y, z0), ProjectXY(right, y, z1),
        ProjectXY(left, y, z1) };
    Polygon2D(quad);
}

void TChartCanvas3D::SideRect(int x, int top, int bottom, int z0, int z1)
{
    const std::array<QPoint, 4> quad { ProjectXY(x, top, z0), ProjectXY(x, top, z1), ProjectXY(x, bottom, z1),
        ProjectXY(x, bottom, z0) };
    Polygon2D(quad);
}

void TChartCanvas3D::TriangleAtDepth(QPoint p1, QPoint p2, QPoint p3, int z)
{
    const std::array<QPoint, 3> triangle { ProjectXY(p1.x(), p1.y(), z), ProjectXY(p2.x(), p2.y(), z),
        ProjectXY(p3.x(), p3.y(), z) };
    Polygon2D(triangle);
}

void TChartCanvas3D::TrianglePoints3D(const std::array<T3DPoint, 3>& points, TColor color)
{
    Brush().SetColor(color);
    std::array<QPoint, 3> triangle;
    std::transform(
        points.begin(), points.end(), triangle.begin(), [this](const T3DPoint& p) { return ProjectXY(p.X, p.Y, p.Z); });
    Polygon2D(triangle);
}

void TChartCanvas3D::Box3D(int left, int right, int top, int bottom, int z0, int z1, bool darkSides)
{
    Box3DCoveredSide(left, right, top, bottom, z0, z1, darkSides, {});
}

void TChartCanvas3D::Box3DCoveredSide(
    int left, int right, int top, int bottom, int z0, int z1, bool darkSides, std::span<const TSideCover> covers)
{
    const TColor fill = FaceColor();
    const TBoxFaces faces = BoxFaces(Projection(), left, right, top, bottom, z0, z1);
    if (!Is3D() || covers.empty() || faces.Side[0] != faces.Front[1] || Pen().Width() > 1) {
        Polygon2D(faces.Front);
        if (!Is3D())
            return;
        if (darkSides)
            SetFaceColor(Shade(fill, 128));
        Polygon2D(faces.Side);
    } else {
        DrawCoveredSide(faces.Front, right, top, bottom, z0, z1, darkSides, covers);
    }
    if (faces.Top) {
        if (darkSides)
            SetFaceColor(Shade(fill, 64));
        Polygon2D(*faces.Top);
    }
}

void TChartCanvas3D::DrawCoveredSide(const std::array<QPoint, 4>& front, int right, int top, int bottom, int z0, int z1,
    bool darkSides, std::span<const TSideCover> covers)
{
    // What shows of the side, as a staircase in its own plane (height y, depth z): all of it up to
    // the first cover, then less at each further one; it ends early where a cover reaches the
    // side's top. Its outline shows only along the top, the back and the bottom up to the first
    // cover; the front edge is the front face's own.
    const TColor fill = FaceColor();
    const TSideCover& deepest = covers.back();
    const bool endsEarly = deepest.BelowY <= top;
    const int end = endsEarly ? deepest.FromZ : z1;
    std::vector<QPoint> side { ProjectXY(right, top, z0), ProjectXY(right, top, end) };
    if (!endsEarly) {
        side.push_back(ProjectXY(right, deepest.BelowY, z1));
        side.push_back(ProjectXY(right, deepest.BelowY, deepest.FromZ));
    }
    for (std::size_t k = covers.size() - 1; k-- > 0;) {
        side.push_back(ProjectXY(right, covers[k].BelowY, covers[k + 1].FromZ));
        side.push_back(ProjectXY(right, covers[k].BelowY, covers[k].FromZ));
    }
    side.push_back(ProjectXY(right, bottom, covers.front().FromZ));
    side.push_back(ProjectXY(right, bottom, z0));

    const TChartPen pen = Pen();
    Pen().SetStyle(psClear);
    if (darkSides)
        SetFaceColor(Shade(fill, 128));
    Polygon2D(side);
    Pen() = pen;
    SetFaceColor(fill);
    Polygon2D(front);
    const std::span<const QPoint> upper(side.data(), endsEarly ? 2 : 3);
    Polyline2D(upper);
    const std::array<QPoint, 2> lower { side.back(), side[side.size() - 2] };
    Polyline2D(lower);
    if (darkSides)
        SetFaceColor(Shade(fill, 128)); // the face colour a whole side leaves behind
}

void TChartCanvas3D::PieSlice3D(int cx, int cy, int xRadius, int yRadius, int z0, int z1, double startAngle,
    double endAngle, bool darkSides, bool drawSides)
{
    const TPieSliceShape shape = PieSliceShape(Projection(), cx, cy, xRadius, yRadius, z0, z1, startAngle, endAngle);
    const TColor fill = FaceColor();
    constexpr int last = kPieSlicePoints - 1;
    if (drawSides) {
        if (darkSides)
            SetFaceColor(Shade(fill, 32));
        if (shape.EndSideVisible) {
            const std::array<QPoint, 4> side { shape.FrontCenter, shape.Front[last], shape.Back[last],
                shape.BackCenter };
            Polygon2D(side);
        }
        if (shape.StartSideVisible) {
            const std::array<QPoint, 4> side { shape.FrontCenter, shape.Front[0], shape.Back[0], shape.BackCenter };
            Polygon2D(side);
        }
    }
    SetFaceColor(fill);
    std::array<QPoint, kPieSlicePoints + 1> face;
    face[0] = shape.FrontCenter;
    std::copy(shape.Front.begin(), shape.Front.end(), face.begin() + 1);
    Polygon2D(face);

    if (darkSides && !shape.RimBands.empty())
        SetFaceColor(Shade(fill, 32));
    for (const auto& [first, lastIndex] : shape.RimBands) {
        std::vector<QPoint> band;
        band.reserve(2 * static_cast<std::size_t>(lastIndex - first + 1));
        for (int i = first; i <= lastIndex; ++i)
            band.push_back(shape.Front[i]);
        for (int i = lastIndex; i >= first; --i)
            band.push_back(shape.Back[i]);
        Polygon2D(band);
    }
}

void TChartCanvas3D::Ellipse3D(int x1, int y1, int x2, int y2, int z)
{
    if (!Is3D()) {
        Ellipse2D(x1, y1, x2 + 1, y2 + 1);
        return;
    }
    if (Projection().Oblique) {
        const QPoint a = ProjectXY(x1, y1, z);
        const QPoint b = ProjectXY(x2, y2, z);
        Ellipse2D(a.x(), a.y(), b.x(), b.y());
        return;
    }
    const std::array<QPoint, 32> points = EllipsePoints3D(Projection(), x1, y1, x2, y2, z);
    const QPoint center = ProjectXY((x1 + x2) / 2, (y1 + y2) / 2, z);
    if (Brush().Style() != bsClear) {
        const TChartPen saved = Pen();
        Pen().SetStyle(psClear);
        for (std::size_t k = 0; k + 1 < points.size(); ++k) {
            const std::array<QPoint, 3> triangle { center, points[k], points[k + 1] };
            Polygon2D(triangle);
        }
        Pen() = saved;
    }
    if (Pen().Style() != psClear && Pen().Visible()) {
        if (QPainter* painter = PreparePainter(true, false))
            painter->drawPolyline(points.data(), static_cast<int>(points.size()));
    }
}

void TChartCanvas3D::Circle3D(int x, int y, double radius, int z)
{
    const int r = Round(radius);
    Ellipse3D(x - r, y - r, x + r, y + r, z);
}

void TChartCanvas3D::Text3D(int x, int y, const QString& text, int z)
{
    const QPoint p = ProjectXY(x, y, z);
    if (PreparePainter(false, false) == nullptr)
        return;
    DeviceText(p, text, 0.0, ZoomedFont(TextZoom()));
}

void TChartCanvas3D::RotatedText3D(int x, int y, int z, int angleDegrees, const QString& text)
{
    const QPoint p = ProjectXY(x, y, z);
    RotatedText2D(p.x(), p.y(), angleDegrees, text);
}

} // namespace tarvo
