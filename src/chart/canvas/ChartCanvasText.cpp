// Text and gradient fills of the flat canvas.

#include "canvas/ChartCanvas.h"

#include "MetafilePaintDevice.h"
#include "canvas/VisibleText.h"
#include "core/ChartRounding.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace tarvo
{

namespace
{

    // Offset from the reference point to the left end of the baseline.
    QPoint BaselineOffset(const QFontMetrics& metrics, int textWidth, unsigned alignment)
    {
        int dx = 0;
        if ((alignment & TA_CENTER) == TA_CENTER)
            dx = -textWidth / 2;
        else if ((alignment & TA_CENTER) == TA_RIGHT)
            dx = -textWidth;
        int dy = metrics.ascent();
        if ((alignment & TA_BASELINE) == TA_BASELINE)
            dy = 0;
        else if ((alignment & TA_BASELINE) == TA_BOTTOM)
            dy = -metrics.descent();
        return { dx, dy };
    }

    // Gradient precision of the concentric direction, in pixels per ring.
    constexpr int kGradientPrecision = 1;

} // namespace

int TChartCanvas::TextWidth(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    return m_textRuns.Width(m_font.ToQFont(), m_painter != nullptr ? m_painter->device() : nullptr, VisibleText(text));
}

void TChartCanvas::ForgetDrawnTexts()
{
    m_drawnTexts.clear();
    m_occupied.Clear();
}

int TChartCanvas::WidestLine(const QStringList& lines) const
{
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, TextWidth(line));
    return widest;
}

int TChartCanvas::TextBlockWidth(const QString& text, int& lines) const
{
    const QStringList parts = text.split(QChar(kTextLineSeparator));
    lines = static_cast<int>(parts.size());
    return WidestLine(parts);
}

int TChartCanvas::TextBlockWidth(std::string_view text, int& lines) const
{
    return TextBlockWidth(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), lines);
}

int TChartCanvas::TextHeight(const QString& text) const
{
    const QFontMetrics& metrics
        = m_textRuns.Metrics(m_font.ToQFont(), m_painter != nullptr ? m_painter->device() : nullptr);
    // The platform measures a string's cell: the same for any text in one font, empty or not.
    static_cast<void>(text);
    return metrics.height();
}

void TChartCanvas::TextOut2D(int x, int y, const QString& text)
{
    if (PreparePainter(false, false) != nullptr)
        DeviceText({ x, y }, text, 0.0, m_font.ToQFont());
}

void TChartCanvas::RotatedText2D(int x, int y, int angleDegrees, const QString& text)
{
    m_brush.SetStyle(bsClear);
    if (angleDegrees > 360)
        angleDegrees -= 360;
    if (PreparePainter(false, false) != nullptr)
        DeviceText({ x, y }, text, angleDegrees, ZoomedFont(TextZoom()));
}

void TChartCanvas::DeviceText(QPoint anchor, const QString& text, double angleDegrees, const QFont& font)
{
    QPainter& painter = *m_painter;
    const QString shown = VisibleText(text);
    const QFontMetrics& metrics = m_textRuns.Metrics(font, painter.device());
    const int width = m_textRuns.Width(font, painter.device(), shown);
    const QPoint baseline = BaselineOffset(metrics, width, m_textAlignment);
    const int ascent = metrics.ascent();
    const int height = metrics.height();
    RecordText(anchor, QRect(baseline.x(), baseline.y() - ascent, width, height), angleDegrees, shown);
    if (MetafileTarget() != nullptr) {
        WriteMetafileText(anchor, shown, angleDegrees, font);
        return;
    }
    // The cell behind the text is filled here when the canvas is opaque; the painter's own mode
    // may still be opaque from a hatched fill and would paint a second cell in its colours.
    // The painter's pen, mode and font are left for the canvas to set again before its next
    // operation (which it does after InvalidatePainterState): saving and restoring the painter
    // around every mark and label costs more than the text.
    // A prepared layout draws the same pixels as drawText only without rotation, and only the
    // image painter keeps them: other engines get the text itself.
    // (VisibleText has already replaced every control character, which a layout cannot hold.)
    const bool prepared = angleDegrees == 0.0 && painter.paintEngine()->type() == QPaintEngine::Raster;
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(font);
    painter.setPen(ToQColor(m_font.Color()));
    if (prepared) {
        const QPoint origin = anchor + baseline;
        if (m_backgroundMode == OPAQUE)
            painter.fillRect(origin.x(), origin.y() - ascent, width, height, ToQColor(m_backgroundColor));
        painter.drawStaticText(origin.x(), origin.y() - ascent, m_textRuns.Layout(font, painter.device(), shown));
    } else {
        painter.save();
        painter.translate(anchor);
        if (angleDegrees != 0.0)
            painter.rotate(-angleDegrees);
        if (m_backgroundMode == OPAQUE)
            painter.fillRect(baseline.x(), baseline.y() - ascent, width, height, ToQColor(m_backgroundColor));
        painter.drawText(baseline, shown);
        painter.restore();
    }
    InvalidatePainterState();
}

