#pragma once

#include "core/ChangeNotifier.h"
#include "core/Rect.h"
#include "style/ChartBrush.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"

#include <QStringList>

namespace tarvo
{

class TChartCanvas3D;
class TChartDrawHost;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

// A chart title (the title at the top or the foot at the bottom): lines of text in a font, on an
// optional box and frame, that take their room off the chart's plotting rectangle. The chart
// installs the change handler.
class TChartTitle : public TChangeNotifier
{
public:
    explicit TChartTitle(bool foot);
    TChartTitle(const TChartTitle&) = delete;
    TChartTitle& operator=(const TChartTitle&) = delete;
    ~TChartTitle() = default;

    // Copies the values of another title, not its place.
    void Assign(const TChartTitle& other);

    // The box fits the text instead of spanning the plot.
    [[nodiscard]] bool AdjustFrame() const { return m_adjustFrame; }
    void SetAdjustFrame(bool value);
    [[nodiscard]] TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    [[nodiscard]] TChartBrush& Brush() { return m_brush; }
    [[nodiscard]] const TChartBrush& Brush() const { return m_brush; }
    // The box colour; clDefaultColor: the brush decides.
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor value);
    [[nodiscard]] TChartFont& Font() { return m_font; }
    [[nodiscard]] const TChartFont& Font() const { return m_font; }
    [[nodiscard]] TChartHiddenPen& Frame() { return m_frame; }
    [[nodiscard]] const TChartHiddenPen& Frame() const { return m_frame; }
    [[nodiscard]] const QStringList& Text() const { return m_text; }
    void SetText(const QStringList& value);
    void AddLine(const QString& line);
    void Clear() { SetText({}); }
    [[nodiscard]] bool Visible() const { return m_visible; }
    void SetVisible(bool value);

    // Where the box (or the text band) was drawn at the last repaint.
    [[nodiscard]] const TRect& DrawnRect() const { return m_drawnRect; }

    // One stage of the chart's layout: draws the title at the top (the foot at the bottom) of
    // chartRect on the chart's canvas and answers what is left of chartRect below (above) it.
    // A hidden or empty title draws nothing and takes nothing.
    [[nodiscard]] TRect Draw(TChartDrawHost& chart, const TRect& chartRect);

private:
    // Sets the canvas brush and background for the box; true when the box is filled.
    bool PrepareBrush(TChartCanvas3D& canvas);
    // Narrows m_drawnRect to the widest line plus a "W" when the frame adjusts to the text.
    void FitBoxToText(TChartCanvas3D& canvas, int wWidth);
    // The lines, each aligned within the frame's inside of chartRect.
    void DrawLines(TChartCanvas3D& canvas, const TRect& chartRect, int frameWidth, int wWidth) const;

    bool m_foot;
    bool m_adjustFrame = true;
    TAlignment m_alignment = taCenter;
    TChartBrush m_brush { clDefaultColor, bsSolid };
    TColor m_color = clDefaultColor;
    TChartFont m_font;
    TChartHiddenPen m_frame;
    QStringList m_text;
    bool m_visible = true;
    TRect m_drawnRect;
};

} // namespace tarvo
