#pragma once

// Colours as the chart engine stores them: 0x00BBGGRR, red in the low byte. A top byte of 0x80
// marks a system colour whose low byte indexes the platform's colour table (resolved through the
// application palette); clDefaultColor means "no colour of its own, the owner's default applies"
// and clNone marks a null point. Only ColorToRGB and the QColor conversions know about either.

#include <QColor>

#include <cstdint>

namespace tarvo
{

using TColor = std::uint32_t;

inline constexpr TColor clDefaultColor = 0x80000000;
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: 0x80000000 | index into the platform's colour table.
inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;

[[nodiscard]] constexpr TColor RGBColor(int red, int green, int blue)
{
    return static_cast<TColor>(red & 0xFF) | (static_cast<TColor>(green & 0xFF) << 8)
        | (static_cast<TColor>(blue & 0xFF) << 16);
}
[[nodiscard]] constexpr int RedOf(TColor color) { return static_cast<int>(color & 0xFF); }
[[nodiscard]] constexpr int GreenOf(TColor color) { return static_cast<int>((color >> 8) & 0xFF); }
[[nodiscard]] constexpr int BlueOf(TColor color) { return static_cast<int>((color >> 16) & 0xFF); }
[[nodiscard]] constexpr bool IsSystemColor(TColor color) { return (color & 0xFF000000) == clSystemColor; }

// The plain 0x00BBGGRR value of any colour: system colours (clDefaultColor included, which is the
// first system colour) through the application palette, everything else with its top byte dropped
// (clNone therefore reads as white, as it does on the platform it comes from).
[[nodiscard]] TColor ColorToRGB(TColor color);

// Opaque QColor of ColorToRGB(color).
[[nodiscard]] QColor ToQColor(TColor color);

// 0x00BBGGRR of a QColor; its alpha is dropped.
[[nodiscard]] TColor FromQColor(const QColor& color);

} // namespace tarvo
