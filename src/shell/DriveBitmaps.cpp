#include "DriveBitmaps.h"

#include <QPainter>
#include <QPainterPath>

namespace tarvo
{

namespace
{

    const QColor kOutline(0x20, 0x20, 0x20);

    // A 3½-inch disk: dark body, metal shutter at the top, white label below.
    void Floppy(QPainter& p)
    {
        p.setPen(kOutline);
        p.setBrush(QColor(0x20, 0x30, 0x80));
        p.drawRect(QRectF(3.5, 0.5, 10, 10));
        p.setBrush(QColor(0xC0, 0xC0, 0xC8));
        p.drawRect(QRectF(6.5, 0.5, 4, 3));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 5.5, 7, 4.5));
    }

    // A fixed disk: a grey box seen from the front with a green light.
    void Hard(QPainter& p)
    {
        p.setPen(kOutline);
        p.setBrush(QColor(0xB0, 0xB0, 0xB0));
        p.drawRect(QRectF(0.5, 3.5, 15, 6));
        p.setPen(QColor(0x70, 0x70, 0x70));
        p.drawLine(QPointF(2, 6.5), QPointF(10, 6.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0xD0, 0x00));
        p.drawRect(QRectF(12, 5.5, 2, 2));
    }

    // A disk on a wire: the box smaller and higher, the cable running down to a bar.
    void Network(QPainter& p)
    {
        p.setPen(kOutline);
        p.setBrush(QColor(0xB0, 0xB0, 0xB0));
        p.drawRect(QRectF(2.5, 0.5, 11, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0xD0, 0x00));
        p.drawRect(QRectF(10, 2.5, 2, 1.5));
        p.setPen(QPen(QColor(0x00, 0x40, 0xC0), 1));
        p.drawLine(QPointF(8, 6), QPointF(8, 9.5));
        p.drawLine(QPointF(1, 9.5), QPointF(15, 9.5));
    }

    // An optical disc: silver ring round a hole.
    void Cdrom(QPainter& p)
    {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(0xD8, 0xD8, 0xE8));
        p.drawEllipse(QPointF(8, 5.5), 5.1, 5.1);
        p.setBrush(QColor(0x90, 0xA0, 0xE0));
        p.drawEllipse(QPointF(8, 5.5), 2.6, 2.6);
        QPainterPath hole;
        hole.addEllipse(QPointF(8, 5.5), 1.0, 1.0);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillPath(hole, Qt::transparent);
    }

    // A memory chip: black body with pins above and below.
    void Ram(QPainter& p)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0xA0, 0x20));
        for (int pin = 0; pin < 6; ++pin) {
            p.drawRect(QRectF(2 + pin * 2.2, 0, 1.2, 2));
            p.drawRect(QRectF(2 + pin * 2.2, 9, 1.2, 2));
        }
        p.setPen(kOutline);
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawRect(QRectF(0.5, 2.5, 15, 6));
    }

} // namespace

QPixmap DriveBitmap(std::string_view name, qreal devicePixelRatio)
{
    void (*draw)(QPainter&) = nullptr;
    if (name == "FLOPPY")
        draw = Floppy;
    else if (name == "HARD")
        draw = Hard;
    else if (name == "NETWORK")
        draw = Network;
    else if (name == "CDROM")
        draw = Cdrom;
    else if (name == "RAM")
        draw = Ram;
    if (draw == nullptr)
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QPixmap pixmap(qRound(kDriveBitmapWidth * ratio), qRound(kDriveBitmapHeight * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter);
    return pixmap;
}

const char* DriveBitmapName(VolumeKind kind)
{
    switch (kind) {
    case VolumeKind::vkRemovable:
        return "FLOPPY";
    case VolumeKind::vkFixed:
        return "HARD";
    case VolumeKind::vkRemote:
        return "NETWORK";
    case VolumeKind::vkCdrom:
        return "CDROM";
    case VolumeKind::vkRam:
        return "RAM";
    }
    return "HARD";
}

} // namespace tarvo
