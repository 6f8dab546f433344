#pragma once

#include "panel/ChartPanel.h"
#include "style/ChartGradient.h"

#include <QImage>

namespace tarvo
{

enum class TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
using enum TPanningMode;

// How a back image fills its rectangle.
enum class TBackImageMode { pbmStretch, pbmTile, pbmCenter };
using enum TBackImageMode;

// The panel with a background gradient, a back image and the zoom and panning settings the
// mouse handling reads.
class TCustomChartPanelExtended : public TCustomChartPanel
{
public:
    explicit TCustomChartPanelExtended(QWidget* parent = nullptr);

    [[nodiscard]] TChartGradient& Gradient() { return m_gradient; }
    [[nodiscard]] const TChartGradient& Gradient() const { return m_gradient; }
    void SetGradient(const TChartGradient& value) { m_gradient = value; }

    [[nodiscard]] const QImage& BackImage() const { return m_backImage; }
    void SetBackImage(const QImage& value);
    // Inside: the image fills the plotting rectangle (drawn with the walls); otherwise the panel.
    [[nodiscard]] bool BackImageInside() const { return m_backImageInside; }
    void SetBackImageInside(bool value) { SetAndInvalidate(m_backImageInside, value); }
    [[nodiscard]] TBackImageMode BackImageMode() const { return m_backImageMode; }
    void SetBackImageMode(TBackImageMode value) { SetAndInvalidate(m_backImageMode, value); }

    [[nodiscard]] bool AllowZoom() const { return m_allowZoom; }
    void SetAllowZoom(bool value) { m_allowZoom = value; }
    [[nodiscard]] TPanningMode AllowPanning() const { return m_allowPanning; }
    void SetAllowPanning(TPanningMode value) { m_allowPanning = value; }
    [[nodiscard]] bool AnimatedZoom() const { return m_animatedZoom; }
    void SetAnimatedZoom(bool value) { m_animatedZoom = value; }
    // Steps of an animated zoom, at least 1 (ChartException otherwise).
    [[nodiscard]] int AnimatedZoomSteps() const { return m_animatedZoomSteps; }
    void SetAnimatedZoomSteps(int value);

protected:
    // The gradient (also when printing) or the panel colour, the back image unless it goes
    // inside, then the bevels.
    void FillPanel() override;
    // The back image into rect by BackImageMode; nothing without an image.
    void DrawBackImage(const TRect& rect);

private:
    TChartGradient m_gradient;
    QImage m_backImage;
    bool m_backImageInside = false;
    TBackImageMode m_backImageMode = pbmStretch;
    bool m_allowZoom = true;
    TPanningMode m_allowPanning = pmBoth;
    bool m_animatedZoom = false;
    int m_animatedZoomSteps = 8;
};

} // namespace tarvo
