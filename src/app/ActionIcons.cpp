#include "ActionIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>

#include <array>
#include <initializer_list>

namespace tarvo
{

namespace
{

    // Every picture is drawn on a 32 x 32 grid and scaled to the size asked for, so the small
    // versions are the same drawing, not separate artwork. Outlines are one device pixel wide
    // at every size.
    constexpr double kGrid = 32.0;

    const QColor kOutline(0x20, 0x20, 0x20);
    const QColor kBlue(0x2F, 0x6F, 0xD0);
    const QColor kGreen(0x2E, 0xA0, 0x43);

    QPen OutlinePen(const QColor& colour = kOutline)
    {
        QPen pen(colour, 1.0);
        pen.setCosmetic(true);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }

    // A thick stroke in grid units, for marks drawn as lines ("?", the rotation arc).
    QPen StrokePen(const QColor& colour, double width)
    {
        QPen pen(colour, width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }

    void Shape(QPainter& painter, const QPolygonF& polygon, const QColor& fill)
    {
        painter.setPen(OutlinePen());
        painter.setBrush(fill);
        painter.drawPolygon(polygon);
    }

    void DrawUp(QPainter& painter)
    {
        Shape(painter, QPolygonF({ { 16, 3 }, { 29, 16 }, { 21, 16 }, { 21, 29 }, { 11, 29 }, { 11, 16 }, { 3, 16 } }),
            kBlue);
    }

    void DrawRun(QPainter& painter) { Shape(painter, QPolygonF({ { 8, 4 }, { 28, 16 }, { 8, 28 } }), kGreen); }

    void DrawRoundSign(QPainter& painter)
    {
        painter.setPen(OutlinePen());
        painter.setBrush(kBlue);
        painter.drawEllipse(QRectF(2, 2, 28, 28));
    }

    void DrawAbout(QPainter& painter)
    {
        DrawRoundSign(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(16, 8.5), 2.6, 2.6);
        painter.drawRoundedRect(QRectF(13.5, 13, 5, 13), 1, 1);
    }

    void DrawHelp(QPainter& painter)
    {
        DrawRoundSign(painter);
        QPainterPath hook;
        hook.arcMoveTo(QRectF(10.5, 6, 11, 11), 160);
        hook.arcTo(QRectF(10.5, 6, 11, 11), 160, -250);
        hook.lineTo(16, 20);
        painter.setPen(StrokePen(Qt::white, 3.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(hook);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(16, 25), 2.3, 2.3);
    }

    void DrawRotate(QPainter& painter)
    {
        // Angles in degrees, 0 at 3 o'clock, counter-clockwise; the arrow runs counter-clockwise.
        const QPointF centre(16, 16);
        const double radius = 10;
        const double startDegrees = 40;
        const double spanDegrees = 280;
        QPainterPath arc;
        const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        arc.arcMoveTo(circle, startDegrees);
        arc.arcTo(circle, startDegrees, spanDegrees);
        const QColor teal(0x1D, 0x7F, 0x8C);
        painter.setPen(StrokePen(teal, 3.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arc);

        const double end = qDegreesToRadians(startDegrees + spanDegrees);
        const QPointF onCircle = centre + radius * QPointF(qCos(end), -qSin(end));
        const QPointF ahead(-qSin(end), -qCos(end)); // direction of travel on screen
        const QPointF outward(qCos(end), -qSin(end));
        Shape(painter, QPolygonF({ onCircle + 6 * ahead, onCircle + 5 * outward, onCircle - 5 * outward }), teal);
    }

    void Draw3D(QPainter& painter)
    {
        Shape(painter, QPolygonF({ { 4, 12 }, { 12, 4 }, { 28, 4 }, { 20, 12 } }), QColor(0x9C, 0xC7, 0xF0));
        Shape(painter, QPolygonF({ { 20, 12 }, { 28, 4 }, { 28, 20 }, { 20, 28 } }), QColor(0x2C, 0x5F, 0x9E));
        Shape(painter, QPolygonF(QRectF(4, 12, 16, 16)), QColor(0x4A, 0x90, 0xD9));
    }

    void DrawPrint(QPainter& painter)
    {
        painter.setPen(OutlinePen());
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(9, 3, 14, 11));
        painter.setBrush(QColor(0xA8, 0xA8, 0xA8));
        painter.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(8, 20, 16, 9));
        painter.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
        painter.drawLine(QPointF(11, 26), QPointF(19, 26));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGreen);
        painter.drawEllipse(QPointF(25, 16), 1.5, 1.5);
    }

