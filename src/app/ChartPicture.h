#pragma once

#include <QString>

#include <array>
#include <stdexcept>

namespace tarvo
{

class TCustomChartPanel;

// The formats "Save Picture" writes: the Windows metafile of old, and what today's programs
// read without help.
enum class TPictureFormat { pfWmf, pfPng, pfSvg, pfPdf };
using enum TPictureFormat;

struct TPictureFilter {
    TPictureFormat format;
    const char* filter; // the save dialog's name filter
    const char* suffix; // the extension, without the dot
};

// The save dialog's filters in the order it shows them, the metafile first.
inline constexpr std::array<TPictureFilter, 4> kPictureFilters { {
    { pfWmf, "Metafile (*.wmf)", "wmf" },
    { pfPng, "PNG image (*.png)", "png" },
    { pfSvg, "SVG drawing (*.svg)", "svg" },
    { pfPdf, "PDF document (*.pdf)", "pdf" },
} };

// A name's own extension decides when it is one of the four (in any case); otherwise the
// format of the filter the user chose.
[[nodiscard]] TPictureFormat PictureFormatFor(const QString& fileName, TPictureFormat chosen);

// Raised when a picture cannot be written; the message names the file.
class ChartPictureError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the chart at its client size into the file, replacing it only once the whole picture
// is written: a failure leaves no file of that name behind (or the old one as it was).
void SaveChartPicture(TCustomChartPanel& chart, const QString& fileName, TPictureFormat format);

} // namespace tarvo
