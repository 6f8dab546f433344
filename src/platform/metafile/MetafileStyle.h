#pragma once

// The three kinds of drawing objects a Windows metafile knows, as plain values, and their
// translation from Qt's pen, brush and font. Two values that compare equal make the same object,
// which is how the recorder avoids writing an object that is already selected.

#include <QByteArray>

#include <cstdint>

class QBrush;
class QColor;
class QFont;
class QPen;

namespace tarvo
{

// A Windows COLORREF: 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

enum MetafilePenStyle : std::uint16_t {
    mpsSolid = 0,
    mpsDash = 1,
    mpsDot = 2,
    mpsDashDot = 3,
    mpsDashDotDot = 4,
    mpsNull = 5,
    // Flags or-ed onto the style: line ends and corners.
    mpsEndCapSquare = 0x0100,
    mpsEndCapFlat = 0x0200,
    mpsJoinBevel = 0x1000,
    mpsJoinMiter = 0x2000,
};

enum MetafileBrushStyle : std::uint16_t { mbsSolid = 0, mbsNull = 1, mbsHatched = 2 };

enum MetafileHatch : std::uint16_t {
    mhsHorizontal = 0,
    mhsVertical = 1,
    mhsFDiagonal = 2, // "\\\\"
    mhsBDiagonal = 3, // "////"
    mhsCross = 4,
    mhsDiagCross = 5,
};

struct MetafilePen {
    std::uint16_t style = mpsSolid;
    std::int16_t width = 0; // logical units; 0 draws one pixel wide whatever the mapping
    ColorRef color = 0;
    bool operator==(const MetafilePen&) const = default;
};

struct MetafileBrush {
    std::uint16_t style = mbsSolid;
    ColorRef color = 0;
    std::uint16_t hatch = 0; // only read for mbsHatched
    bool operator==(const MetafileBrush&) const = default;
};

struct MetafileFont {
    std::int16_t height = -12; // negative: character (em) height in logical units
    std::int16_t escapement = 0; // tenths of a degree, counter-clockwise from the x axis
    std::int16_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QByteArray faceName; // Latin-1, at most 31 bytes
    bool operator==(const MetafileFont&) const = default;
};

[[nodiscard]] ColorRef ToColorRef(const QColor& color);

// `scale` is the length scale of the painter's transform (1 for none); cosmetic pens ignore it.
[[nodiscard]] MetafilePen PenFromQt(const QPen& pen, double scale);

// Gradients and texture brushes have no metafile counterpart and become a solid brush of their
// average colour; dense patterns become solid.
[[nodiscard]] MetafileBrush BrushFromQt(const QBrush& brush);

// `scale` multiplies the height, `angleDegrees` (counter-clockwise) becomes the escapement and
// orientation; point sizes are converted at `dotsPerInch`.
[[nodiscard]] MetafileFont FontFromQt(const QFont& font, double scale, double angleDegrees, int dotsPerInch);

// Text as the 8-bit string of a metafile record: Latin-1, other characters as '?'.
[[nodiscard]] QByteArray MetafileText(const QString& text);

} // namespace tarvo
