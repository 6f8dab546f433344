// The panel: properties, layout of the plotting rectangle, the repaint cycle and the helpers
// that series, axes, titles and the legend draw with. Printing and metafiles are in
// ChartPanelOutput.cpp.

#include "panel/ChartPanel.h"

#include "core/ChartRounding.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tarvo
{

namespace
{

    void CheckNotNegative(int value, const char* what)
    {
        if (value < 0)
            throw ChartException(std::string(what) + " must be >= 0");
    }

} // namespace

TCustomChartPanel::TCustomChartPanel(QWidget* parent)
    : QWidget(parent)
{
    // The canvas paints every pixel from its buffer: nothing may be erased underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    resize(400, 250);
    m_view3DOptions.SetOnChange([this] { Invalidate(); });
    m_canvas.SetOnInvalidate([this] { Invalidate(); });
    m_invalidationEnabled = true;
}

TCustomChartPanel::~TCustomChartPanel() { m_invalidationEnabled = false; }

void TCustomChartPanel::SetName(const QString& value)
{
    m_name = value;
    setObjectName(value);
}

void TCustomChartPanel::SetColor(TColor value) { SetAndInvalidate(m_color, value); }
void TCustomChartPanel::SetBevelInner(TPanelBevel value) { SetAndInvalidate(m_bevelInner, value); }
void TCustomChartPanel::SetBevelOuter(TPanelBevel value) { SetAndInvalidate(m_bevelOuter, value); }

void TCustomChartPanel::SetBevelWidth(int value)
{
    CheckNotNegative(value, "BevelWidth");
    SetAndInvalidate(m_bevelWidth, value);
}

void TCustomChartPanel::SetBorderWidth(int value)
{
    CheckNotNegative(value, "BorderWidth");
    SetAndInvalidate(m_borderWidth, value);
}

void TCustomChartPanel::SetMarginLeft(int value) { SetAndInvalidate(m_marginLeft, value); }
void TCustomChartPanel::SetMarginTop(int value) { SetAndInvalidate(m_marginTop, value); }
void TCustomChartPanel::SetMarginRight(int value) { SetAndInvalidate(m_marginRight, value); }
void TCustomChartPanel::SetMarginBottom(int value) { SetAndInvalidate(m_marginBottom, value); }
void TCustomChartPanel::SetView3D(bool value) { SetAndInvalidate(m_view3D, value); }

void TCustomChartPanel::SetChart3DPercent(int value)
{
    constexpr int lowest = 1;
    constexpr int highest = 100;
    if (value < lowest || value > highest)
        throw ChartException(
            "3D effect percent must be between " + std::to_string(lowest) + " and " + std::to_string(highest));
    SetAndInvalidate(m_chart3DPercent, value);
}

void TCustomChartPanel::SetPrintMarginPercents(const TPrintMarginPercents& value)
{
    for (const int margin : { value.Left, value.Top, value.Right, value.Bottom }) {
        if (margin < 0 || margin > 49)
            throw ChartException("Print margins must be between 0 and 49 %");
    }
    m_printMargins = value;
}

void TCustomChartPanel::SetPrintShrinkPercent(int value)
{
    if (value < 0 || value > 99)
        throw ChartException("Print shrink percent must be between 0 and 99");
    m_printShrinkPercent = value;
}

// --- Layout ---

void TCustomChartPanel::RecalcPlotSize()
{
    TRect& r = m_chartRect;
    r.Left = std::max(r.Left, m_panelRect.Left);
    r.Top = std::max(r.Top, m_panelRect.Top);
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    else if (r.Right == r.Left)
        r.Right = r.Left + m_panelRect.Width();
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    else if (r.Bottom == r.Top)
        r.Bottom = r.Top + m_panelRect.Height();
    // A panel without area still gets a plot of one pixel.
    if (r.Right <= r.Left)
        r.Right = r.Left + 1;
    if (r.Bottom <= r.Top)
        r.Bottom = r.Top + 1;
    m_plotWidth = r.Width();
    m_plotHeight = r.Height();
    m_plotCenterX = (r.Left + r.Right) / 2;
    m_plotCenterY = (r.Top + r.Bottom) / 2;
}

TRect TCustomChartPanel::ClientRect() const { return { 0, 0, width(), height() }; }

// --- Repaint ---

void TCustomChartPanel::DrawTo(QPainter& target, const TRect& rect)
{
    m_panelRect = m_canvas.BeginDraw(target, &m_view3DOptions, rect, m_view3D, m_color);
    try {
        const int w = m_panelRect.Width();
        const int h = m_panelRect.Height();
        m_chartRect = { m_panelRect.Left + m_borderWidth + MulDiv(m_marginLeft, w, 100),
            m_panelRect.Top + m_borderWidth + MulDiv(m_marginTop, h, 100),
            m_panelRect.Right - m_borderWidth - MulDiv(m_marginRight, w, 100),
            m_panelRect.Bottom - m_borderWidth - MulDiv(m_marginBottom, h, 100) };
        RecalcPlotSize();
        RenderChart(m_panelRect);
    } catch (...) {
        // Half a picture must not pass for a clean buffer.
        m_canvas.EndDraw(target, rect);
        m_canvas.MarkDirty();
        throw;
    }
    m_canvas.EndDraw(target, rect);
}

void TCustomChartPanel::Invalidate()
{
    if (!m_invalidationEnabled)
        return;
    m_canvas.MarkDirty();
    update();
}

void TCustomChartPanel::paintEvent(QPaintEvent*)
{
    if (m_isPrinting)
        return;
    QPainter painter(this);
    if (m_canvas.RedrawFromBuffer(painter))
        return;
    DrawTo(painter, ClientRect());
}

void TCustomChartPanel::resizeEvent(QResizeEvent* event)
{
    m_canvas.MarkDirty();
    QWidget::resizeEvent(event);
}

void TCustomChartPanel::changeEvent(QEvent* event)
{
    // System colours (button face, bevels) follow the palette.
    if (event->type() == QEvent::PaletteChange)
        m_canvas.MarkDirty();
    QWidget::changeEvent(event);
}

void TCustomChartPanel::FillPanel()
{
    PaintPanelColor();
    PaintBevels();
}

void TCustomChartPanel::PaintPanelColor()
{
    if (m_isPrinting)
        return;
    m_canvas.Brush().SetImage(QImage());
    m_canvas.Brush().SetColor(m_color);
    m_canvas.Brush().SetStyle(bsSolid);
    m_canvas.FillRect2D(m_panelRect);
}

void TCustomChartPanel::PaintBevels()
{
    if (m_isPrinting || m_canvas.IsFull3D())
        return;
    TChartPen pen;
    m_canvas.Pen() = pen;
    m_canvas.Brush().SetStyle(bsClear);
    TRect rect = m_panelRect;
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone)
            return;
        const bool raised = kind == bvRaised;
        m_canvas.BevelFrame(
            rect, raised ? clBtnHighlight : clBtnShadow, m_bevelWidth, raised ? clBtnShadow : clBtnHighlight);
        rect = rect.Inflated(-m_bevelWidth, -m_bevelWidth);
    };
    bevel(m_bevelOuter);
    if (m_borderWidth > 0) {
        m_canvas.BevelFrame(rect, m_color, m_borderWidth, m_color);
        rect = rect.Inflated(-m_borderWidth, -m_borderWidth);
    }
    bevel(m_bevelInner);
}

