#include "canvas/ChartCanvas.h"

#include "MetafilePaintDevice.h"
#include "canvas/ChartGeometry.h"
#include "core/ChartRounding.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo
{

namespace
{

    Qt::PenStyle QtPenStyle(TPenStyle style)
    {
        switch (style) {
        case psSolid:
        case psInsideFrame:
            return Qt::SolidLine;
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
        }
        return Qt::SolidLine;
    }

    Qt::BrushStyle QtBrushStyle(TBrushStyle style)
    {
        switch (style) {
        case bsSolid:
            return Qt::SolidPattern;
        case bsClear:
            return Qt::NoBrush;
        case bsHorizontal:
            return Qt::HorPattern;
        case bsVertical:
            return Qt::VerPattern;
        case bsFDiagonal:
            return Qt::FDiagPattern;
        case bsBDiagonal:
            return Qt::BDiagPattern;
        case bsCross:
            return Qt::CrossPattern;
        case bsDiagCross:
            return Qt::DiagCrossPattern;
        }
        return Qt::SolidPattern;
    }

    QPainter::CompositionMode QtMode(TPenMode mode)
    {
        switch (mode) {
        case pmCopy:
            return QPainter::CompositionMode_SourceOver;
        case pmNot:
            return QPainter::RasterOp_NotDestination;
        case pmXor:
            return QPainter::RasterOp_SourceXorDestination;
        case pmNotXor:
            return QPainter::RasterOp_NotSourceXorDestination;
        }
        return QPainter::CompositionMode_SourceOver;
    }

    // Angle of a radial point as the painter measures it on an ellipse: in the ellipse's own
    // (circle-normalised) space, in 1/16 degree, counter-clockwise from 3 o'clock.
    int EllipseAngle16(const TRect& bounds, QPoint radial)
    {
        const double cx = (bounds.Left + bounds.Right) / 2.0;
        const double cy = (bounds.Top + bounds.Bottom) / 2.0;
        const double rx = std::max(1, bounds.Width()) / 2.0;
        const double ry = std::max(1, bounds.Height()) / 2.0;
        const double radians = std::atan2(-(radial.y() - cy) / ry, (radial.x() - cx) / rx);
        return Round(radians * 180.0 / std::numbers::pi * 16.0);
    }

    // Counter-clockwise span from start to end; equal points mean the whole ellipse.
    int SpanAngle16(int start16, int end16)
    {
        int span = (end16 - start16) % (360 * 16);
        if (span <= 0)
            span += 360 * 16;
        return span;
    }

    // The outline rectangle of a shape whose bounds exclude right and bottom.
    QRect OutlineRect(const TRect& bounds)
    {
        return QRect(bounds.Left, bounds.Top, std::max(0, bounds.Width() - 1), std::max(0, bounds.Height() - 1));
    }

} // namespace

TChartCanvas::TChartCanvas()
{
    m_pen.SetOnChange([this] { m_penRealized = false; });
    m_brush.SetOnChange([this] { m_brushRealized = false; });
}

TChartCanvas::~TChartCanvas() = default;

void TChartCanvas::Attach(QPainter* painter)
{
    m_painter = painter;
    m_textRuns.Trim(); // no text of the canvas is being drawn or measured now
    InvalidatePainterState();
    if (m_painter != nullptr) {
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        ClipToDevice(Qt::IntersectClip);
    }
}

void TChartCanvas::ClipToDevice(Qt::ClipOperation operation)
{
    // The image painter draws one-pixel pens span by span when nothing clips it, and about twice
    // as fast, with the same pixels, inside a clip rectangle; a clip to the whole image therefore
    // stands for "no clip". Other surfaces record clips, so they keep having none, and so does a
    // painter that maps its coordinates, where the image's rectangle is not the whole image.
    QPaintEngine* engine = m_painter->paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster || !m_painter->deviceTransform().isIdentity()) {
        if (operation == Qt::ReplaceClip)
            m_painter->setClipping(false);
        return;
    }
    const QPaintDevice* device = m_painter->device();
    m_painter->setClipRect(QRect(0, 0, device->width(), device->height()), operation);
}

void TChartCanvas::InvalidatePainterState()
{
    m_penRealized = false;
    m_brushRealized = false;
}

void TChartCanvas::ApplyPen(const TChartPen& pen)
{
    if (!pen.Visible()) {
        m_pen.SetStyle(psClear);
        return;
    }
    m_pen = pen;
}

void TChartCanvas::SetBackgroundColor(TColor color)
{
    m_backgroundColor = color;
    m_brushRealized = false;
}

void TChartCanvas::SetBackgroundMode(int mode)
{
    m_backgroundMode = mode == OPAQUE ? OPAQUE : TRANSPARENT;
    m_brushRealized = false;
}

