#pragma once

#include "canvas/ChartCanvas.h"
#include "core/Rect.h"

#include <QPoint>
#include <QString>

#include <array>
#include <span>

class QPainter;

namespace tarvo
{

class TView3DOptions;

// Part of a box's side face hidden by what is drawn after it: beyond depth FromZ, everything
// below BelowY.
struct TSideCover {
    int FromZ = 0;
    int BelowY = 0;
};

// The depth-aware half of the chart canvas: every operation takes depth coordinates (pixels into
// the screen) and passes each corner through the projection. With the chart's 3D view off the
// projection is the identity and depth is ignored.
class TCanvas3D : public TChartCanvas
{
public:
    virtual void Pixel3D(int x, int y, int z, TColor color) = 0;
    // Whether the canvas renders the whole chart in true 3D (the chart then skips work) and places
    // marks and titles in 3D itself. A projecting canvas answers no to both.
    [[nodiscard]] virtual bool IsFull3D() const = 0;
    [[nodiscard]] virtual bool Handles3DText() const = 0;
    virtual void UnprojectPoint(int& x, int& y, int z) const = 0;
    virtual void ProjectPoint(int x, int y, int z, int& screenX, int& screenY) const = 0;
    [[nodiscard]] virtual QPoint ProjectXY(int x, int y, int z) const = 0;

    // Starts a repaint onto target (whose painter must stay active until EndDraw); answers the
    // rectangle to draw into: panelRect itself, or (0, 0, width, height) of the off-screen buffer.
    virtual TRect BeginDraw(
        QPainter& target, const TView3DOptions* options, const TRect& panelRect, bool view3D, TColor panelColor)
        = 0;
    virtual void CopySettings(const TCanvas3D& other) = 0;
    // depth: the chart's total depth in pixels; plotRect: the final plotting rectangle.
    virtual void PrepareProjection(int depth, const TRect& panelRect, const TRect& plotRect) = 0;
    // Copies the buffer to target at rect's top-left and ends the repaint.
    virtual void EndDraw(QPainter& target, const TRect& rect) = 0;
    // Copies a clean buffer to the window at (0, 0); false when the chart must be drawn again.
    virtual bool RedrawFromBuffer(QPainter& window) = 0;

    virtual void Arrow3D(bool filled, QPoint from, QPoint to, int headWidth, int headHeight, int z) = 0;
    virtual void ClipBox(const TRect& rect, int z0, int z1) = 0;
    virtual void ConeShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides) = 0;
    virtual void Box3D(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) = 0;
    virtual void CylinderShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover)
        = 0;
    virtual void HLineAtDepth(int x0, int x1, int y, int z) = 0;
    virtual void VLineAtDepth(int x, int y0, int y1, int z) = 0;
    // Along the depth axis, from z1 to z0.
    virtual void DepthLine3D(int x, int y, int z0, int z1) = 0;
    virtual void Ellipse3D(int x1, int y1, int x2, int y2, int z) = 0;
    // Titles and legend are drawn flat between these two.
    virtual void BeginFlatDrawing() = 0;
    virtual void EndFlatDrawing() = 0;
    virtual void Line3D(int x0, int y0, int x1, int y1, int z) = 0;
    virtual void MoveToAtDepth(int x, int y, int z) = 0;
    virtual void LineToAtDepth(int x, int y, int z) = 0;
    // Angles in radians, 0 at 3 o'clock, counter-clockwise on screen.
    virtual void PieSlice3D(int cx, int cy, int xRadius, int yRadius, int z0, int z1, double startAngle,
        double endAngle, bool darkSides, bool drawSides)
        = 0;
    // p1 at z1, p2 at z1, p2 at z0, p1 at z0.
    virtual void DepthQuad(QPoint p1, QPoint p2, int z0, int z1) = 0;
    virtual void Quad3D(QPoint p1, QPoint p2, QPoint p3, QPoint p4, int z) = 0;
    // The first two points at z0, the last two at z1.
    virtual void QuadAcrossDepth(const std::array<QPoint, 4>& points, int z0, int z1) = 0;
    // Draws the points as given: they are taken to be projected already.
    virtual void PolygonAtDepth(std::span<const QPoint> points, int z) = 0;
    virtual void PyramidShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides)
        = 0;
    virtual void RectAtDepth(const TRect& rect, int z) = 0;
    // Horizontal rectangle at height y: (left, z0), (right, z0), (right, z1), (left, z1).
    virtual void FloorRect(int left, int y, int right, int z0, int z1) = 0;
    // Vertical rectangle in the depth plane at x: (top, z0), (top, z1), (bottom, z1), (bottom, z0).
    virtual void SideRect(int x, int top, int bottom, int z0, int z1) = 0;
    virtual void RotatedText3D(int x, int y, int z, int angleDegrees, const QString& text) = 0;
    virtual void Circle3D(int x, int y, double radius, int z) = 0;
    virtual void Text3D(int x, int y, const QString& text, int z) = 0;
    // Filled triangle in color.
    virtual void TrianglePoints3D(const std::array<T3DPoint, 3>& points, TColor color) = 0;
    virtual void TriangleAtDepth(QPoint p1, QPoint p2, QPoint p3, int z) = 0;
};

} // namespace tarvo