// --- Helpers ---

void TCustomChartPanel::ApplyBrush(TColor color, TBrushStyle style, TColor backColor)
{
    TChartBrush& brush = m_canvas.Brush();
    brush.SetImage(QImage());
    brush.SetStyle(style);
    if (style != bsSolid) {
        m_canvas.SetBackgroundMode(OPAQUE);
        m_canvas.SetBackgroundColor(backColor);
        if (color == backColor)
            color = backColor == clBlack ? clWhite : clBlack;
    } else {
        m_canvas.SetBackgroundMode(TRANSPARENT);
    }
    brush.SetColor(color);
}

void TCustomChartPanel::UseFont(const TChartFont& font)
{
    m_canvas.Font() = font;
    m_canvas.Font().SetPixelsPerInch(logicalDpiY());
}

int TCustomChartPanel::TextBlockWidth(const QString& text, int& lines) const
{
    return m_canvas.TextBlockWidth(text, lines);
}

int TCustomChartPanel::TextBlockWidth(std::string_view text, int& lines) const
{
    return m_canvas.TextBlockWidth(text, lines);
}

TChartPen TCustomChartPanel::AdjustPrintPen(const TChartPen& pen) const
{
    TChartPen result = pen;
    if (m_isPrinting && pen.Width() == 1 && pen.Style() != psSolid)
        result.SetWidth(0);
    return result;
}

} // namespace tarvo
