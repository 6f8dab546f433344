#include "MetafilePaintEngine.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>

#include <cmath>
#include <numbers>

namespace tarvo
{

namespace
{

    bool Near(const QPointF& a, const QPointF& b, double tolerance)
    {
        return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
    }

    // QPainterPath::addEllipse makes a move and four quarter curves through the ellipse's
    // right, top, left and bottom points; such a path becomes one Ellipse record.
    bool IsEllipse(const QPainterPath& path, QRectF& rect)
    {
        if (path.elementCount() != 13 || !path.elementAt(0).isMoveTo())
            return false;
        for (int i = 1; i < 13; i += 3)
            if (!path.elementAt(i).isCurveTo())
                return false;
        rect = path.boundingRect();
        const double tolerance = 1e-6 * std::max({ 1.0, rect.width(), rect.height() });
        const QPointF c = rect.center();
        const QPointF right(rect.right(), c.y()), left(rect.left(), c.y());
        const QPointF top(c.x(), rect.top()), bottom(c.x(), rect.bottom());
        auto at = [&path](int i) { return QPointF(path.elementAt(i)); };
        return Near(at(0), right, tolerance) && Near(at(12), right, tolerance) && Near(at(6), left, tolerance)
            && ((Near(at(3), top, tolerance) && Near(at(9), bottom, tolerance))
                || (Near(at(3), bottom, tolerance) && Near(at(9), top, tolerance)));
    }

    QRectF Normalised(const QRectF& rect) { return rect.normalized(); }

} // namespace

MetafilePaintEngine::MetafilePaintEngine(MetafileRecorder& recorder, int dotsPerInch)
    : QPaintEngine(AllFeatures) // nothing is emulated: what cannot be recorded is approximated here
    , m_recorder(recorder)
    , m_dotsPerInch(dotsPerInch)
{
}

bool MetafilePaintEngine::begin(QPaintDevice* /*device*/)
{
    m_clipDirty = true;
    return true;
}

bool MetafilePaintEngine::end()
{
    m_recorder.Finish();
    return true;
}

void MetafilePaintEngine::updateState(const QPaintEngineState& state)
{
    // The values themselves are read from the painter before each primitive, because the direct
    // primitives come without a state update; only the clip is costly enough to track.
    if (state.state() & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled | DirtyTransform))
        m_clipDirty = true;
}

QPaintEngine::Type MetafilePaintEngine::type() const { return QPaintEngine::User; }

void MetafilePaintEngine::Sync(bool filling)
{
    const QPainter& painter = *this->painter();
    m_transform = painter.deviceTransform();
    // The clip goes first: changing it restores a saved state, and with it the pen, brush and
    // settings that were selected then, which the calls below must bring back in line.
    if (m_clipDirty) {
        std::optional<MetafileBox> clip;
        if (painter.hasClipping()) {
            const QRectF r = m_transform.mapRect(painter.clipBoundingRect());
            clip = MetafileBox { static_cast<int>(std::lround(r.left())), static_cast<int>(std::lround(r.top())),
                static_cast<int>(std::lround(r.right())), static_cast<int>(std::lround(r.bottom())) };
        }
        m_recorder.UseClip(clip);
        m_clipDirty = false;
    }
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    m_recorder.UsePen(PenFromQt(painter.pen(), scale));
    if (filling)
        m_recorder.UseBrush(BrushFromQt(painter.brush()));
    const bool opaque = painter.backgroundMode() == Qt::OpaqueMode;
    m_recorder.UseBkMode(opaque ? mbmOpaque : mbmTransparent);
    if (opaque)
        m_recorder.UseBkColor(ToColorRef(painter.background().color()));
}

bool MetafilePaintEngine::AxisAligned() const { return m_transform.type() <= QTransform::TxScale; }

QPoint MetafilePaintEngine::Map(const QPointF& point) const
{
    const QPointF p = m_transform.map(point);
    return { static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())) };
}

QPolygon MetafilePaintEngine::Map(const QPolygonF& polygon) const
{
    QPolygon result;
    result.reserve(polygon.size());
    for (const QPointF& p : polygon)
        result.append(Map(p));
    return result;
}

MetafileBox MetafilePaintEngine::MapBox(const QRectF& rect) const
{
    const QRectF r = m_transform.mapRect(Normalised(rect));
    // Box records leave out the right and bottom edge; QPainter's outline covers them.
    return { static_cast<int>(std::lround(r.left())), static_cast<int>(std::lround(r.top())),
        static_cast<int>(std::lround(r.right())) + 1, static_cast<int>(std::lround(r.bottom())) + 1 };
}

void MetafilePaintEngine::drawRects(const QRect* rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        const QRectF r(rects[i]);
        drawRects(&r, 1);
    }
}

void MetafilePaintEngine::drawRects(const QRectF* rects, int rectCount)
{
    Sync(true);
    for (int i = 0; i < rectCount; ++i) {
        if (AxisAligned())
            m_recorder.Writer().Rectangle(MapBox(rects[i]));
        else
            m_recorder.Writer().Polygon(Map(QPolygonF(rects[i])));
    }
}