void TChartCanvas::WriteMetafileText(QPoint anchor, const QString& shown, double angleDegrees, const QFont& font)
{
    // One ExtTextOut record that other programs can edit, not glyph outlines.
    QPainter& painter = *m_painter;
    painter.save();
    painter.setFont(font);
    painter.setPen(ToQColor(m_font.Color()));
    RealizeBackground();
    MetafileTarget()->Text(painter, anchor, shown, angleDegrees, static_cast<std::uint16_t>(m_textAlignment));
    painter.restore();
    InvalidatePainterState();
}

void TChartCanvas::RecordText(QPoint anchor, const QRect& cell, double angleDegrees, const QString& shown)
{
    // cell is relative to the anchor; turned text covers the bounding box of its turned cell.
    QRect covered = cell;
    if (angleDegrees != 0.0) {
        QTransform turn;
        turn.rotate(-angleDegrees);
        covered = turn.mapRect(QRectF(cell)).toAlignedRect();
    }
    covered.translate(anchor);
    m_drawnTexts.push_back({ covered, shown });
    m_occupied.Add(covered);
}

void TChartCanvas::FillGradient(const TRect& rect, TColor color1, TColor color2, TGradientDirection direction)
{
    QPainter* painter = PreparePainter(false, false);
    const TRect area = rect.Normalized();
    if (painter == nullptr || area.IsEmpty())
        return;
    switch (direction) {
    case gdTopBottom:
    case gdBottomTop:
    case gdLeftRight:
    case gdRightLeft:
        for (const TGradientBand& band : LinearGradientBands(area, color1, color2, direction))
            painter->fillRect(band.Rect.ToQRect(), ToQColor(band.Color));
        return;
    case gdFromCenter: {
        // Rings from the edge (color1) inward to the centre (color2).
        const int rings = std::max(1, std::min(area.Width(), area.Height()) / 2 / kGradientPrecision);
        const int steps = std::min(rings, kMaxGradientBands);
        for (int ring = 0; ring < rings; ++ring) {
            const TRect outline = area.Inflated(-ring * kGradientPrecision, -ring * kGradientPrecision);
            const QColor color
                = ToQColor(GradientStepColor(color1, color2, MulDiv(ring, steps - 1, std::max(1, rings - 1)), steps));
            painter->fillRect(outline.ToQRect(), color);
        }
        return;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        const QRectF box = area.ToQRect();
        const QPointF from = direction == gdFromTopLeft ? box.topLeft() : box.bottomLeft();
        const QPointF to = direction == gdFromTopLeft ? box.bottomRight() : box.topRight();
        QLinearGradient gradient(from, to);
        gradient.setColorAt(0.0, ToQColor(color1));
        gradient.setColorAt(1.0, ToQColor(color2));
        painter->fillRect(box, QBrush(gradient));
        return;
    }
    }
}

} // namespace tarvo