void TChartCanvas::RealizePen()
{
    QPen pen(ToQColor(m_pen.Color()));
    pen.setStyle(m_pen.Visible() ? QtPenStyle(m_pen.Style()) : Qt::NoPen);
    pen.setWidth(std::max(1, m_pen.Width()));
    pen.setCosmetic(m_pen.Width() <= 1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    if (m_pen.SmallDots() && m_pen.Width() <= 1 && pen.style() != Qt::NoPen)
        pen.setDashPattern({ 1.0, 1.0 });
    m_painter->setPen(pen);
    m_painter->setCompositionMode(QtMode(m_pen.Mode()));
    // Gaps of a styled pen show the background in opaque mode; text may have changed the mode.
    RealizeBackground();
    m_penRealized = true;
}

void TChartCanvas::RealizeBrush()
{
    if (m_brush.HasImage())
        m_painter->setBrush(QBrush(m_brush.Image()));
    else
        m_painter->setBrush(QBrush(ToQColor(m_brush.Color()), QtBrushStyle(m_brush.Style())));
    RealizeBackground();
    m_brushRealized = true;
}

void TChartCanvas::RealizeBackground()
{
    m_painter->setBackgroundMode(m_backgroundMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(QBrush(ToQColor(m_backgroundColor)));
}

QPainter* TChartCanvas::PreparePainter(bool usesPen, bool usesBrush)
{
    if (m_painter == nullptr)
        return nullptr;
    BeforePainting();
    if (!usesPen) {
        m_painter->setPen(Qt::NoPen);
        m_penRealized = false;
    } else if (!m_penRealized) {
        RealizePen();
    }
    if (!usesBrush) {
        m_painter->setBrush(Qt::NoBrush);
        m_brushRealized = false;
    } else if (!m_brushRealized) {
        RealizeBrush();
    }
    return m_painter;
}

QFont TChartCanvas::ZoomedFont(double zoom) const
{
    if (zoom == 1.0)
        return m_font.ToQFont();
    const int points = ScaledFontSize(m_font.Size(), zoom);
    if (points == m_font.Size())
        return m_font.ToQFont();
    TChartFont scaled = m_font;
    scaled.SetHeight(FontHeightForSize(points, m_font.PixelsPerInch()));
    return scaled.ToQFont();
}

void TChartCanvas::Pixel2D(int x, int y, TColor color)
{
    if (QPainter* painter = PreparePainter(false, false))
        painter->fillRect(x, y, 1, 1, ToQColor(color));
}

void TChartCanvas::Arc2D(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (PreparePainter(true, false) != nullptr)
        DeviceArc(TRect { x1, y1, x2, y2 }.Normalized(), { x3, y3 }, { x4, y4 });
}

void TChartCanvas::Pie2D(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (PreparePainter(true, true) != nullptr)
        DevicePie(TRect { x1, y1, x2, y2 }.Normalized(), { x3, y3 }, { x4, y4 });
}

void TChartCanvas::Ellipse2D(int x1, int y1, int x2, int y2)
{
    if (PreparePainter(true, true) != nullptr)
        DeviceEllipse(TRect { x1, y1, x2, y2 }.Normalized());
}

MetafilePaintDevice* TChartCanvas::MetafileTarget() const
{
    return m_painter != nullptr ? dynamic_cast<MetafilePaintDevice*>(m_painter->device()) : nullptr;
}

void TChartCanvas::DeviceEllipse(const TRect& bounds)
{
    if (MetafilePaintDevice* metafile = MetafileTarget())
        metafile->Ellipse(*m_painter, OutlineRect(bounds));
    else
        m_painter->drawEllipse(OutlineRect(bounds));
}

void TChartCanvas::DevicePie(const TRect& bounds, QPoint start, QPoint end)
{
    const int start16 = EllipseAngle16(bounds, start);
    const int span16 = SpanAngle16(start16, EllipseAngle16(bounds, end));
    if (MetafilePaintDevice* metafile = MetafileTarget())
        metafile->Pie(*m_painter, OutlineRect(bounds), start16, span16);
    else
        m_painter->drawPie(OutlineRect(bounds), start16, span16);
}

void TChartCanvas::DeviceArc(const TRect& bounds, QPoint start, QPoint end)
{
    const int start16 = EllipseAngle16(bounds, start);
    const int span16 = SpanAngle16(start16, EllipseAngle16(bounds, end));
    if (MetafilePaintDevice* metafile = MetafileTarget())
        metafile->Arc(*m_painter, OutlineRect(bounds), start16, span16);
    else
        m_painter->drawArc(OutlineRect(bounds), start16, span16);
}

void TChartCanvas::DrawGraphic(int x, int y, const QImage& graphic)
{
    if (graphic.isNull())
        return;
    QPainter* painter = PreparePainter(false, false);
    if (painter == nullptr)
        return;
    // A two-colour bitmap takes the text colour for its 0 bits and the background for its 1 bits.
    m_backgroundColor = m_brush.Color();
    m_brushRealized = false;
    if (graphic.format() == QImage::Format_Mono || graphic.format() == QImage::Format_MonoLSB) {
        QImage tinted = graphic;
        tinted.setColorTable({ ToQColor(m_font.Color()).rgb(), ToQColor(m_backgroundColor).rgb() });
        painter->drawImage(QPoint(x, y), tinted);
        return;
    }
    painter->drawImage(QPoint(x, y), graphic);
}

void TChartCanvas::StretchGraphic(const TRect& rect, const QImage& graphic)
{
    if (graphic.isNull())
        return;
    if (QPainter* painter = PreparePainter(false, false))
        painter->drawImage(rect.Normalized().ToQRect(), graphic);
}

void TChartCanvas::FillRect2D(const TRect& rect)
{
    QPainter* painter = PreparePainter(false, true);
    if (painter == nullptr || m_brush.Style() == bsClear)
        return;
    const QRect area = rect.Normalized().ToQRect();
    if (m_backgroundMode == OPAQUE && m_brush.Style() != bsSolid && !m_brush.HasImage())
        painter->fillRect(area, ToQColor(m_backgroundColor));
    painter->fillRect(area, painter->brush());
}

void TChartCanvas::FillBackground(const TRect& rect) { FillRect2D(rect); }

void TChartCanvas::BevelFrame(TRect rect, TColor topColor, int width, TColor bottomColor)
{
    QPainter* painter = PreparePainter(false, false);
    if (painter == nullptr)
        return;
    const QColor top = ToQColor(topColor);
    const QColor bottom = ToQColor(bottomColor);
    for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
        painter->fillRect(rect.Left, rect.Top, rect.Width() - 1, 1, top);
        painter->fillRect(rect.Left, rect.Top, 1, rect.Height() - 1, top);
        painter->fillRect(rect.Right - 1, rect.Top, 1, rect.Height(), bottom);
        painter->fillRect(rect.Left, rect.Bottom - 1, rect.Width(), 1, bottom);
        rect = rect.Inflated(-1, -1);
    }
    m_pen.SetWidth(1);
}

void TChartCanvas::MoveTo2D(int x, int y) { m_penPosition = { x, y }; }

void TChartCanvas::LineTo2D(int x, int y)
{
    if (QPainter* painter = PreparePainter(true, false))
        painter->drawLine(m_penPosition, QPoint(x, y));
    m_penPosition = { x, y };
}

void TChartCanvas::Line2D(int x0, int y0, int x1, int y1)
{
    MoveTo2D(x0, y0);
    LineTo2D(x1, y1);
}

void TChartCanvas::HorizLine2D(int x0, int x1, int y) { Line2D(x0, y, x1, y); }

void TChartCanvas::VertLine2D(int x, int y0, int y1) { Line2D(x, y0, x, y1); }

void TChartCanvas::Rectangle2D(int x0, int y0, int x1, int y1)
{
    const TRect rect = TRect { x0, y0, x1, y1 }.Normalized();
    QPainter* painter = PreparePainter(true, true);
    if (painter == nullptr || rect.IsEmpty())
        return;
    if (painter->pen().style() == Qt::NoPen)
        painter->drawRect(rect.ToQRect());
    else
        painter->drawRect(OutlineRect(rect));
}

void TChartCanvas::Rect2D(const TRect& rect) { Rectangle2D(rect.Left, rect.Top, rect.Right, rect.Bottom); }

void TChartCanvas::RoundRect2D(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    const TRect rect = TRect { x1, y1, x2, y2 }.Normalized();
    if (QPainter* painter = PreparePainter(true, true))
        painter->drawRoundedRect(OutlineRect(rect), cornerWidth / 2.0, cornerHeight / 2.0);
}

void TChartCanvas::Polygon2D(std::span<const QPoint> points)
{
    if (points.empty())
        return;
    if (QPainter* painter = PreparePainter(true, true))
        painter->drawPolygon(points.data(), static_cast<int>(points.size()));
}

void TChartCanvas::ClipToRect(const TRect& rect)
{
    if (m_painter != nullptr)
        m_painter->setClipRect(rect.Normalized().ToQRect());
}

void TChartCanvas::RemoveClip()
{
    if (m_painter != nullptr)
        ClipToDevice(Qt::ReplaceClip);
}

} // namespace tarvo