    void DrawSave(QPainter& painter)
    {
        Shape(painter, QPolygonF({ { 3, 3 }, { 25, 3 }, { 29, 7 }, { 29, 29 }, { 3, 29 } }), QColor(0x2B, 0x4C, 0x9B));
        painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
        painter.drawRect(QRectF(9, 3, 13, 9));
        painter.setBrush(kOutline);
        painter.drawRect(QRectF(17, 5, 3, 5));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(7, 16, 18, 13));
        painter.drawLine(QPointF(10, 20), QPointF(22, 20));
        painter.drawLine(QPointF(10, 24), QPointF(22, 24));
    }

    struct Slice {
        double startDegrees;
        double spanDegrees;
        QColor fill;
    };

    // A pie of slices; the slice `exploded` (if any) is moved out along its middle by `offset`.
    void DrawPie(QPainter& painter, const QRectF& circle, std::initializer_list<Slice> slices, int exploded = -1,
        double offset = 0)
    {
        int index = 0;
        for (const Slice& slice : slices) {
            QRectF where = circle;
            if (index++ == exploded) {
                const double middle = qDegreesToRadians(slice.startDegrees + slice.spanDegrees / 2);
                where.translate(offset * qCos(middle), -offset * qSin(middle));
            }
            painter.setPen(OutlinePen());
            painter.setBrush(slice.fill);
            painter.drawPie(where, qRound(slice.startDegrees * 16), qRound(slice.spanDegrees * 16));
        }
    }

    void DrawFreeSpace(QPainter& painter)
    {
        const QRectF circle(3, 3, 26, 26);
        DrawPie(painter, circle,
            { { 80, 130, QColor(0xD9, 0x3B, 0x3B) }, { 210, 100, kBlue }, { 310, 50, QColor(0xF2, 0xC2, 0x2E) } });
        // The free space: an empty slice with a bright rim.
        QPen rim = StrokePen(QColor(0x00, 0xB0, 0x50), 2.0);
        painter.setPen(rim);
        painter.setBrush(Qt::white);
        painter.drawPie(circle.adjusted(1, 1, -1, -1), 0, 80 * 16);
    }

    void DrawApplication(QPainter& painter)
    {
        DrawPie(painter, QRectF(4, 5, 24, 24),
            { { 100, 140, QColor(0xD9, 0x3B, 0x3B) }, { 240, 90, kBlue }, { 330, 60, QColor(0xF2, 0xC2, 0x2E) },
                { 30, 70, kGreen } },
            3, 3.5);
    }

    using Drawing = void (*)(QPainter&);

    QIcon MakeIcon(Drawing draw, std::initializer_list<int> sizes)
    {
        QIcon icon;
        for (const int size : sizes) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / kGrid, size / kGrid);
            draw(painter);
            painter.end();
            icon.addPixmap(QPixmap::fromImage(image));
        }
        return icon;
    }

} // namespace

QIcon ActionIcon(ActionImage image)
{
    static constexpr std::array<Drawing, aiCount> kDrawings
        = { DrawUp, DrawRun, DrawAbout, DrawHelp, DrawRotate, Draw3D, DrawPrint, DrawSave, DrawFreeSpace };
    if (image < 0 || image >= aiCount) {
        return {}; // no picture rather than someone else's
    }
    return MakeIcon(kDrawings[static_cast<std::size_t>(image)], { 16, 24, 32 });
}

QIcon ApplicationIcon()
{
    // Larger sizes too: the desktop's menus and task switchers ask for 48 to 256 pixels.
    return MakeIcon(DrawApplication, { 16, 24, 32, 48, 64, 128, 256 });
}

} // namespace tarvo
