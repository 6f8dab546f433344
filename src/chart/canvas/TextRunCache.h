#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QStaticText>
#include <QString>

#include <optional>
#include <utility>

class QPaintDevice;

namespace tarvo
{

// Measurements and laid-out glyphs of the texts a canvas draws, per font. A chart draws the same
// marks, labels and legend rows on every repaint (a rotating pie fifty times a second), and
// shaping each text again for its width and once more for drawing is most of a repaint's text
// work.
//
// References handed out stay valid until Trim or the first use of another font or resolution.
class TTextRunCache
{
public:
    // The metrics of font on device (null: the screen).
    [[nodiscard]] const QFontMetrics& Metrics(const QFont& font, const QPaintDevice* device);
    [[nodiscard]] int Width(const QFont& font, const QPaintDevice* device, const QString& text);
    // text laid out in font, ready to draw without a transformation other than translation.
    [[nodiscard]] const QStaticText& Layout(const QFont& font, const QPaintDevice* device, const QString& text);
    // Forgets everything once the cache has grown past its bound; call between repaints.
    void Trim();

    // Texts that a static layout draws exactly as the painter's own text drawing does: one line
    // of characters without controls, which a layout would break or expand.
    [[nodiscard]] static bool CanLayout(const QString& text);

private:
    struct TRun {
        int Width = 0;
        std::optional<QStaticText> Layout;
    };
    struct TFontEntry {
        std::optional<QFontMetrics> Metrics;
        QHash<QString, TRun> Runs;
    };
    // A font and the resolution it is measured at (fonts sized in points differ between them).
    using TFontKey = std::pair<QFont, int>;

    TFontEntry& Entry(const QFont& font, const QPaintDevice* device);
    TRun& Run(TFontEntry& entry, const QString& text);

    QHash<TFontKey, TFontEntry> m_fonts;
    qsizetype m_runCount = 0;
    // Texts come in runs of one font; comparing with the last one is cheaper than hashing.
    TFontKey m_lastKey;
    TFontEntry* m_lastEntry = nullptr;
};

} // namespace tarvo
