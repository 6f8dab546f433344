#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

namespace tarvo
{

// The about window's pictures, drawn by the program: the background tile "BACKGND" and the
// glyphs of its five picture buttons.
enum class AboutGlyph { agMail, agHomePages, agDownloads, agUpdates, agClose };

// 100 x 100 pixels, 24-bit colour; the window tiles it, so its edges meet without a seam.
[[nodiscard]] QImage AboutBackground();
// The glyph at its size on the button (and at twice that for high-density screens).
[[nodiscard]] QIcon AboutGlyphIcon(AboutGlyph glyph);
[[nodiscard]] QSize AboutGlyphSize(AboutGlyph glyph);

} // namespace tarvo
