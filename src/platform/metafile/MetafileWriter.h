#pragma once

// The record level of a placeable Windows metafile (the non-enhanced .wmf format): records in
// the order they are written, the object table, and the file bytes with the 22-byte placeable
// header. Knows nothing of Qt's painter; MetafileRecorder keeps the device-context state.

#include "MetafileStyle.h"

#include <QByteArray>
#include <QPoint>
#include <QPolygon>

#include <cstdint>
#include <vector>

class QImage;

namespace tarvo
{

// A rectangle as the metafile's drawing records take it: right and bottom are exclusive.
struct MetafileBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const MetafileBox&) const = default;
};

// Text alignment flags of SetTextAlign; one horizontal value or-ed with one vertical value.
enum MetafileTextAlign : std::uint16_t {
    mtaLeft = 0,
    mtaRight = 2,
    mtaCenter = 6,
    mtaTop = 0,
    mtaBottom = 8,
    mtaBaseline = 24,
};

enum MetafileBkMode : std::uint16_t { mbmTransparent = 1, mbmOpaque = 2 };
enum MetafilePolyFillMode : std::uint16_t { mpfAlternate = 1, mpfWinding = 2 };

class MetafileWriter
{
public:
    // The picture is widthPixels × heightPixels logical units, shown at dotsPerInch.
    MetafileWriter(int widthPixels, int heightPixels, int dotsPerInch);

    // Objects take the lowest free slot of the table, as the players expect; the returned slot
    // is what SelectObject and DeleteObject name. Naming an empty slot throws MetafileError.
    std::uint16_t CreatePen(const MetafilePen& pen);
    std::uint16_t CreateBrush(const MetafileBrush& brush);
    std::uint16_t CreateFont(const MetafileFont& font);
    void SelectObject(std::uint16_t slot);
    void DeleteObject(std::uint16_t slot);

    void SetMapMode(std::uint16_t mode);
    void SetWindowOrg(QPoint origin);
    void SetWindowExt(int width, int height);
    void SetBkMode(MetafileBkMode mode);
    void SetBkColor(ColorRef color);
    void SetTextColor(ColorRef color);
    void SetTextAlign(std::uint16_t align);
    void SetPolyFillMode(MetafilePolyFillMode mode);
    void SaveDC();
    void RestoreDC(); // the last SaveDC; throws MetafileError when nothing is saved
    void IntersectClipRect(const MetafileBox& box);

    void MoveTo(QPoint point);
    void LineTo(QPoint point);
    void SetPixel(QPoint point, ColorRef color);
    void Rectangle(const MetafileBox& box);
    void Ellipse(const MetafileBox& box);
    // Counter-clockwise along the ellipse in box from the ray through `start` to the ray through `end`.
    void Arc(const MetafileBox& box, QPoint start, QPoint end);
    void Pie(const MetafileBox& box, QPoint start, QPoint end);
    void Chord(const MetafileBox& box, QPoint start, QPoint end);
    void Polygon(const QPolygon& points);
    void Polyline(const QPolygon& points);
    void PolyPolygon(const std::vector<QPolygon>& polygons);
    void TextOut(QPoint point, const QByteArray& text);
    // Without a clip box the options are 0; with one the text is clipped to it (ETO_CLIPPED).
    void ExtTextOut(QPoint point, const QByteArray& text, const MetafileBox* clipBox = nullptr);
    // The image stretched onto box, as a 24-bit DIB (transparency is flattened onto white).
    void StretchDib(const MetafileBox& box, const QImage& image);

    // The complete file: placeable header, metafile header, the records so far and EOF.
    [[nodiscard]] QByteArray Bytes() const;

    [[nodiscard]] int RecordCount() const { return m_recordCount; }
    [[nodiscard]] int SaveDepth() const { return m_saveDepth; }
    [[nodiscard]] int LiveObjectCount() const;
    [[nodiscard]] std::size_t ObjectTableSize() const { return m_slots.size(); }

private:
    void Record(std::uint16_t function, const QByteArray& parameters);
    void Words(std::uint16_t function, std::initializer_list<int> words);
    void BoxRecord(std::uint16_t function, const MetafileBox& box, const std::vector<int>& prefix);
    void ColorRecord(std::uint16_t function, ColorRef color);
    // The records of Arc, Pie and Chord share one layout: the end point, the start point, then the box.
    void ArcRecord(std::uint16_t function, const MetafileBox& box, QPoint start, QPoint end);
    // Polygon and Polyline: the point count, then the points.
    void PointsRecord(std::uint16_t function, const QPolygon& points);
    std::uint16_t TakeSlot();
    void CheckSlot(std::uint16_t slot, const char* what) const;

    int m_width;
    int m_height;
    int m_dotsPerInch;
    QByteArray m_records;
    std::uint32_t m_maxRecordWords = 3; // EOF is always written
    int m_recordCount = 0;
    int m_saveDepth = 0;
    std::vector<bool> m_slots; // true: occupied; the size is the header's number of objects
};

} // namespace tarvo
