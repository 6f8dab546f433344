#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"

#include <QFont>
#include <QString>

#include <optional>

#include <cstdint>

namespace tarvo
{

// Font style bits.
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

using TFontCharset = std::uint8_t;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

// Screen resolution the chart's fonts are laid out for unless a canvas says otherwise.
inline constexpr int kDefaultPixelsPerInch = 96;

// The default chart font's face and size: "Arial", 8 points; on a system whose user language is
// Japanese, "MS Sans Serif" at the size of the application's default font.
[[nodiscard]] QString DefaultChartFontName();
[[nodiscard]] int DefaultChartFontSize();

// A chart font. Like the platform's fonts it keeps its height in pixels together with the
// resolution it was made for: Height < 0 is the character (em) height, Height > 0 the cell
// height; Size, in points, is -Height · 72 / PixelsPerInch rounded. Setting Size or the
// resolution keeps the point size and recomputes the height.
class TChartFont : public TChangeNotifier
{
public:
    TChartFont();
    TChartFont(const TChartFont& other) = default;
    TChartFont& operator=(const TChartFont& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TChartFont() = default;
    void Assign(const TChartFont& other) { *this = other; }

    bool operator==(const TChartFont& other) const { return m_values == other.m_values; }

    [[nodiscard]] const QString& Name() const { return m_values.name; }
    void SetName(const QString& value) { Store(m_values.name, value); }
    [[nodiscard]] int Height() const { return m_values.height; }
    void SetHeight(int value) { Store(m_values.height, value); }
    [[nodiscard]] int Size() const;
    void SetSize(int points);
    [[nodiscard]] int PixelsPerInch() const { return m_values.pixelsPerInch; }
    // Keeps the point size. A resolution below 1 is not a resolution and is ignored.
    void SetPixelsPerInch(int value);
    [[nodiscard]] TColor Color() const { return m_values.color; }
    void SetColor(TColor value) { Store(m_values.color, value); }
    [[nodiscard]] TFontStyles Style() const { return m_values.style; }
    void SetStyle(TFontStyles value) { Store(m_values.style, value); }
    [[nodiscard]] TFontCharset Charset() const { return m_values.charset; }
    void SetCharset(TFontCharset value) { Store(m_values.charset, value); }

    // Size, face, colour, style and character set equal those of the default chart font (such a
    // font is not stored).
    [[nodiscard]] bool IsDefault() const;

    // The QFont to draw with on a device whose pixels are this font's pixels.
    [[nodiscard]] QFont ToQFont() const;

private:
    struct Values {
        QString name;
        int height = 0;
        int pixelsPerInch = kDefaultPixelsPerInch;
        TColor color = clBlack;
        TFontStyles style = 0;
        TFontCharset charset = DEFAULT_CHARSET;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
    // The last QFont made and what it was made from: charts ask for their fonts on every text.
    mutable std::optional<QFont> m_madeFont;
    mutable Values m_madeFrom;
};

// Pixel height (negative: character height) of a point size at a resolution.
[[nodiscard]] int FontHeightForSize(int points, int pixelsPerInch);

} // namespace tarvo
