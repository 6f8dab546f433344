#include "AboutPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cstdint>

namespace tarvo
{

namespace
{

    constexpr int kTile = 100;

    const QColor kOutline(0x30, 0x2A, 0x22);
    const QColor kBlue(0x2F, 0x6F, 0xD0);
    const QColor kGreen(0x2E, 0xA0, 0x43);
    const QColor kRoof(0xB8, 0x3A, 0x2E);

    // Integer noise from a coordinate: the same value for the same pixel on every run.
    int Noise(int x, int y)
    {
        std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393U + static_cast<std::uint32_t>(y) * 668265263U;
        h = (h ^ (h >> 13)) * 1274126177U;
        return static_cast<int>((h ^ (h >> 16)) & 0xFF) - 128;
    }

    // Sines with whole periods per tile, so the picture wraps at its edges.
    double Wave(double cyclesX, double cyclesY, double x, double y, double phase = 0)
    {
        return qSin(2 * M_PI * (cyclesX * x + cyclesY * y) / kTile + phase);
    }

    QPen Outline(double width = 1.5)
    {
        QPen pen(kOutline, width);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        return pen;
    }

    // Glyphs are drawn on a grid of their own size in logical pixels.
    void DrawMail(QPainter& painter, const QSizeF& size)
    {
        const QRectF letter(3, 6, size.width() - 6, size.height() - 12);
        painter.setPen(Outline());
        painter.setBrush(QColor(0xFA, 0xF6, 0xE8));
        painter.drawRect(letter);
        painter.setBrush(QColor(0xE6, 0xDC, 0xC0));
        painter.drawPolygon(QPolygonF({ letter.topLeft(), letter.topRight(), letter.center() + QPointF(0, 2) }));
        painter.drawLine(letter.bottomLeft(), letter.center() - QPointF(3, -1));
        painter.drawLine(letter.bottomRight(), letter.center() + QPointF(3, 1));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kRoof);
        painter.drawRect(QRectF(letter.right() - 8, letter.top() + 3, 5, 6)); // the stamp
    }

    void DrawHouse(QPainter& painter, const QSizeF& size)
    {
        const double w = size.width();
        const double h = size.height();
        painter.setPen(Outline());
        painter.setBrush(QColor(0xF2, 0xE3, 0xB6));
        painter.drawRect(QRectF(w * 0.22, h * 0.45, w * 0.56, h * 0.45));
        painter.setBrush(kRoof);
        painter.drawPolygon(QPolygonF({ { w * 0.1, h * 0.5 }, { w * 0.5, h * 0.1 }, { w * 0.9, h * 0.5 } }));
        painter.setBrush(kBlue);
        painter.drawRect(QRectF(w * 0.43, h * 0.62, w * 0.16, h * 0.28)); // the door
    }

    void DrawDownloads(QPainter& painter, const QSizeF& size)
    {
        const double w = size.width();
        const double h = size.height();
        painter.setPen(Outline());
        painter.setBrush(QColor(0xA8, 0xA8, 0xA8));
        painter.drawRoundedRect(QRectF(w * 0.12, h * 0.7, w * 0.76, h * 0.2), 2, 2); // the tray
        painter.setBrush(kGreen);
        painter.drawPolygon(QPolygonF({ { w * 0.4, h * 0.08 }, { w * 0.6, h * 0.08 }, { w * 0.6, h * 0.4 },
            { w * 0.78, h * 0.4 }, { w * 0.5, h * 0.72 }, { w * 0.22, h * 0.4 }, { w * 0.4, h * 0.4 } }));
    }

    // A globe with the maker's name beside it.
    void DrawUpdates(QPainter& painter, const QSizeF& size)
    {
        const double d = size.height() - 4;
        const QRectF globe(2, 2, d, d);
        QRadialGradient sea(globe.center() - QPointF(d / 5, d / 5), d * 0.7);
        sea.setColorAt(0, QColor(0x8F, 0xC6, 0xF5));
        sea.setColorAt(1, kBlue);
        painter.setPen(Outline(1.2));
        painter.setBrush(sea);
        painter.drawEllipse(globe);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(globe.adjusted(d * 0.3, 0, -d * 0.3, 0));
        painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(qRound(size.height() * 0.5));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(kOutline);
        painter.drawText(QRectF(globe.right() + 3, 0, size.width() - globe.right() - 3, size.height()),
            Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Oskavel"));
    }

    void DrawClose(QPainter& painter, const QSizeF& size)
    {
        const double w = size.width();
        const double h = size.height();
        painter.setPen(Outline());
        painter.setBrush(kGreen);
        painter.drawEllipse(QRectF(1, 1, w - 2, h - 2));
        QPen tick(Qt::white, std::max(2.0, w / 7));
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        painter.setPen(tick);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({ { w * 0.27, h * 0.52 }, { w * 0.44, h * 0.7 }, { w * 0.74, h * 0.32 } }));
    }

    using Drawing = void (*)(QPainter&, const QSizeF&);

    Drawing DrawingOf(AboutGlyph glyph)
    {
        switch (glyph) {
        case AboutGlyph::agMail:
            return DrawMail;
        case AboutGlyph::agHomePages:
            return DrawHouse;
        case AboutGlyph::agDownloads:
            return DrawDownloads;
        case AboutGlyph::agUpdates:
            return DrawUpdates;
        case AboutGlyph::agClose:
            return DrawClose;
        }
        return DrawClose;
    }

} // namespace

QImage AboutBackground()
{
    // Pale parchment with soft diagonal veins and a fine grain: light enough for black text.
    QImage image(kTile, kTile, QImage::Format_RGB888);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double veins = Wave(2, 1, x, y, 1.8 * Wave(0, 3, x, y)) + 0.5 * Wave(-1, 3, x, y, 0.7);
            const double grain = Noise(x, y) / 128.0;
            const double shade = 9.0 * veins + 4.0 * grain;
            const auto channel
                = [shade](int base, double weight) { return std::clamp(qRound(base + weight * shade), 0, 255); };
            image.setPixelColor(x, y, QColor(channel(238, 1.0), channel(230, 1.1), channel(208, 1.4)));
        }
    }
    return image;
}

QSize AboutGlyphSize(AboutGlyph glyph)
{
    switch (glyph) {
    case AboutGlyph::agMail:
        return { 34, 28 };
    case AboutGlyph::agHomePages:
    case AboutGlyph::agDownloads:
        return { 30, 30 };
    case AboutGlyph::agUpdates:
        return { 80, 26 };
    case AboutGlyph::agClose:
        return { 22, 22 };
    }
    return { 22, 22 };
}

QIcon AboutGlyphIcon(AboutGlyph glyph)
{
    const QSize size = AboutGlyphSize(glyph);
    QIcon icon;
    for (const int scale : { 1, 2 }) {
        QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        DrawingOf(glyph)(painter, QSizeF(size));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace tarvo
