#include "series/SeriesMarks.h"

#include "canvas/ChartCanvas3D.h"
#include "canvas/View3DOptions.h"
#include "core/ChartException.h"
#include "core/ChartRounding.h"
#include "series/ChartSeriesHost.h"

#include <QString>

#include <algorithm>

namespace tarvo
{

QStringList MarkTextLines(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .split(QChar(kMarkLineSeparator), Qt::KeepEmptyParts);
}

TSeriesMarks::TSeriesMarks(TSeriesMarksHost& series)
    : m_series(series)
{
    // The sub-objects report to this marks object only; copies made from them never do.
    const auto repaint = [this]() { Changed(); };
    m_arrow.SetOnChange(repaint);
    m_font.SetOnChange(repaint);
    m_frame.SetOnChange(repaint);
}

void TSeriesMarks::Assign(const TSeriesMarks& source)
{
    if (&source == this)
        return;
    // Each sub-object and setter reports its own change; assignment of equal values is silent.
    SetArrow(source.m_arrow);
    SetArrowLength(source.m_arrowLength);
    SetBackColor(source.m_backColor);
    SetTransparent(source.m_transparent);
    SetClip(source.m_clip);
    SetFrame(source.m_frame);
    SetFont(source.m_font);
    SetStyle(source.m_style);
    SetVisible(source.m_visible);
    SetHideOverlapping(source.m_hideOverlapping);
}

void TSeriesMarks::SetArrow(const TChartPen& value) { static_cast<TChartPen&>(m_arrow) = value; }
void TSeriesMarks::SetArrowLength(int value) { Store(m_arrowLength, value); }
void TSeriesMarks::SetBackColor(TColor value) { Store(m_backColor, value); }
void TSeriesMarks::SetClip(bool value) { Store(m_clip, value); }
void TSeriesMarks::SetFont(const TChartFont& value) { m_font = value; }
void TSeriesMarks::SetFrame(const TChartPen& value) { m_frame = value; }
void TSeriesMarks::SetTransparent(bool value) { Store(m_transparent, value); }
void TSeriesMarks::SetVisible(bool value) { Store(m_visible, value); }
void TSeriesMarks::SetHideOverlapping(bool value) { Store(m_hideOverlapping, value); }

void TSeriesMarks::SetStyle(TSeriesMarksStyle value)
{
    const auto raw = static_cast<int>(value);
    if (raw < static_cast<int>(smsValue) || raw > static_cast<int>(smsXValue))
        throw ChartException("Invalid marks style (" + std::to_string(raw) + ")");
    Store(m_style, value);
}

void TSeriesMarks::ApplyFont(TChartCanvas3D& canvas) const
{
    TChartFont font = m_font;
    // Keep the point size on a canvas of another resolution (a printer page).
    font.SetPixelsPerInch(canvas.Font().PixelsPerInch());
    if (canvas.Is3D() && !canvas.Handles3DText()) {
        const TView3DOptions* options = canvas.Options();
        if (options != nullptr && options->ZoomText())
            font.SetSize(std::max(1, Round(font.Size() * options->Zoom() * 0.01)));
    }
    canvas.Font() = font;
}

int TSeriesMarks::MaxMarkWidth(const TChartCanvas& canvas) const
{
    int widest = 0;
    for (const std::string& text : m_series.MarkTexts())
        widest = std::max(widest, canvas.WidestLine(MarkTextLines(text)));
    return widest;
}

void TSeriesMarks::MeasureBox(TChartCanvas& canvas, std::string_view text, int& width, int& height) const
{
    const QStringList lines = MarkTextLines(text);
    width = canvas.WidestLine(lines) + canvas.TextWidth(QStringLiteral("W"));
    height = static_cast<int>(lines.size()) * canvas.LineHeight();
    canvas.ApplyPen(m_frame);
    if (m_frame.Visible()) {
        width += 2 * m_frame.Width();
        height += 2 * m_frame.Width();
    }
}

QRect TSeriesMarks::ScreenBox(const TSeriesMarkPosition& position, const TChartCanvas3D& canvas) const
{
    QPoint corner = position.BoxCorner;
    if (canvas.Is3D() && !canvas.Handles3DText()) {
        const QPoint end = canvas.ProjectXY(position.ArrowEnd.x(), position.ArrowEnd.y(), m_markDepth);
        corner = QPoint(end.x() + corner.x() - position.ArrowEnd.x(), end.y() - (position.ArrowEnd.y() - corner.y()));
    }
    return { corner, QSize(position.BoxWidth, position.BoxHeight) };
}

TColor TSeriesMarks::ArrowColor(TColor pointColor, TColor panelColor) const
{
    const TColor color = m_arrow.Color();
    if (color != pointColor && color != panelColor)
        return color;
    // The arrow would vanish into its point or into the panel.
    return panelColor == clBlack ? clWhite : clBlack;
}

void TSeriesMarks::DrawMarkItem(int index, TColor color, TSeriesMarkPosition& position, const std::string& text)
{
    if (index < 0)
        throw ChartListIndexError(index);
    TSeriesMarkPosition& stored = Positions().Ensure(index);
    if (stored.IsCustom)
        position.Assign(stored);
    else
        stored.Assign(position);

    TChartSeriesHost* chart = m_series.MarksChart();
    if (chart == nullptr)
        return;
    TChartCanvas3D& canvas = chart->Canvas();
    const bool flat = !canvas.Is3D();
    // Text cells must not paint over the box or the chart behind a transparent mark.
    const int oldMode = canvas.BackgroundMode();
    canvas.SetBackgroundMode(TRANSPARENT);

    if (m_arrow.Visible()) {
        canvas.ApplyPen(m_arrow);
        canvas.Pen().SetColor(ArrowColor(color, chart->Color()));
        canvas.Brush().SetStyle(bsClear);
        const QPoint from = position.ArrowStart;
        const QPoint to = position.ArrowEnd;
        if (flat)
            canvas.Line2D(from.x(), from.y(), to.x(), to.y());
        else
            canvas.Line3D(from.x(), from.y(), to.x(), to.y(), m_markDepth);
    }

    // The box keeps its shape and follows the projected end of the arrow; the stored position
    // stays in chart coordinates.
    const QPoint corner = ScreenBox(position, canvas).topLeft();

    int textTop = corner.y();
    if (m_frame.Visible() || !m_transparent) {
        canvas.Brush().SetColor(m_backColor);
        canvas.Brush().SetStyle(m_transparent ? bsClear : bsSolid);
        canvas.ApplyPen(m_frame);
        canvas.Rectangle2D(corner.x(), corner.y(), corner.x() + position.BoxWidth, corner.y() + position.BoxHeight);
        if (m_frame.Visible())
            textTop += m_frame.Width();
    }

    canvas.Brush().SetStyle(bsClear);
    canvas.SetTextAlignment(TA_CENTER | TA_TOP);
    const int lineHeight = canvas.LineHeight();
    const int x = corner.x() + position.BoxWidth / 2;
    const QStringList lines = MarkTextLines(text);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const int y = textTop + static_cast<int>(k) * lineHeight;
        if (canvas.Handles3DText())
            canvas.Text3D(x, y, lines[k], m_markDepth);
        else
            canvas.TextOut2D(x, y, lines[k]);
    }
    canvas.SetTextAlignment(TA_LEFT | TA_TOP);
    canvas.SetBackgroundMode(oldMode);
}

} // namespace tarvo