void MetafilePaintEngine::drawLines(const QLine* lines, int lineCount)
{
    for (int i = 0; i < lineCount; ++i) {
        const QLineF line(lines[i]);
        drawLines(&line, 1);
    }
}

void MetafilePaintEngine::drawLines(const QLineF* lines, int lineCount)
{
    Sync(false);
    for (int i = 0; i < lineCount; ++i) {
        m_recorder.Writer().MoveTo(Map(lines[i].p1()));
        m_recorder.Writer().LineTo(Map(lines[i].p2()));
    }
}

void MetafilePaintEngine::drawEllipse(const QRect& rect) { drawEllipse(QRectF(rect)); }

void MetafilePaintEngine::drawEllipse(const QRectF& rect)
{
    Sync(true);
    if (AxisAligned()) {
        m_recorder.Writer().Ellipse(MapBox(rect));
        return;
    }
    QPainterPath path;
    path.addEllipse(rect);
    drawPath(path);
}

void MetafilePaintEngine::drawPath(const QPainterPath& path)
{
    Sync(true);
    QRectF ellipse;
    if (AxisAligned() && IsEllipse(path, ellipse)) {
        m_recorder.Writer().Ellipse(MapBox(ellipse));
        return;
    }
    std::vector<QPolygon> polygons;
    bool allClosed = true;
    for (const QPolygonF& subpath : path.toSubpathPolygons(m_transform)) {
        if (subpath.size() < 2)
            continue;
        allClosed = allClosed && subpath.isClosed();
        QPolygon points;
        points.reserve(subpath.size());
        for (const QPointF& p : subpath)
            points.append(QPoint(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y()))));
        polygons.push_back(points);
    }
    FillAndStroke(polygons, path.fillRule(), allClosed);
}

void MetafilePaintEngine::FillAndStroke(const std::vector<QPolygon>& polygons, Qt::FillRule rule, bool allClosed)
{
    if (polygons.empty())
        return;
    MetafileWriter& writer = m_recorder.Writer();
    const bool fill = BrushFromQt(painter()->brush()).style != mbsNull;
    if (!fill) {
        for (const QPolygon& polygon : polygons)
            writer.Polyline(polygon);
        return;
    }
    m_recorder.UsePolyFillMode(rule == Qt::WindingFill ? mpfWinding : mpfAlternate);
    const MetafilePen pen = PenFromQt(painter()->pen(), std::sqrt(std::abs(m_transform.determinant())));
    // Polygon records close their outline; an open subpath is filled without a pen and then
    // stroked as the open line it is.
    const bool strokeApart = !allClosed && pen.style != mpsNull;
    if (strokeApart)
        m_recorder.UsePen({ mpsNull, 0, 0 });
    if (polygons.size() == 1)
        writer.Polygon(polygons.front());
    else
        writer.PolyPolygon(polygons);
    if (strokeApart) {
        m_recorder.UsePen(pen);
        for (const QPolygon& polygon : polygons)
            writer.Polyline(polygon);
    }
}

void MetafilePaintEngine::drawPoints(const QPoint* points, int pointCount)
{
    for (int i = 0; i < pointCount; ++i) {
        const QPointF p(points[i]);
        drawPoints(&p, 1);
    }
}

void MetafilePaintEngine::drawPoints(const QPointF* points, int pointCount)
{
    Sync(false);
    const QPen& qtPen = painter()->pen();
    const MetafilePen pen = PenFromQt(qtPen, std::sqrt(std::abs(m_transform.determinant())));
    if (pen.style == mpsNull)
        return;
    MetafileWriter& writer = m_recorder.Writer();
    if (pen.width <= 1) {
        for (int i = 0; i < pointCount; ++i)
            writer.SetPixel(Map(points[i]), pen.color);
        return;
    }
    // A wide point is a dot of the pen's width: round for round caps, square otherwise.
    m_recorder.UsePen({ mpsNull, 0, 0 });
    m_recorder.UseBrush({ mbsSolid, pen.color, 0 });
    const int half = pen.width / 2;
    for (int i = 0; i < pointCount; ++i) {
        const QPoint c = Map(points[i]);
        const MetafileBox box { c.x() - half, c.y() - half, c.x() - half + pen.width + 1,
            c.y() - half + pen.width + 1 };
        if (qtPen.capStyle() == Qt::RoundCap)
            writer.Ellipse(box);
        else
            writer.Rectangle(box);
    }
}

void MetafilePaintEngine::drawPolygon(const QPoint* points, int pointCount, PolygonDrawMode mode)
{
    QPolygonF polygon;
    polygon.reserve(pointCount);
    for (int i = 0; i < pointCount; ++i)
        polygon.append(QPointF(points[i]));
    drawPolygon(polygon.constData(), pointCount, mode);
}

void MetafilePaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode)
{
    if (pointCount < 2)
        return;
    Sync(mode != PolylineMode);
    QPolygon mapped;
    mapped.reserve(pointCount);
    for (int i = 0; i < pointCount; ++i)
        mapped.append(Map(points[i]));
    if (mode == PolylineMode) {
        m_recorder.Writer().Polyline(mapped);
        return;
    }
    m_recorder.UsePolyFillMode(mode == WindingMode ? mpfWinding : mpfAlternate);
    m_recorder.Writer().Polygon(mapped);
}

void MetafilePaintEngine::drawTextItem(const QPointF& baseline, const QTextItem& textItem)
{
    Sync(false);
    // QPainter draws underline and strike-out as lines of their own, so the font leaves them out.
    QFont font = textItem.font();
    font.setUnderline(false);
    font.setStrikeOut(false);
    const double angle = std::atan2(m_transform.m12(), m_transform.m11()) * 180 / std::numbers::pi;
    const double scale = std::hypot(m_transform.m21(), m_transform.m22());
    m_recorder.UseFont(FontFromQt(font, scale, -angle, m_dotsPerInch));
    m_recorder.UseTextColor(ToColorRef(painter()->pen().color()));
    m_recorder.UseBkMode(mbmTransparent); // QPainter paints an opaque background itself
    m_recorder.UseTextAlign(mtaBaseline | mtaLeft);
    m_recorder.Writer().ExtTextOut(Map(baseline), MetafileText(textItem.text()));
}

void MetafilePaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source)
{
    drawImage(target, pixmap.toImage(), source);
}

void MetafilePaintEngine::drawImage(
    const QRectF& target, const QImage& image, const QRectF& source, Qt::ImageConversionFlags /*flags*/)
{
    Sync(false);
    const QRectF r = m_transform.mapRect(Normalised(target));
    const MetafileBox box { static_cast<int>(std::lround(r.left())), static_cast<int>(std::lround(r.top())),
        static_cast<int>(std::lround(r.right())), static_cast<int>(std::lround(r.bottom())) };
    const QRect part = source.toAlignedRect() & image.rect();
    m_recorder.Writer().StretchDib(box, part == image.rect() ? image : image.copy(part));
}

void MetafilePaintEngine::DrawCurve(Curve curve, const QRectF& rect, int startAngle16, int spanAngle16)
{
    if (spanAngle16 == 0)
        return;
    Sync(curve != Curve::Arc);
    if (!AxisAligned()) {
        // Rotated: the curve's own record cannot turn, so it goes as a path.
        const QRectF r = Normalised(rect);
        QPainterPath path;
        if (curve == Curve::Pie)
            path.moveTo(r.center());
        path.arcMoveTo(r, startAngle16 / 16.0);
        if (curve == Curve::Pie)
            path.lineTo(path.currentPosition());
        path.arcTo(r, startAngle16 / 16.0, spanAngle16 / 16.0);
        if (curve != Curve::Arc)
            path.closeSubpath();
        drawPath(path);
        return;
    }
    const QRectF r = Normalised(rect);
    const QPointF c = r.center();
    // The records take two points on the rays that bound the curve. They are the points on the
    // ellipse itself: libwmf sizes the picture by every coordinate it reads, these included.
    auto ray = [&](int angle16) {
        const double a = angle16 / 16.0 * std::numbers::pi / 180;
        return Map(QPointF(c.x() + r.width() / 2 * std::cos(a), c.y() - r.height() / 2 * std::sin(a)));
    };
    const bool fullTurn = std::abs(spanAngle16) >= 360 * 16;
    int from = startAngle16;
    int to = fullTurn ? startAngle16 : startAngle16 + spanAngle16;
    // The records run counter-clockwise on the page; a clockwise span or a mirroring transform
    // reverses the ends.
    if ((spanAngle16 < 0) != (m_transform.determinant() < 0))
        std::swap(from, to);
    const MetafileBox box = MapBox(r);
    switch (curve) {
    case Curve::Arc:
        m_recorder.Writer().Arc(box, ray(from), ray(to));
        break;
    case Curve::Pie:
        m_recorder.Writer().Pie(box, ray(from), ray(to));
        break;
    case Curve::Chord:
        m_recorder.Writer().Chord(box, ray(from), ray(to));
        break;
    }
}

void MetafilePaintEngine::DrawText(const QPointF& point, const QString& text, double angleDegrees, std::uint16_t align)
{
    Sync(false);
    const double rotation = std::atan2(m_transform.m12(), m_transform.m11()) * 180 / std::numbers::pi;
    const double scale = std::hypot(m_transform.m21(), m_transform.m22());
    m_recorder.UseFont(FontFromQt(painter()->font(), scale, angleDegrees - rotation, m_dotsPerInch));
    m_recorder.UseTextColor(ToColorRef(painter()->pen().color()));
    m_recorder.UseTextAlign(align);
    m_recorder.Writer().ExtTextOut(Map(point), MetafileText(text));
}

} // namespace tarvo
