// The chart canvas' repaint cycle, buffer and projection; the 3D shapes are in
// ChartCanvas3DShapes.cpp.

#include "canvas/ChartCanvas3D.h"

#include "canvas/ChartGeometry.h"
#include "canvas/View3DOptions.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo
{

TChartCanvas3D::TChartCanvas3D() = default;

TChartCanvas3D::~TChartCanvas3D()
{
    Attach(nullptr);
    EndBufferPainting();
}

void TChartCanvas3D::EndBufferPainting()
{
    if (m_bufferPainter == nullptr)
        return;
    if (DeviceContext() == m_bufferPainter.get())
        Attach(nullptr);
    m_bufferPainter->end();
    m_bufferPainter.reset();
}

void TChartCanvas3D::FreeBuffer()
{
    EndBufferPainting();
    m_buffer = QImage();
    m_bufferDirty = true;
}

void TChartCanvas3D::SetMonochrome(bool value)
{
    if (m_monochrome == value)
        return;
    m_monochrome = value;
    FreeBuffer();
    if (m_onInvalidate)
        m_onInvalidate();
}

void TChartCanvas3D::SetUseBuffer(bool value)
{
    if (m_useBuffer == value)
        return;
    m_useBuffer = value;
    if (!value)
        FreeBuffer();
}

void TChartCanvas3D::CopySettings(const TCanvas3D& other) { SetMonochrome(other.Monochrome()); }

TRect TChartCanvas3D::BeginDraw(
    QPainter& target, const TView3DOptions* options, const TRect& panelRect, bool view3D, TColor panelColor)
{
    EndBufferPainting();
    ForgetOutlineClip();
    m_options = options;
    m_projection.Begin(options, view3D);
    if (!m_useBuffer) {
        Attach(&target);
        return panelRect;
    }
    const int width = panelRect.Width();
    const int height = panelRect.Height();
    if (!m_buffer.isNull() && (m_buffer.width() != width || m_buffer.height() != height))
        m_buffer = QImage();
    if (width <= 0 || height <= 0) {
        // Nothing can be seen of a panel without area; drawing goes nowhere.
        Attach(nullptr);
        return { 0, 0, width, height };
    }
    if (m_buffer.isNull()) {
        // Monochrome pictures are drawn in colour and reduced to two colours when copied out:
        // the painter cannot draw into a one-bit image.
        m_buffer = QImage(width, height, QImage::Format_RGB32);
        m_buffer.fill(ToQColor(panelColor));
    }
    m_bufferPainter = std::make_unique<QPainter>(&m_buffer);
    Attach(m_bufferPainter.get());
    return { 0, 0, width, height };
}

void TChartCanvas3D::EndDraw(QPainter& target, const TRect& rect)
{
    const bool buffered = m_bufferPainter != nullptr;
    ForgetOutlineClip();
    EndBufferPainting();
    Attach(nullptr);
    if (!buffered)
        return;
    DrawBuffer(target, QPoint(rect.Left, rect.Top));
    m_bufferDirty = false;
}

void TChartCanvas3D::DrawBuffer(QPainter& target, QPoint at) const
{
    // Monochrome pictures are drawn in colour and reduced to two colours only here.
    if (m_monochrome)
        target.drawImage(at, m_buffer.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
    else
        target.drawImage(at, m_buffer);
}

bool TChartCanvas3D::RedrawFromBuffer(QPainter& window)
{
    if (m_bufferDirty || m_buffer.isNull())
        return false;
    DrawBuffer(window, QPoint(0, 0));
    return true;
}

bool TChartCanvas3D::DrawOverBuffer(const std::function<void()>& draw)
{
    if (m_bufferDirty || m_buffer.isNull() || m_bufferPainter != nullptr)
        return false;
    QPainter painter(&m_buffer);
    Attach(&painter);
    draw();
    Attach(nullptr);
    return true;
}

void TChartCanvas3D::PrepareProjection(int depth, const TRect& panelRect, const TRect& plotRect)
{
    static_cast<void>(panelRect);
    m_projection.Prepare(m_options, depth, plotRect);
}

void TChartCanvas3D::ProjectPoint(int x, int y, int z, int& screenX, int& screenY) const
{
    const QPoint p = m_projection.Project(x, y, z);
    screenX = p.x();
    screenY = p.y();
}

QPoint TChartCanvas3D::ProjectXY(int x, int y, int z) const { return m_projection.Project(x, y, z); }

void TChartCanvas3D::UnprojectPoint(int& x, int& y, int z) const { m_projection.Unproject(x, y, z); }

void TChartCanvas3D::BeginFlatDrawing()
{
    m_flatIs3D = m_projection.Is3D;
    m_projection.Is3D = false;
}

void TChartCanvas3D::EndFlatDrawing() { m_projection.Is3D = m_flatIs3D; }

double TChartCanvas3D::TextZoom() const { return m_projection.ZoomText ? m_projection.Scale : 1.0; }

void TChartCanvas3D::ClipBox(const TRect& rect, int z0, int z1)
{
    if (!m_projection.Is3D) {
        ClipToRect({ rect.Left + 1, rect.Top + 1, rect.Right, rect.Bottom - 1 });
        return;
    }
    QPainter* painter = DeviceContext();
    if (painter == nullptr)
        return;
    ForgetOutlineClip();
    const std::array<QPoint, 6> outline = ClipBoxOutline(m_projection, rect, z0, z1);
    QRegion region(QPolygon(QList<QPoint>(outline.begin(), outline.end())));
    if (region.rectCount() == 1) {
        // A box seen without depth offset: its outline is a plain rectangle.
        painter->setClipRect(region.boundingRect());
        return;
    }
    // A metafile keeps only the outline's bounding box, so it is handed the region as it is.
    painter->setClipRegion(region);
    if (painter->paintEngine() != nullptr && painter->paintEngine()->type() == QPaintEngine::Raster
        && painter->transform().isIdentity()) {
        m_clipOutline = std::move(region);
        m_clipOutlinePainter = painter;
    }
}

void TChartCanvas3D::ClipToRect(const TRect& rect)
{
    ForgetOutlineClip();
    TCanvas3D::ClipToRect(rect);
}

void TChartCanvas3D::RemoveClip()
{
    ForgetOutlineClip();
    TCanvas3D::RemoveClip();
}

void TChartCanvas3D::ForgetOutlineClip()
{
    m_clipOutlinePainter = nullptr;
    m_narrowed = false;
}

bool TChartCanvas3D::OutlineClipActive(const QPainter& painter) const
{
    // The painter is also reachable outside the canvas; a clip changed there ends the narrowing.
    return &painter == m_clipOutlinePainter && painter.hasClipping()
        && painter.clipBoundingRect() == QRectF(m_narrowed ? m_narrowedTo : m_clipOutline.boundingRect());
}

void TChartCanvas3D::BeforePainting()
{
    if (!m_narrowed || m_drawingPolygon)
        return;
    QPainter* painter = DeviceContext();
    const bool stillOurs = painter != nullptr && OutlineClipActive(*painter);
    m_narrowed = false;
    if (stillOurs)
        painter->setClipRegion(m_clipOutline);
    else
        m_clipOutlinePainter = nullptr;
}

void TChartCanvas3D::Polygon2D(std::span<const QPoint> points) { ShapeInOutline(points, true); }

void TChartCanvas3D::Polyline2D(std::span<const QPoint> points) { ShapeInOutline(points, false); }

void TChartCanvas3D::ShapeInOutline(std::span<const QPoint> points, bool closed)
{
    QPainter* painter = points.empty() ? nullptr : DeviceContext();
    const auto draw = [&points, closed](QPainter& target) {
        if (closed)
            target.drawPolygon(points.data(), static_cast<int>(points.size()));
        else
            target.drawPolyline(points.data(), static_cast<int>(points.size()));
    };
    if (painter == nullptr || !OutlineClipActive(*painter)) {
        if (closed)
            TCanvas3D::Polygon2D(points);
        else if (QPainter* plain = PreparePainter(true, false); plain != nullptr && !points.empty())
            draw(*plain);
        return;
    }
    m_drawingPolygon = true;
    PreparePainter(true, closed);
    m_drawingPolygon = false;
    if (ClipToOutlineAround(*painter, points))
        draw(*painter);
}

bool TChartCanvas3D::ClipToOutlineAround(QPainter& painter, std::span<const QPoint> points)
{
    // The image painter keeps a clip of many rectangles as one span per scan line and finds the
    // span of a line by walking the list from its start once the line lies below as many lines as
    // the list holds, so every shape near the bottom of a tall plot costs hundreds of steps per
    // scan line. Most shapes lie where the outline's edges are vertical: there the part of the
    // outline they can touch is a single rectangle, which clips the same pixels at no cost.
    const auto [minX, maxX] = std::minmax_element(
        points.begin(), points.end(), [](const QPoint& a, const QPoint& b) { return a.x() < b.x(); });
    const auto [minY, maxY] = std::minmax_element(
        points.begin(), points.end(), [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
    // Pixels the outline's pen can reach beyond the corners, mitred joins included.
    const QPen pen = painter.pen();
    const int reach = pen.style() == Qt::NoPen
        ? 1
        : 2 + static_cast<int>(std::ceil(std::max(1.0, pen.widthF()) * std::max(1.0, pen.miterLimit())));
    const QRect bounds(QPoint(minX->x() - reach, minY->y() - reach), QPoint(maxX->x() + reach, maxY->y() + reach));
    // Inside the rectangle the last shape narrowed the clip to (the next face or bar of a dense
    // chart): the same clip, without asking the outline again.
    if (m_narrowed && m_narrowedReach.contains(bounds))
        return true;
    const QRegion visible = m_clipOutline.intersected(bounds);
    if (visible.isEmpty())
        return false;
    if (visible.rectCount() > 1) {
        if (m_narrowed) {
            m_narrowed = false;
            painter.setClipRegion(m_clipOutline);
        }
        return true;
    }
    const QRect narrowTo = WidestOutlineRectAround(visible.boundingRect());
    if (!m_narrowed || m_narrowedTo != narrowTo) {
        painter.setClipRect(narrowTo);
        m_narrowed = true;
        m_narrowedTo = narrowTo;
        m_narrowedReach = StretchedPastOutline(narrowTo);
    }
    return true;
}

QRect TChartCanvas3D::WidestOutlineRectAround(const QRect& part) const
{
    // The outline's widest rectangle over the part's rows, then as tall as the outline allows at
    // that width: the next faces and bars of a dense chart, whatever their heights, usually lie
    // in it too and keep the clip as it is. Every row the part covers has a rectangle that holds
    // the part's columns, as the outline around the part is the part; the outline's rectangles
    // come row band by row band, top down, and no two of a band overlap.
    int left = std::numeric_limits<int>::min();
    int right = std::numeric_limits<int>::max();
    const auto holds = [](const QRect& r, int from, int to) { return r.left() <= from && r.right() >= to; };
    for (const QRect& r : m_clipOutline)
        if (r.bottom() >= part.top() && r.top() <= part.bottom() && holds(r, part.left(), part.right())) {
            left = std::max(left, r.left());
            right = std::min(right, r.right());
        }
    if (left > part.left() || right < part.right())
        return part; // not met: the outline around the part is the part
    const auto holdsPart
        = [&part](int runTop, int runBottom) { return runTop <= part.top() && runBottom >= part.bottom(); };
    int runTop = 0;
    int runBottom = std::numeric_limits<int>::min();
    for (const QRect& r : m_clipOutline) {
        if (!holds(r, left, right))
            continue;
        if (r.top() > runBottom + 1) { // a gap: a new run of rows starts
            if (holdsPart(runTop, runBottom))
                break;
            runTop = r.top();
        }
        runBottom = r.bottom();
    }
    if (!holdsPart(runTop, runBottom))
        return part;
    return { QPoint(left, runTop), QPoint(right, runBottom) };
}

QRect TChartCanvas3D::StretchedPastOutline(const QRect& rect) const
{
    // Beyond the outline's bounding box the outline clips everything away, and so does rect.
    constexpr int far = 1 << 24;
    const QRect box = m_clipOutline.boundingRect();
    QRect stretched = rect;
    if (rect.left() <= box.left())
        stretched.setLeft(-far);
    if (rect.top() <= box.top())
        stretched.setTop(-far);
    if (rect.right() >= box.right())
        stretched.setRight(far);
    if (rect.bottom() >= box.bottom())
        stretched.setBottom(far);
    return stretched;
}

TColor TChartCanvas3D::FaceColor() const { return Brush().Style() == bsSolid ? Brush().Color() : BackgroundColor(); }

void TChartCanvas3D::SetFaceColor(TColor color)
{
    if (Brush().Style() == bsSolid)
        Brush().SetColor(color);
    else
        SetBackgroundColor(color);
}

} // namespace tarvo
