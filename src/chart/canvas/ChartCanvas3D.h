#pragma once

#include "canvas/Canvas3D.h"
#include "canvas/Projection.h"

#include <QImage>
#include <QRegion>

#include <functional>
#include <memory>
#include <span>

namespace tarvo
{

// The chart's canvas: projects 3D shapes onto any QPainter surface and double-buffers screen
// repaints in an off-screen image of the panel's size, so that a repaint of an unchanged chart
// is a single image copy.
class TChartCanvas3D : public TCanvas3D
{
public:
    TChartCanvas3D();
    ~TChartCanvas3D() override;

    // Raised when a change of the canvas itself needs a new repaint (Monochrome).
    void SetOnInvalidate(std::function<void()> handler) { m_onInvalidate = std::move(handler); }

    [[nodiscard]] const TProjection& Projection() const { return m_projection; }
    [[nodiscard]] const TView3DOptions* Options() const { return m_options; }
    [[nodiscard]] bool Is3D() const { return m_projection.Is3D; }
    [[nodiscard]] bool BufferDirty() const { return m_bufferDirty; }
    [[nodiscard]] const QImage& Buffer() const { return m_buffer; }

    [[nodiscard]] bool Monochrome() const override { return m_monochrome; }
    void SetMonochrome(bool value) override;
    [[nodiscard]] bool UseBuffer() const override { return m_useBuffer; }
    void SetUseBuffer(bool value) override;
    void MarkDirty() override { m_bufferDirty = true; }

    void Pixel3D(int x, int y, int z, TColor color) override;
    [[nodiscard]] bool IsFull3D() const override { return false; }
    [[nodiscard]] bool Handles3DText() const override { return false; }
    void UnprojectPoint(int& x, int& y, int z) const override;
    void ProjectPoint(int x, int y, int z, int& screenX, int& screenY) const override;
    [[nodiscard]] QPoint ProjectXY(int x, int y, int z) const override;

    TRect BeginDraw(QPainter& target, const TView3DOptions* options, const TRect& panelRect, bool view3D,
        TColor panelColor) override;
    void CopySettings(const TCanvas3D& other) override;
    void PrepareProjection(int depth, const TRect& panelRect, const TRect& plotRect) override;
    void EndDraw(QPainter& target, const TRect& rect) override;
    bool RedrawFromBuffer(QPainter& window) override;
    // Runs draw on the clean off-screen picture between repaints (the zoom band moves this way
    // without the chart being drawn again); false, with nothing drawn, when there is no clean
    // picture, so the next repaint must show what draw would have.
    bool DrawOverBuffer(const std::function<void()>& draw);

    void Polygon2D(std::span<const QPoint> points) override;
    // Open line through the points with the canvas pen, clipped as Polygon2D clips.
    void Polyline2D(std::span<const QPoint> points);
    void ClipToRect(const TRect& rect) override;
    void RemoveClip() override;

