#include "MetafileWriter.h"

#include "MetafileError.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace tarvo
{

namespace
{

    // Record functions of the metafile format.
    enum : std::uint16_t {
        fnEof = 0x0000,
        fnSaveDc = 0x001E,
        fnSetBkMode = 0x0102,
        fnSetMapMode = 0x0103,
        fnSetPolyFillMode = 0x0106,
        fnRestoreDc = 0x0127,
        fnSelectObject = 0x012D,
        fnSetTextAlign = 0x012E,
        fnDeleteObject = 0x01F0,
        fnSetBkColor = 0x0201,
        fnSetTextColor = 0x0209,
        fnSetWindowOrg = 0x020B,
        fnSetWindowExt = 0x020C,
        fnLineTo = 0x0213,
        fnMoveTo = 0x0214,
        fnCreatePenIndirect = 0x02FA,
        fnCreateFontIndirect = 0x02FB,
        fnCreateBrushIndirect = 0x02FC,
        fnPolygon = 0x0324,
        fnPolyline = 0x0325,
        fnIntersectClipRect = 0x0416,
        fnEllipse = 0x0418,
        fnRectangle = 0x041B,
        fnSetPixel = 0x041F,
        fnTextOut = 0x0521,
        fnPolyPolygon = 0x0538,
        fnArc = 0x0817,
        fnPie = 0x081A,
        fnChord = 0x0830,
        fnExtTextOut = 0x0A32,
        fnStretchDib = 0x0F43,
    };

    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    constexpr std::uint32_t kSrcCopy = 0x00CC0020;
    constexpr std::uint16_t kEtoClipped = 0x0004;
    constexpr int kMaxPoints = 32767;

    void Put16(QByteArray& out, int value)
    {
        const auto v = static_cast<std::uint16_t>(value);
        out.append(static_cast<char>(v & 0xFF));
        out.append(static_cast<char>(v >> 8));
    }

    void Put32(QByteArray& out, std::uint32_t value)
    {
        Put16(out, static_cast<int>(value & 0xFFFF));
        Put16(out, static_cast<int>(value >> 16));
    }

    // Coordinates are 16-bit in the format; whatever lies further out is pinned to the edge.
    int Coord(int value) { return std::clamp(value, -32768, 32767); }

    void PutPoints(QByteArray& out, const QPolygon& points)
    {
        for (const QPoint& p : points) {
            Put16(out, Coord(p.x()));
            Put16(out, Coord(p.y()));
        }
    }

    void PutText(QByteArray& out, const QByteArray& text)
    {
        out.append(text);
        if (text.size() % 2 != 0)
            out.append('\0');
    }

    void CheckPointCount(qsizetype count)
    {
        if (count > kMaxPoints)
            throw MetafileError(
                QStringLiteral("A metafile polygon holds at most %1 points, not %2.").arg(kMaxPoints).arg(count));
    }

    void CheckTextLength(const QByteArray& text)
    {
        if (text.size() > kMaxPoints)
            throw MetafileError(QStringLiteral("A metafile text holds at most %1 characters.").arg(kMaxPoints));
    }

} // namespace

MetafileWriter::MetafileWriter(int widthPixels, int heightPixels, int dotsPerInch)
    : m_width(widthPixels)
    , m_height(heightPixels)
    , m_dotsPerInch(dotsPerInch)
{
    if (widthPixels < 1 || heightPixels < 1 || widthPixels > 32767 || heightPixels > 32767 || dotsPerInch < 1
        || dotsPerInch > 65535)
        throw MetafileError(QStringLiteral("A metafile of %1 × %2 pixels at %3 dpi cannot be made.")
                                .arg(widthPixels)
                                .arg(heightPixels)
                                .arg(dotsPerInch));
}

void MetafileWriter::Record(std::uint16_t function, const QByteArray& parameters)
{
    Q_ASSERT_X(parameters.size() % 2 == 0, "MetafileWriter::Record", "parameters must be whole 16-bit words");
    const auto words = static_cast<std::uint32_t>(3 + parameters.size() / 2);
    Put32(m_records, words);
    Put16(m_records, function);
    m_records.append(parameters);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
    ++m_recordCount;
}

void MetafileWriter::Words(std::uint16_t function, std::initializer_list<int> words)
{
    QByteArray parameters;
    for (const int w : words)
        Put16(parameters, w);
    Record(function, parameters);
}

void MetafileWriter::BoxRecord(std::uint16_t function, const MetafileBox& box, const std::vector<int>& prefix)
{
    QByteArray parameters;
    for (const int w : prefix)
        Put16(parameters, Coord(w));
    for (const int w : { box.bottom, box.right, box.top, box.left })
        Put16(parameters, Coord(w));
    Record(function, parameters);
}

void MetafileWriter::ColorRecord(std::uint16_t function, ColorRef color)
{
    QByteArray parameters;
    Put32(parameters, color);
    Record(function, parameters);
}

void MetafileWriter::ArcRecord(std::uint16_t function, const MetafileBox& box, QPoint start, QPoint end)
{
    BoxRecord(function, box, { end.y(), end.x(), start.y(), start.x() });
}

void MetafileWriter::PointsRecord(std::uint16_t function, const QPolygon& points)
{
    CheckPointCount(points.size());
    QByteArray parameters;
    Put16(parameters, static_cast<int>(points.size()));
    PutPoints(parameters, points);
    Record(function, parameters);
}

std::uint16_t MetafileWriter::TakeSlot()
{
    const auto free = std::find(m_slots.begin(), m_slots.end(), false);
    if (free != m_slots.end()) {
        *free = true;
        return static_cast<std::uint16_t>(free - m_slots.begin());
    }
    if (m_slots.size() >= 0xFFFF)
        throw MetafileError(QStringLiteral("The metafile's object table is full."));
    m_slots.push_back(true);
    return static_cast<std::uint16_t>(m_slots.size() - 1);
}

void MetafileWriter::CheckSlot(std::uint16_t slot, const char* what) const
{
    if (slot >= m_slots.size() || !m_slots[slot])
        throw MetafileError(
            QStringLiteral("%1 names the empty metafile object slot %2.").arg(QLatin1String(what)).arg(slot));
}

std::uint16_t MetafileWriter::CreatePen(const MetafilePen& pen)
{
    QByteArray p;
    Put16(p, pen.style);
    Put16(p, pen.width);
    Put16(p, 0);
    Put32(p, pen.color);
    Record(fnCreatePenIndirect, p);
    return TakeSlot();
}

std::uint16_t MetafileWriter::CreateBrush(const MetafileBrush& brush)
{
    QByteArray p;
    Put16(p, brush.style);
    Put32(p, brush.color);
    Put16(p, brush.hatch);
    Record(fnCreateBrushIndirect, p);
    return TakeSlot();
}

std::uint16_t MetafileWriter::CreateFont(const MetafileFont& font)
{
    QByteArray p;
    Put16(p, font.height);
    Put16(p, 0); // width: the font's own aspect
    Put16(p, font.escapement);
    Put16(p, font.escapement); // orientation follows the baseline
    Put16(p, font.weight);
    p.append(static_cast<char>(font.italic ? 1 : 0));
    p.append(static_cast<char>(font.underline ? 1 : 0));
    p.append(static_cast<char>(font.strikeOut ? 1 : 0));
    p.append('\0'); // ANSI character set
    p.append('\0'); // default output precision
    p.append('\0'); // default clip precision
    p.append('\0'); // default quality
    p.append('\0'); // default pitch and family
    QByteArray face = font.faceName.left(31);
    face.append('\0');
    PutText(p, face);
    Record(fnCreateFontIndirect, p);
    return TakeSlot();
}

void MetafileWriter::SelectObject(std::uint16_t slot)
{
    CheckSlot(slot, "SelectObject");
    Words(fnSelectObject, { slot });
}

void MetafileWriter::DeleteObject(std::uint16_t slot)
{
    CheckSlot(slot, "DeleteObject");
    Words(fnDeleteObject, { slot });
    m_slots[slot] = false;
}

int MetafileWriter::LiveObjectCount() const
{
    return static_cast<int>(std::count(m_slots.begin(), m_slots.end(), true));
}

void MetafileWriter::SetMapMode(std::uint16_t mode) { Words(fnSetMapMode, { mode }); }
void MetafileWriter::SetWindowOrg(QPoint origin) { Words(fnSetWindowOrg, { Coord(origin.y()), Coord(origin.x()) }); }
void MetafileWriter::SetWindowExt(int width, int height) { Words(fnSetWindowExt, { Coord(height), Coord(width) }); }
void MetafileWriter::SetBkMode(MetafileBkMode mode) { Words(fnSetBkMode, { mode }); }
void MetafileWriter::SetTextAlign(std::uint16_t align) { Words(fnSetTextAlign, { align }); }
void MetafileWriter::SetPolyFillMode(MetafilePolyFillMode mode) { Words(fnSetPolyFillMode, { mode }); }

void MetafileWriter::SetBkColor(ColorRef color) { ColorRecord(fnSetBkColor, color); }
void MetafileWriter::SetTextColor(ColorRef color) { ColorRecord(fnSetTextColor, color); }

void MetafileWriter::SaveDC()
{
    Record(fnSaveDc, {});
    ++m_saveDepth;
}

void MetafileWriter::RestoreDC()
{
    if (m_saveDepth == 0)
        throw MetafileError(QStringLiteral("RestoreDC without a saved metafile state."));
    Words(fnRestoreDc, { -1 });
    --m_saveDepth;
}

void MetafileWriter::IntersectClipRect(const MetafileBox& box) { BoxRecord(fnIntersectClipRect, box, {}); }

void MetafileWriter::MoveTo(QPoint point) { Words(fnMoveTo, { Coord(point.y()), Coord(point.x()) }); }
void MetafileWriter::LineTo(QPoint point) { Words(fnLineTo, { Coord(point.y()), Coord(point.x()) }); }

void MetafileWriter::SetPixel(QPoint point, ColorRef color)
{
    QByteArray p;
    Put32(p, color);
    Put16(p, Coord(point.y()));
    Put16(p, Coord(point.x()));
    Record(fnSetPixel, p);
}

void MetafileWriter::Rectangle(const MetafileBox& box) { BoxRecord(fnRectangle, box, {}); }
void MetafileWriter::Ellipse(const MetafileBox& box) { BoxRecord(fnEllipse, box, {}); }

void MetafileWriter::Arc(const MetafileBox& box, QPoint start, QPoint end) { ArcRecord(fnArc, box, start, end); }
void MetafileWriter::Pie(const MetafileBox& box, QPoint start, QPoint end) { ArcRecord(fnPie, box, start, end); }
void MetafileWriter::Chord(const MetafileBox& box, QPoint start, QPoint end) { ArcRecord(fnChord, box, start, end); }

void MetafileWriter::Polygon(const QPolygon& points) { PointsRecord(fnPolygon, points); }
void MetafileWriter::Polyline(const QPolygon& points) { PointsRecord(fnPolyline, points); }

void MetafileWriter::PolyPolygon(const std::vector<QPolygon>& polygons)
{
    qsizetype total = 0;
    for (const QPolygon& polygon : polygons)
        total += polygon.size();
    CheckPointCount(total);
    CheckPointCount(static_cast<qsizetype>(polygons.size()));
    QByteArray p;
    Put16(p, static_cast<int>(polygons.size()));
    for (const QPolygon& polygon : polygons)
        Put16(p, static_cast<int>(polygon.size()));
    for (const QPolygon& polygon : polygons)
        PutPoints(p, polygon);
    Record(fnPolyPolygon, p);
}

void MetafileWriter::TextOut(QPoint point, const QByteArray& text)
{
    CheckTextLength(text);
    QByteArray p;
    Put16(p, static_cast<int>(text.size()));
    PutText(p, text);
    Put16(p, Coord(point.y()));
    Put16(p, Coord(point.x()));
    Record(fnTextOut, p);
}

void MetafileWriter::ExtTextOut(QPoint point, const QByteArray& text, const MetafileBox* clipBox)
{
    CheckTextLength(text);
    QByteArray p;
    Put16(p, Coord(point.y()));
    Put16(p, Coord(point.x()));
    Put16(p, static_cast<int>(text.size()));
    Put16(p, clipBox ? kEtoClipped : 0);
    if (clipBox) {
        // Unlike every other record, the rectangle here is stored left, top, right, bottom.
        for (const int w : { clipBox->left, clipBox->top, clipBox->right, clipBox->bottom })
            Put16(p, Coord(w));
    }
    PutText(p, text);
    Record(fnExtTextOut, p);
}

void MetafileWriter::StretchDib(const MetafileBox& box, const QImage& image)
{
    if (image.isNull())
        return;
    QImage rgb = image.width() > 32767 || image.height() > 32767
        ? image.scaled(std::min(image.width(), 32767), std::min(image.height(), 32767))
        : image;
    if (rgb.hasAlphaChannel()) {
        QImage flat(rgb.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, rgb);
        painter.end();
        rgb = flat;
    }
    rgb = rgb.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = (width * 3 + 3) & ~3;

    QByteArray p;
    Put32(p, kSrcCopy);
    Put16(p, 0); // colours are RGB values, not palette indexes
    for (const int w : { height, width, 0, 0, box.bottom - box.top, box.right - box.left, box.top, box.left })
        Put16(p, Coord(w));
    // BITMAPINFOHEADER of a bottom-up 24-bit DIB.
    Put32(p, 40);
    Put32(p, static_cast<std::uint32_t>(width));
    Put32(p, static_cast<std::uint32_t>(height));
    Put16(p, 1);
    Put16(p, 24);
    Put32(p, 0);
    Put32(p, static_cast<std::uint32_t>(stride * height));
    for (int i = 0; i < 4; ++i)
        Put32(p, 0);
    for (int y = height - 1; y >= 0; --y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            p.append(static_cast<char>(line[3 * x + 2]));
            p.append(static_cast<char>(line[3 * x + 1]));
            p.append(static_cast<char>(line[3 * x]));
        }
        p.append(stride - width * 3, '\0');
    }
    Record(fnStretchDib, p);
}

QByteArray MetafileWriter::Bytes() const
{
    QByteArray out;
    // Placeable header: the picture's bounding box in logical units and their number per inch.
    Put32(out, kPlaceableKey);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, m_width);
    Put16(out, m_height);
    Put16(out, m_dotsPerInch);
    Put32(out, 0);
    std::uint16_t checksum = 0;
    for (qsizetype i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(static_cast<uchar>(out[i]) | static_cast<uchar>(out[i + 1]) << 8);
    Put16(out, checksum);

    // Metafile header; sizes count 16-bit words.
    const auto totalWords = static_cast<std::uint32_t>(9 + m_records.size() / 2 + 3);
    Put16(out, 1); // kept in memory, as the players expect of placeable files
    Put16(out, 9);
    Put16(out, 0x0300);
    Put32(out, totalWords);
    Put16(out, static_cast<int>(m_slots.size()));
    Put32(out, m_maxRecordWords);
    Put16(out, 0);

    out.append(m_records);
    Put32(out, 3);
    Put16(out, fnEof);
    return out;
}

} // namespace tarvo
