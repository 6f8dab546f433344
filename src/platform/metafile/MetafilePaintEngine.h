#pragma once

// Turns what QPainter draws into metafile records: rectangles, ellipses, polygons and lines stay
// what they are (not bitmaps, not curves cut into pixels), so other programs can edit them.
// The painter's pen, brush, background and clip are read before every primitive and only their
// changes are written; the painter's transform is applied to the coordinates, and a rotation
// turns text through the font's escapement.

#include "MetafileRecorder.h"

#include <QPaintEngine>
#include <QTransform>

namespace tarvo
{

class MetafilePaintEngine : public QPaintEngine
{
public:
    MetafilePaintEngine(MetafileRecorder& recorder, int dotsPerInch);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    [[nodiscard]] Type type() const override;

    void drawRects(const QRect* rects, int rectCount) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawLines(const QLine* lines, int lineCount) override;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawEllipse(const QRect& rect) override;
    void drawEllipse(const QRectF& rect) override;
    void drawPath(const QPainterPath& path) override;
    void drawPoints(const QPoint* points, int pointCount) override;
    void drawPoints(const QPointF* points, int pointCount) override;
    void drawPolygon(const QPoint* points, int pointCount, PolygonDrawMode mode) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawTextItem(const QPointF& baseline, const QTextItem& textItem) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
        Qt::ImageConversionFlags flags = Qt::AutoColor) override;

    // The direct primitives of MetafilePaintDevice; angles in 1/16 degree, counter-clockwise
    // from 3 o'clock, as QPainter::drawPie takes them.
    enum class Curve { Arc, Pie, Chord };
    void DrawCurve(Curve curve, const QRectF& rect, int startAngle16, int spanAngle16);
    void DrawText(const QPointF& point, const QString& text, double angleDegrees, std::uint16_t align);

private:
    // Brings pen, background and clip (and the brush when filling) in line with the painter.
    void Sync(bool filling);
    [[nodiscard]] bool AxisAligned() const;
    [[nodiscard]] QPoint Map(const QPointF& point) const;
    [[nodiscard]] QPolygon Map(const QPolygonF& polygon) const;
    // The rectangle as a box record covers the pixels QPainter fills and outlines.
    [[nodiscard]] MetafileBox MapBox(const QRectF& rect) const;
    void FillAndStroke(const std::vector<QPolygon>& polygons, Qt::FillRule rule, bool allClosed);

    MetafileRecorder& m_recorder;
    int m_dotsPerInch;
    QTransform m_transform;
    bool m_clipDirty = true;
};

} // namespace tarvo