    void Arrow3D(bool filled, QPoint from, QPoint to, int headWidth, int headHeight, int z) override;
    // Clips to the projected box; on an image, polygons are clipped to the part of that outline
    // they can reach, a single rectangle wherever the outline is straight there (see the .cpp).
    void ClipBox(const TRect& rect, int z0, int z1) override;
    void ConeShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides) override;
    void Box3D(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) override;
    // Box3D whose right side face is partly covered by what is drawn next (the next bars of a
    // dense bar chart): beyond each cover's FromZ, nothing below its BelowY shows. Covers come
    // in growing depth with shrinking BelowY, within the box. Those pixels are not filled, and
    // the hidden edges are not drawn. The same as Box3D without covers or when the side in
    // view is the left one.
    void Box3DCoveredSide(
        int left, int right, int top, int bottom, int z0, int z1, bool darkSides, std::span<const TSideCover> covers);
    void CylinderShape(
        bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover) override;
    void HLineAtDepth(int x0, int x1, int y, int z) override;
    void VLineAtDepth(int x, int y0, int y1, int z) override;
    void DepthLine3D(int x, int y, int z0, int z1) override;
    void Ellipse3D(int x1, int y1, int x2, int y2, int z) override;
    void BeginFlatDrawing() override;
    void EndFlatDrawing() override;
    void Line3D(int x0, int y0, int x1, int y1, int z) override;
    void MoveToAtDepth(int x, int y, int z) override;
    void LineToAtDepth(int x, int y, int z) override;
    void PieSlice3D(int cx, int cy, int xRadius, int yRadius, int z0, int z1, double startAngle, double endAngle,
        bool darkSides, bool drawSides) override;
    void DepthQuad(QPoint p1, QPoint p2, int z0, int z1) override;
    void Quad3D(QPoint p1, QPoint p2, QPoint p3, QPoint p4, int z) override;
    void QuadAcrossDepth(const std::array<QPoint, 4>& points, int z0, int z1) override;
    void PolygonAtDepth(std::span<const QPoint> points, int z) override;
    void PyramidShape(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides) override;
    void RectAtDepth(const TRect& rect, int z) override;
    void FloorRect(int left, int y, int right, int z0, int z1) override;
    void SideRect(int x, int top, int bottom, int z0, int z1) override;
    void RotatedText3D(int x, int y, int z, int angleDegrees, const QString& text) override;
    void Circle3D(int x, int y, double radius, int z) override;
    void Text3D(int x, int y, const QString& text, int z) override;
    void TrianglePoints3D(const std::array<T3DPoint, 3>& points, TColor color) override;
    void TriangleAtDepth(QPoint p1, QPoint p2, QPoint p3, int z) override;

protected:
    [[nodiscard]] double TextZoom() const override;

private:
    void FreeBuffer();
    void EndBufferPainting();
    void DrawBuffer(QPainter& target, QPoint at) const;
    // The colour a 3D face is filled with: the brush colour, or the background colour (the
    // colour between the hatch lines) for a hatched brush.
    [[nodiscard]] TColor FaceColor() const;
    void SetFaceColor(TColor color);
    // Whether the painter still clips to the outline that ClipBox set on it (or to the part of
    // it that the last polygon could reach).
    [[nodiscard]] bool OutlineClipActive(const QPainter& painter) const;
    void BeforePainting() override;
    // The side face of Box3DCoveredSide and the box's front (see the .cpp).
    void DrawCoveredSide(const std::array<QPoint, 4>& front, int right, int top, int bottom, int z0, int z1,
        bool darkSides, std::span<const TSideCover> covers);
    // Polygon2D (closed) or Polyline2D within the clip outline of ClipBox (see the .cpp).
    void ShapeInOutline(std::span<const QPoint> points, bool closed);
    // Sets the painter's clip for a shape through points under the outline clip; false when
    // none of it can show.
    bool ClipToOutlineAround(QPainter& painter, std::span<const QPoint> points);
    [[nodiscard]] QRect WidestOutlineRectAround(const QRect& part) const;
    [[nodiscard]] QRect StretchedPastOutline(const QRect& rect) const;
    void ForgetOutlineClip();

    TProjection m_projection;
    const TView3DOptions* m_options = nullptr;
    bool m_flatIs3D = false;
    bool m_useBuffer = true;
    bool m_monochrome = false;
    bool m_bufferDirty = true;
    // The clip outline of the last ClipBox in 3D and the painter it was set on; null when there
    // is none or the painter cannot take a narrower clip per shape.
    QRegion m_clipOutline;
    const QPainter* m_clipOutlinePainter = nullptr;
    // Polygons clip to the one rectangle of the outline they can reach, and the next polygon
    // in the same rectangle (the faces of a bar, the next bar) keeps it; anything else drawn
    // puts the whole outline back first.
    bool m_narrowed = false;
    QRect m_narrowedTo;
    // Where m_narrowedTo clips like the outline: itself, stretched past the outline's bounding
    // box on the sides where it meets it (a bar's outline pen reaches below the floor).
    QRect m_narrowedReach;
    bool m_drawingPolygon = false;
    QImage m_buffer;
    std::unique_ptr<QPainter> m_bufferPainter;
    std::function<void()> m_onInvalidate;
};

} // namespace tarvo
