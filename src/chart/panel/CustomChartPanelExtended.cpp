#include "panel/CustomChartPanelExtended.h"

#include <QPainter>

namespace tarvo
{

TCustomChartPanelExtended::TCustomChartPanelExtended(QWidget* parent)
    : TCustomChartPanel(parent)
{
    m_gradient.SetOnChange([this] { Invalidate(); });
}

void TCustomChartPanelExtended::SetBackImage(const QImage& value)
{
    // QImage compares pixel by pixel; a new image is always taken as a change.
    m_backImage = value;
    Invalidate();
}

void TCustomChartPanelExtended::SetAnimatedZoomSteps(int value)
{
    if (value < 1)
        throw ChartException("AnimatedZoomSteps must be >= 1");
    m_animatedZoomSteps = value;
}

void TCustomChartPanelExtended::FillPanel()
{
    if (m_gradient.Visible())
        Canvas().FillGradient(PanelRect(), m_gradient.FillColor1(), m_gradient.FillColor2(), m_gradient.Direction());
    else
        PaintPanelColor();
    if (!m_backImageInside)
        DrawBackImage(PanelRect());
    PaintBevels();
}

void TCustomChartPanelExtended::DrawBackImage(const TRect& rect)
{
    if (m_backImage.isNull() || rect.IsEmpty())
        return;
    TChartCanvas3D& canvas = Canvas();
    switch (m_backImageMode) {
    case pbmStretch:
        canvas.StretchGraphic(rect, m_backImage);
        return;
    case pbmCenter:
        canvas.DrawGraphic((rect.Left + rect.Right - m_backImage.width()) / 2,
            (rect.Top + rect.Bottom - m_backImage.height()) / 2, m_backImage);
        return;
    case pbmTile: {
        // Tiles never spill over the rectangle.
        canvas.ClipToRect(rect);
        for (int y = rect.Top; y < rect.Bottom; y += m_backImage.height())
            for (int x = rect.Left; x < rect.Right; x += m_backImage.width())
                canvas.DrawGraphic(x, y, m_backImage);
        canvas.RemoveClip();
        return;
    }
    }
}

} // namespace tarvo
