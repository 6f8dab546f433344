#pragma once

#include "canvas/ChartCanvas3D.h"
#include "canvas/ChartDrawHost.h"
#include "canvas/View3DOptions.h"
#include "core/ChartException.h"
#include "panel/ChartPrintGeometry.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <string_view>

class QPainter;
class QPrinter;

namespace tarvo
{

class MetafilePaintDevice;

enum class TPanelBevel { bvNone, bvLowered, bvRaised };
using enum TPanelBevel;

// A rectangle being dragged with the mouse (zoom rubber band, panning), in pixels.
struct TZoomPanningRecord {
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
    bool Active = false;
};

// Raised when a chart cannot be printed; the message is meant for the user.
class ChartPrintError : public ChartException
{
public:
    using ChartException::ChartException;
};

// The chart's window: a panel with the drawing canvas, the margins around the plot, the 3D
// switch and options, printing and metafile export. It lays out the plotting rectangle
// (ChartRect) inside the drawn area (PanelRect) and leaves the rest of a repaint to RenderChart.
// Screen repaints go through the canvas' off-screen buffer: the window is never erased, and a
// repaint of an unchanged chart copies the buffer. Every setter stores a changed value and
// invalidates; validation failures raise ChartException and change nothing.
class TCustomChartPanel : public QWidget, public virtual TChartDrawHost
{
public:
    explicit TCustomChartPanel(QWidget* parent = nullptr);
    ~TCustomChartPanel() override;
    Q_DISABLE_COPY_MOVE(TCustomChartPanel)

    // --- Properties ---
    // The component name: "Bars" or "Pies" in the program; the print job's title.
    [[nodiscard]] const QString& Name() const { return m_name; }
    void SetName(const QString& value);
    [[nodiscard]] TColor Color() const override { return m_color; }
    void SetColor(TColor value);
    [[nodiscard]] TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel value);
    [[nodiscard]] TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel value);
    // Pixels; a negative width raises ChartException (as does a negative BorderWidth).
    [[nodiscard]] int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    [[nodiscard]] int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);
    // Percent of the panel's width (left, right) or height (top, bottom).
    [[nodiscard]] int MarginLeft() const { return m_marginLeft; }
    void SetMarginLeft(int value);
    [[nodiscard]] int MarginTop() const { return m_marginTop; }
    void SetMarginTop(int value);
    [[nodiscard]] int MarginRight() const { return m_marginRight; }
    void SetMarginRight(int value);
    [[nodiscard]] int MarginBottom() const { return m_marginBottom; }
    void SetMarginBottom(int value);
    [[nodiscard]] bool View3D() const override { return m_view3D; }
    void SetView3D(bool value);
    [[nodiscard]] TView3DOptions& View3DOptions() { return m_view3DOptions; }
    [[nodiscard]] const TView3DOptions& View3DOptions() const { return m_view3DOptions; }
    // Depth of the 3D view in tenths of a percent of the plot width per series, 1 … 100.
    [[nodiscard]] int Chart3DPercent() const { return m_chart3DPercent; }
    void SetChart3DPercent(int value);
    [[nodiscard]] bool Monochrome() const { return m_canvas.Monochrome(); }
    void SetMonochrome(bool value) { m_canvas.SetMonochrome(value); }
    [[nodiscard]] bool PrintProportional() const { return m_printProportional; }
    void SetPrintProportional(bool value) { m_printProportional = value; }
    [[nodiscard]] const TPrintMarginPercents& PrintMarginPercents() const { return m_printMargins; }
    // Each margin 0 … 49 percent (more would leave no page); otherwise ChartException.
    void SetPrintMarginPercents(const TPrintMarginPercents& value);
    // Percent by which a printed chart is laid out smaller than on screen, 0 … 99.
    [[nodiscard]] int PrintShrinkPercent() const { return m_printShrinkPercent; }
    void SetPrintShrinkPercent(int value);

    // --- Layout state of the last (or current) repaint ---
    [[nodiscard]] TRect PanelRect() const override { return m_panelRect; }
    [[nodiscard]] TRect ChartRect() const override { return m_chartRect; }
    // Titles, legend and axes take their room through this; call RecalcPlotSize afterwards.
    void SetChartRect(const TRect& value) { m_chartRect = value; }
    [[nodiscard]] int PlotWidth() const { return m_plotWidth; }
    [[nodiscard]] int PlotHeight() const { return m_plotHeight; }
    [[nodiscard]] int PlotCenterX() const { return m_plotCenterX; }
    [[nodiscard]] int PlotCenterY() const { return m_plotCenterY; }
    // Keeps ChartRect inside PanelRect's top-left and at least one pixel wide and high, and
    // recomputes the plot size and centre.
    void RecalcPlotSize();

    [[nodiscard]] bool IsPrinting() const { return m_isPrinting; }
    [[nodiscard]] bool InvalidationEnabled() const { return m_invalidationEnabled; }
    void SetInvalidationEnabled(bool value) { m_invalidationEnabled = value; }
    [[nodiscard]] TZoomPanningRecord& ZoomState() { return m_zoom; }
    [[nodiscard]] TZoomPanningRecord& PanState() { return m_pan; }
    [[nodiscard]] bool Zoomed() const { return m_zoomed; }
    void SetZoomed(bool value) { m_zoomed = value; }

    // --- Drawing ---
    [[nodiscard]] TChartCanvas3D& Canvas() override { return m_canvas; }
    [[nodiscard]] const TChartCanvas3D& Canvas() const { return m_canvas; }
    // The whole chart onto target (an active painter) into rect.
    void DrawTo(QPainter& target, const TRect& rect);
    // The chart laid out at its screen size (less PrintShrinkPercent) and stretched onto rect of
    // target, without panel colour and bevels, unbuffered: the printer's way of drawing.
    void DrawStretched(QPainter& target, const TRect& rect);
    // Marks the buffer dirty and schedules a repaint, while invalidation is enabled.
    void Invalidate();
    // (0, 0, width, height) of the window.
    [[nodiscard]] TRect ClientRect() const;

    // --- Helpers for series, axes, titles and legend ---
    // Canvas brush of color and style; a hatch gets an opaque backColor behind it, and a hatch
    // colour equal to backColor is turned into black (or white on black) so it stays visible.
    void ApplyBrush(TColor color, TBrushStyle style, TColor backColor) override;
    // The canvas font becomes a copy of font at the canvas' resolution.
    void UseFont(const TChartFont& font) override;
    // Width of the widest line of text (lines end at a carriage return) in the canvas font, and
    // the number of lines; an empty text is one line of width 0.
    [[nodiscard]] int TextBlockWidth(const QString& text, int& lines) const;
    [[nodiscard]] int TextBlockWidth(std::string_view text, int& lines) const;
    // While printing, a thin dashed or dotted pen gets width 0 so the printer draws it thin.
    [[nodiscard]] TChartPen AdjustPrintPen(const TChartPen& pen) const override;

    // --- Output ---
    // One page of the default printer; raises ChartPrintError when there is no printer.
    void PrintChart();
    // One page of printer, which the caller has set up (a PDF file in tests).
    void PrintOn(QPrinter& printer);
    // A metafile of (rect width − 1) × (rect height − 1) pixels with the chart drawn into it.
    // Only the non-enhanced format can be written: enhanced raises ChartException.
    [[nodiscard]] std::unique_ptr<MetafilePaintDevice> MakeMetafile(bool enhanced, const TRect& rect);
    void WriteMetafile(bool enhanced, const QString& fileName, const TRect& rect);
    // The chart at its client size as a non-enhanced metafile file.
    void SaveMetafileFile(const QString& fileName);
    // The chart at its client size straight onto painter (an image, an SVG or PDF page), as a
    // metafile gets it: the panel colour first, then the unbuffered drawing.
    void DrawPicture(QPainter& painter);

