#include "panel/ChartTitle.h"

#include "canvas/ChartCanvas3D.h"
#include "canvas/ChartDrawHost.h"

#include <algorithm>

namespace tarvo
{

TChartTitle::TChartTitle(bool foot)
    : m_foot(foot)
{
    m_font.SetColor(clBlue);
    m_brush.SetOnChange([this] { Changed(); });
    m_font.SetOnChange([this] { Changed(); });
    m_frame.SetOnChange([this] { Changed(); });
}

void TChartTitle::Assign(const TChartTitle& other)
{
    m_brush = other.m_brush;
    m_font = other.m_font;
    m_frame = other.m_frame;
    SetAdjustFrame(other.m_adjustFrame);
    SetAlignment(other.m_alignment);
    SetColor(other.m_color);
    SetText(other.m_text);
    SetVisible(other.m_visible);
}

void TChartTitle::SetAdjustFrame(bool value) { Store(m_adjustFrame, value); }

void TChartTitle::SetAlignment(TAlignment value) { Store(m_alignment, value); }

void TChartTitle::SetColor(TColor value) { Store(m_color, value); }

void TChartTitle::SetText(const QStringList& value) { Store(m_text, value); }

void TChartTitle::AddLine(const QString& line)
{
    m_text.append(line);
    Changed();
}

void TChartTitle::SetVisible(bool value) { Store(m_visible, value); }

bool TChartTitle::PrepareBrush(TChartCanvas3D& canvas)
{
    const bool pattern = m_brush.Style() != bsSolid || m_brush.HasImage();
    if (m_color == clDefaultColor) {
        if (pattern) {
            canvas.Brush() = m_brush;
            canvas.SetBackgroundMode(TRANSPARENT);
            return m_brush.Style() != bsClear || m_brush.HasImage();
        }
        if (m_brush.Color() == clDefaultColor) {
            canvas.Brush().SetImage(QImage());
            canvas.Brush().SetStyle(bsClear);
            return false;
        }
        // A solid brush of its own colour is the title's colour from now on.
        m_color = m_brush.Color();
    } else if (pattern) {
        canvas.Brush() = m_brush;
        canvas.SetBackgroundMode(OPAQUE);
        canvas.SetBackgroundColor(m_color);
        return m_brush.Style() != bsClear || m_brush.HasImage();
    }
    canvas.Brush().SetImage(QImage());
    canvas.Brush().SetColor(m_color);
    canvas.Brush().SetStyle(bsSolid);
    return true;
}

void TChartTitle::FitBoxToText(TChartCanvas3D& canvas, int wWidth)
{
    const int boxWidth = canvas.WidestLine(m_text) + wWidth;
    switch (m_alignment) {
    case taLeftJustify:
        m_drawnRect.Right = m_drawnRect.Left + boxWidth;
        break;
    case taRightJustify:
        m_drawnRect.Left = m_drawnRect.Right - boxWidth;
        break;
    case taCenter: {
        const int centre = (m_drawnRect.Left + m_drawnRect.Right) / 2;
        m_drawnRect.Left = centre - boxWidth / 2;
        m_drawnRect.Right = m_drawnRect.Left + boxWidth;
        break;
    }
    }
}

void TChartTitle::DrawLines(TChartCanvas3D& canvas, const TRect& chartRect, int frameWidth, int wWidth) const
{
    canvas.SetBackgroundMode(TRANSPARENT);
    canvas.SetTextAlignment(TA_LEFT | TA_TOP);
    const int textLeft = chartRect.Left + frameWidth;
    const int textRight = chartRect.Right - frameWidth;
    const int lines = static_cast<int>(m_text.size());
    const int lineHeight = canvas.LineHeight();
    for (int i = 0; i < lines; ++i) {
        const QString& line = m_text[i];
        const int y = m_foot ? chartRect.Bottom - frameWidth - (lines - i) * lineHeight
                             : chartRect.Top + frameWidth + i * lineHeight;
        const int width = canvas.TextWidth(line);
        int x = 0;
        switch (m_alignment) {
        case taLeftJustify:
            x = textLeft + wWidth / 2;
            break;
        case taRightJustify:
            x = textRight - width - wWidth / 2;
            break;
        case taCenter:
            x = (textLeft + textRight) / 2 - width / 2;
            break;
        }
        canvas.TextOut2D(x, y, line);
    }
}

TRect TChartTitle::Draw(TChartDrawHost& chart, const TRect& chartRect)
{
    if (!m_visible)
        return chartRect;
    TChartCanvas3D& canvas = chart.Canvas();
    chart.UseFont(m_font);
    const int lineHeight = canvas.LineHeight();
    const int lines = static_cast<int>(m_text.size());
    const bool frameCounts = m_frame.Visible() && m_frame.Color() != clDefaultColor;
    const int f = frameCounts ? m_frame.Width() : 0;
    if (lines == 0 && !frameCounts)
        return chartRect;

    const bool filled = PrepareBrush(canvas);
    const int band = lines * lineHeight;
    m_drawnRect = m_foot
        ? TRect { chartRect.Left + f, chartRect.Bottom - band, chartRect.Right - f, chartRect.Bottom - f }
        : TRect { chartRect.Left + f, chartRect.Top + f, chartRect.Right - f, chartRect.Top + band };
    m_drawnRect = m_drawnRect.Inflated(f, f);

    const int wWidth = canvas.TextWidth(QStringLiteral("W"));
    if (frameCounts || filled) {
        if (m_adjustFrame)
            FitBoxToText(canvas, wWidth);
        if (frameCounts)
            canvas.ApplyPen(m_frame);
        else
            canvas.Pen().SetStyle(psClear);
        canvas.Rect2D(m_drawnRect);
    }

    DrawLines(canvas, chartRect, f, wWidth);

    TRect left = chartRect;
    const int taken = f + band + f + 5;
    if (m_foot)
        left.Bottom -= taken;
    else
        left.Top += taken;
    return left;
}

} // namespace tarvo
