#pragma once

// Screen geometry of the chart canvas, apart from painting: hit tests used by the series, colour
// shading of 3D faces, font scaling with the zoom, and the projected outlines of the 3D shapes.
// Coordinates are pixels, y grows downward.

#include "canvas/Projection.h"
#include "core/ChartColor.h"
#include "core/Rect.h"

#include <QPoint>
#include <QPointF>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace tarvo
{

// Even-odd rule; an empty polygon contains nothing.
[[nodiscard]] bool InsidePolygon(QPoint p, std::span<const QPoint> points);
// The same for a point between pixels: a filled polygon paints the pixels whose centres
// (x + 0.5, y + 0.5) it contains.
[[nodiscard]] bool InsidePolygonF(QPointF p, std::span<const QPoint> points);
// The ellipse inscribed in rect (centre at the integer midpoints); a flat rect contains nothing.
[[nodiscard]] bool InsideEllipse(QPoint p, const TRect& rect);
// Upright triangle (x0, yBase), ((x0 + x1) / 2, yApex), (x1, yBase).
[[nodiscard]] bool InsideTriangle(QPoint p, int x0, int x1, int yBase, int yApex);
// Sideways triangle (xBase, y0), (xApex, (y0 + y1) / 2), (xBase, y1).
[[nodiscard]] bool InsideSideTriangle(QPoint p, int y0, int y1, int xBase, int xApex);
// Within about a pixel of the line through (x0, y0) and (x1, y1), and not beyond either end of
// the segment by more than tolerance pixels in x or y.
[[nodiscard]] bool NearLine(QPoint p, int x0, int y0, int x1, int y1, int tolerance);

// Each of red, green and blue reduced by amount, not below 0 (darkened 3D faces).
[[nodiscard]] TColor Shade(TColor color, int amount);

// Point size of text drawn at a zoom scale: never below 1.
[[nodiscard]] int ScaledFontSize(int points, double scale);

// Faces of a 3D bar or wall as projected polygons, in drawing order.
struct TBoxFaces {
    std::array<QPoint, 4> Front;
    std::array<QPoint, 4> Side; // the right side, or the left one when the right is turned away
    std::optional<std::array<QPoint, 4>> Top; // only when seen from above
};
[[nodiscard]] TBoxFaces BoxFaces(
    const TProjection& projection, int left, int right, int top, int bottom, int z0, int z1);

// A 3D pie slice: its front (z1) and back (z0) rims, 32 points each, the projected centre at z1
// and at z0, which radial sides face the viewer and the index ranges of the curved rim to draw.
inline constexpr int kPieSlicePoints = 32;
struct TPieSliceShape {
    std::array<QPoint, kPieSlicePoints> Front;
    std::array<QPoint, kPieSlicePoints> Back;
    QPoint FrontCenter;
    QPoint BackCenter;
    bool EndSideVisible = false;
    bool StartSideVisible = false;
    // Inclusive [first, last] indices of the rim bands; first < last.
    std::vector<std::pair<int, int>> RimBands;
};
// Angles in radians, 0 at 3 o'clock, counter-clockwise on screen.
[[nodiscard]] TPieSliceShape PieSliceShape(const TProjection& projection, int cx, int cy, int xRadius, int yRadius,
    int z0, int z1, double startAngle, double endAngle);

// The 32 projected outline points of the ellipse in (x1, y1, x2, y2) at depth z for the rotated
// projection.
[[nodiscard]] std::array<QPoint, 32> EllipsePoints3D(
    const TProjection& projection, int x1, int y1, int x2, int y2, int z);

// The six-sided screen outline of the projected box rect × [z0, z1] (clipping of a 3D plot).
[[nodiscard]] std::array<QPoint, 6> ClipBoxOutline(const TProjection& projection, const TRect& rect, int z0, int z1);

} // namespace tarvo