protected:
    // The repaint after the plotting rectangle's first layout; rect is PanelRect.
    virtual void RenderChart(const TRect& rect) = 0;
    // Background of the whole panel: its colour (not while printing) and its bevels.
    virtual void FillPanel();
    void PaintPanelColor();
    // Outer bevel, a BorderWidth frame in the panel colour, inner bevel; none while printing or
    // when the canvas draws everything in true 3D.
    void PaintBevels();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Stores a changed value and invalidates.
    template <typename Field, typename Value> void SetAndInvalidate(Field& field, Value&& value)
    {
        if (field == value)
            return;
        field = std::forward<Value>(value);
        Invalidate();
    }

private:
    // area of the chart onto painter's (0, 0), pictureSize filled with the panel colour first.
    void DrawPictureOf(QPainter& painter, const TRect& area, QSize pictureSize);

    QString m_name;
    TColor m_color = clBtnFace;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    int m_marginLeft = 3;
    int m_marginTop = 4;
    int m_marginRight = 3;
    int m_marginBottom = 4;
    bool m_view3D = true;
    TView3DOptions m_view3DOptions;
    int m_chart3DPercent = 15;
    bool m_printProportional = true;
    TPrintMarginPercents m_printMargins;
    int m_printShrinkPercent = 0;

    TRect m_panelRect;
    TRect m_chartRect;
    int m_plotWidth = 0;
    int m_plotHeight = 0;
    int m_plotCenterX = 0;
    int m_plotCenterY = 0;
    bool m_isPrinting = false;
    bool m_invalidationEnabled = false;
    TZoomPanningRecord m_zoom;
    TZoomPanningRecord m_pan;
    bool m_zoomed = false;

    TChartCanvas3D m_canvas;
};

} // namespace tarvo
